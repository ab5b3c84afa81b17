// SPDX-License-Identifier: MIT
// What the Qt window does itself, off-screen: the controls of the layout table, the keys, the
// colours of Text1, and a whole merge driven by the mouse through a scripted dialog.
#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

#include <atomic>
#include <csignal>

#include "Carpeta.h"
#include "Form1Qt.h"
#include "Referencia.h"
#include "SistemaConFallos.h"
#include "VistaFalsa.h"

TEST(VentanaQt, BuildsTheLayoutTakesKeysAndMerges) {
  VistaFalsa guion;  // its dialog only
  Form1Qt ventana(guion, Sistema_Real(), 64);
  ventana.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&ventana));
  auto de = [&](const char* nombre) { return ventana.findChild<QWidget*>(nombre); };
  auto fondo = [&] { return de("Text1")->palette().color(QPalette::Base); };
  EXPECT_TRUE(ventana.size() == QSize(570, 294) && fondo() == QColor(255, 128, 128));
  for (const Diseno_Control& d : kDiseno) {  // a label at its corner, in its caption's size
    auto* etiqueta = qobject_cast<QLabel*>(de(d.nombre));
    const QRect lugar(d.left / 15, d.top / 15,
                      etiqueta ? etiqueta->sizeHint().width() : d.width / 15,
                      etiqueta ? 13 : d.height / 15);
    EXPECT_TRUE(de(d.nombre)->geometry() == lugar && lugar.right() < 570 &&
                de(d.nombre)->isVisible() == d.visible)
        << d.nombre;
    EXPECT_TRUE(!etiqueta || (etiqueta->text() == d.texto && etiqueta->font().bold() == d.negrita))
        << d.nombre;
  }
  // Tab skips labels, the bar and hidden controls; Enter and Esc press no button.
  std::string recorrido;
  for (int i = 0; i < 5; ++i) {
    for (auto tecla : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Tab})
      QTest::keyClick(ventana.focusWidget(), tecla);
    recorrido += ventana.focusWidget()->objectName().toStdString() + " ";
  }
  EXPECT_EQ(recorrido, "TextImportar cmdOpen TextDestino Command1 TextZorvalina ");
  EXPECT_TRUE(guion.dialogos.empty() && ventana.isVisible());

  CarpetaTemporal carpeta;
  const std::string proyecto = ref::Proyecto(1, 3000, {{367, "voz.wav"}, {2009, ref::kCabecera}});
  guion.respuestas = {carpeta.Escribir("a.vip", proyecto), carpeta.Escribir("b.vip", proyecto)};
  QTimer comenzar;  // presses "Comenzar..." once the wait shows it
  QObject::connect(&comenzar, &QTimer::timeout, [&] {
    if (de("cmdIni")->isVisible()) QTest::mouseClick(de("cmdIni"), Qt::LeftButton);
  });
  comenzar.start(10);
  QTimer::singleShot(5000, [] { qFatal("nadie terminó la espera de Comenzar..."); });
  QTest::mouseClick(de("cmdOpen"), Qt::LeftButton);
  EXPECT_EQ(qobject_cast<QLineEdit*>(de("Text1"))->text().toStdString(),
            "Finalizado la escritura de: " + carpeta / "Importar.vip");
  EXPECT_EQ(fondo(), QColor(128, 255, 128));
}

// SIGINT, SIGTERM and SIGHUP, watched as the program watches them, do what "Salir" does, also
// while the output is being flushed: the earlier Importar.vip stays and no temporary is left.
TEST(VentanaQt, ASignalDuringTheFlushReplacesNothing) {
  for (const int senal : {SIGINT, SIGTERM, SIGHUP}) {
    CarpetaTemporal carpeta;
    SistemaConFallos sistema;
    VistaFalsa guion;
    Form1Qt ventana(guion, sistema, 64);
    Cerrar_Con_Senales(ventana);
    ventana.show();
    const std::string salida = carpeta.Escribir("Importar.vip", "anterior");
    const std::string proyecto = ref::Proyecto(1, 3000, {{367, "voz.wav"}, {2009, ref::kCabecera}});
    guion.respuestas = {carpeta.Escribir("a.vip", proyecto), carpeta.Escribir("b.vip", proyecto)};
    std::atomic<bool> cerrada = false;
    sistema.antes_de_confirmar = [&] {  // on the flush's thread: 5 s at most for the close
      for (int i = std::raise(senal); i < 500 && !cerrada; ++i) QThread::msleep(10);
    };
    QTimer comenzar;  // presses "Comenzar..." in the wait, then sees the window close
    QObject::connect(&comenzar, &QTimer::timeout, [&] {
      cerrada = cerrada || !ventana.isVisible();
      if (ventana.findChild<QWidget*>("cmdIni")->isVisible())
        QTest::mouseClick(ventana.findChild<QWidget*>("cmdIni"), Qt::LeftButton);
    });
    comenzar.start(10);
    QTest::mouseClick(ventana.findChild<QWidget*>("cmdOpen"), Qt::LeftButton);
    EXPECT_TRUE(cerrada && Leer_Archivo(salida) == "anterior") << senal;
    EXPECT_EQ(carpeta.Nombres().size(), 3u) << senal;  // a.vip, b.vip, Importar.vip
  }
}

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication aplicacion(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

// SPDX-License-Identifier: MIT
// What the Qt window does itself, off-screen, over a scripted dialog.
#include <gtest/gtest.h>

#include <qpa/qwindowsysteminterface.h>
#include <QtTest>
#include <QtWidgets>

#include <atomic>
#include <csignal>
#include <sstream>
#include <thread>

#include "FileListDialogo.h"
#include "Form1Qt.h"
#include "Referencia.h"
#include "VistaFalsa.h"

// A window left waiting, or blocked, ends the tests with a message rather than a time-out.
static void Sin_Respuesta() {
  std::this_thread::sleep_for(std::chrono::seconds(50));
  std::fputs("sin respuesta\n", stderr), std::_Exit(1);
}

TEST(VentanaQt, BuildsANamedLayoutTakesKeysAnnouncesAMergeAndClosesOnASignalInAnother) {
  CarpetaTemporal carpeta;
  SistemaConFallos sistema;  // the real disk, with a hook in the flush
  VistaFalsa guion;          // its dialog only
  QApplication::setPalette(QPalette(Qt::black, Qt::black));  // a dark theme: white text
  Form1Qt ventana(guion, sistema, 64);
  ASSERT_TRUE((ventana.show(), QTest::qWaitForWindowExposed(&ventana)));
  auto de = [&](const char* nombre) { return ventana.findChild<QWidget*>(nombre); };
  auto fondo = [&] { return de("Text1")->palette().color(QPalette::Base); };
  auto lector = [&](const char* nombre, QString rotulos = {}) {  // a reader's name, its labels
    QAccessibleInterface* accesible = QAccessible::queryAccessibleInterface(de(nombre));
    for (const auto& [rotulo, relacion] : accesible->relations(QAccessible::Label))
      rotulos += " <" + rotulo->object()->objectName();
    return (accesible->text(QAccessible::Name) + rotulos + "|").toStdString();
  };
  EXPECT_TRUE(ventana.minimumSize() == QSize(570, 294) &&
              ventana.maximumSize() == QSize(570, 294) && fondo() == QColor(255, 128, 128));
  std::string textos = ventana.windowTitle().toStdString();  // as they stand, typos included
  for (const Diseno_Control& d : kDiseno) textos += std::string("|") + d.texto;
  EXPECT_EQ(
      textos,
      "Exportar los parámetros de un proyecto Vip a otro proyecto Vip|Open|Comenzar...|Proyecto "
      "Vip que sirve de zorvalina, del quel se leen los parámetros a exportar en el Vip Destino "
      "3|1||Proyecto Vip, del que se leen los datos de audio, para el proyecto Vip Destino "
      "3|2||Proyecto Vip Destino 3, al que se le han grabado los datos de audio de 2, y los datos "
      "de parámetros de 1|3||||Salir|Versión beta, en fase de pruebas");
  for (const Diseno_Control& d : kDiseno) {  // labels sized to their captions, as designed
    auto* e = qobject_cast<QLabel*>(de(d.nombre));
    auto* caja = qobject_cast<QLineEdit*>(de(d.nombre));
    const QRect lugar(d.left / 15, d.top / 15, e ? e->sizeHint().width() : d.width / 15,
                      e ? 13 : d.height / 15);
    EXPECT_TRUE(de(d.nombre)->geometry() == lugar && de(d.nombre)->isVisible() == d.visible &&
                (!e || (e->text() == d.texto && e->font().bold() == d.negrita)) &&
                (!caja || caja->isReadOnly() == (d.control != Control::Text1)))
        << d.nombre;
  }
  EXPECT_EQ(lector("TextZorvalina") + lector("TextImportar") + lector("TextDestino") +
                lector("Text1") + lector("ProgressBar1"),
            Diseno_De(Control::Label1).texto + std::string(" <Label1 <Label4_0|") +
                Diseno_De(Control::Label2).texto + " <Label2 <Label4_1|" +
                Diseno_De(Control::Label3).texto +
                " <Label3 <Label4_2|Estado|Progreso de la escritura|");
  std::string recorrido;  // Tab, through the window system to a run's pump: labels, the bar and
                          // hidden ones skipped
  for (int i = 0; i < 6; ++i) {
    recorrido += ventana.focusWidget()->objectName().toStdString() + " ";
    QWindowSystemInterface::handleKeyEvent(ventana.windowHandle(), QEvent::KeyPress, Qt::Key_Tab,
                                           Qt::NoModifier);
    ventana.Procesar_Eventos();
  }
  EXPECT_EQ(recorrido, "TextZorvalina TextImportar cmdOpen TextDestino Command1 TextZorvalina ");
  // A merge that ends with the focus on the status line; another with SIGINT, SIGTERM and SIGHUP
  // in its flush (one unhandled ends this test): the window closes, Importar.vip stays as it was.
  const std::string p = ref::Proyecto(1, 3000, {{367, "voz.wav"}, {2009, ref::kCabecera}}),
                    salida = carpeta.Escribir("Importar.vip", "anterior");
  guion.respuestas.assign(4, carpeta.Escribir("a.vip", p));  // template and audio, twice
  std::atomic<bool> cerrada = false;
  QTimer comenzar;
  QObject::connect(&comenzar, &QTimer::timeout, [&] {
    cerrada = cerrada || !ventana.isVisible();
    if (de("cmdIni")->isVisible()) QTest::mouseClick(de("cmdIni"), Qt::LeftButton);
  });
  comenzar.start(10);
  QTest::mouseClick(de("cmdOpen"), Qt::LeftButton);
  EXPECT_TRUE(ventana.focusWidget() == de("Text1") &&
              de("Text1")->palette().color(QPalette::Text) == QColor(Qt::black));
  carpeta.Escribir("Importar.vip", "anterior");
  Cerrar_Con_Senales(ventana);
  sistema.antes_de_confirmar = [&] {  // on the flush's thread
    for (const int senal : {SIGINT, SIGTERM, SIGHUP}) std::raise(senal);
    for (int i = 0; i < 500 && !cerrada; ++i) QThread::msleep(10);
  };
  QTest::mouseClick(de("cmdOpen"), Qt::LeftButton);
  EXPECT_TRUE(cerrada && Leer_Archivo(salida) == "anterior" && carpeta.Nombres().size() == 2);
  EXPECT_EQ(qobject_cast<QLineEdit*>(de("TextDestino"))->text().toStdString(), salida);
  EXPECT_EQ(std::signal(SIGXFSZ, SIG_IGN), SIG_IGN);  // a size limit fails a write, not the window
  QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });
  EXPECT_EQ(QApplication::exec(), 0) << "the program was not asked to end";
}

// Qt's dialog as the window uses it: with the title and the filter asked for, in the folder of the
// last file chosen; a cancel leaves no name, and throws only when CancelError asks for it.
TEST(VentanaQt, TheDialogOpensWhereTheLastFileWasChosenAndACancelLeavesNoName) {
  CarpetaTemporal carpeta;
  FileListDialogo dialogo;
  dialogo.DialogTitle = "Cargar", dialogo.Filter = "Proyecto Vavirerid (*.vip)|*.vip";
  dialogo.FileName = carpeta.Escribir("a.vip", "");
  std::string visto;
  QTimer::singleShot(0, [&] {  // the user reads it, then cancels
    auto* abierto = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    visto = (abierto->windowTitle() + "|" + abierto->nameFilters().join(";") + "|" +
             abierto->directory().absolutePath())
                .toStdString();
    abierto->reject();
  });
  dialogo.ShowOpen();
  EXPECT_EQ(visto + "|" + dialogo.FileName,
            "Cargar|Proyecto Vavirerid (*.vip)|" + carpeta.ruta() + "|");
  dialogo.CancelError = true;
  QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
  EXPECT_THROW(dialogo.ShowOpen(), FileList::Cancelado);
}

// The real program. Without a display: one Spanish line, where Qt itself would abort (134). On a
// screen, started under nohup: SIGHUP stays ignored, SIGINT and SIGTERM are caught once the window
// is up (some seconds at most), and SIGTERM then closes it as "Salir" does (0, not 143).
TEST(VentanaQt, TheProgramSaysWhenThereIsNoDisplayAndClosesOnASignal) {
  const Ejecucion e = Ejecutar_Programa(
      "env", {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM", VIPMERGE});
  EXPECT_TRUE(e.codigo == 1 && e.errores.rfind("vipmerge: no hay pantalla", 0) == 0 &&
              std::count(e.errores.begin(), e.errores.end(), '\n') == 1)
      << e.codigo << " " << e.errores;
  const std::string guion =  // the two masks, SigIgn then SigCgt, then SIGTERM
      "env --default-signal=INT --ignore-signal=HUP \"$0\" & p=$!\n"
      "for i in $(seq 1000); do grep -Eq \"^SigCgt:.*[4-7c-f].{3}$\" /proc/$p/status && break\n"
      "sleep 0.01; done; grep -E \"^Sig(Ign|Cgt)\" /proc/$p/status; kill -TERM $p\n"
      "timeout 10 tail --pid=$p -f /dev/null || kill -KILL $p; wait $p";
  const Ejecucion senal = Ejecutar_Programa("/bin/sh", {"-c", guion, VIPMERGE});
  std::istringstream mascaras(senal.salida);
  std::string nombre;
  unsigned long long ignoradas = 0, atendidas = 0;
  mascaras >> nombre >> std::hex >> ignoradas >> nombre >> atendidas;
  const auto bit = [](int numero) { return 1ull << (numero - 1); };
  const unsigned long long atendidas_esperadas = bit(SIGINT) | bit(SIGTERM);
  EXPECT_TRUE(senal.codigo == 0 && (ignoradas & bit(SIGHUP)) &&
              (atendidas & (atendidas_esperadas | bit(SIGHUP))) == atendidas_esperadas)
      << senal.codigo << " " << senal.salida << senal.errores;
}

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication aplicacion(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  std::thread(Sin_Respuesta).detach();
  return RUN_ALL_TESTS();
}

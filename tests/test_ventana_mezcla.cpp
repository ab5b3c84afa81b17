// SPDX-License-Identifier: MIT
// Runs of the merge driven through the window: dialogs, the wait, the writing, the outcome.
#include <QApplication>
#include <QtTest>
#include <filesystem>

#include "EscenaVentana.h"

namespace {

using Nombres = std::vector<std::string>;
const Nombres kFuentesYSalida = {"Importar.vip", "audio.vip", "plantilla.vip"};
const Nombres kSoloFuentes = {"audio.vip", "plantilla.vip"};

QString Carpeta_De(const EscenaVentana& escena) {
  return QString::fromStdString(escena.carpeta.ruta()) + '/';
}

// The window as it rests after a run that reached no writing.
void Sin_Cambios_Tras_Las_Rutas(const EscenaVentana& escena) {
  QVERIFY(escena.caja("TextDestino")->text().isEmpty());
  QVERIFY(!escena.caja("Text1")->isVisible());
  QVERIFY(escena.caja("Text1")->text().isEmpty());
  QVERIFY(!escena.boton("cmdIni")->isVisible());
  QVERIFY(escena.boton("cmdOpen")->isVisible());
  QVERIFY(!escena.barra()->isVisible());
}

}  // namespace

class MezclaVentana : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { QVERIFY(QApplication::topLevelWidgets().isEmpty()); }

  void WholeRunWritesTheCompositionAndReportsIt() {
    EscenaVentana escena;
    const QString destino = Carpeta_De(escena) + "Importar.vip";
    QVERIFY(escena.Ejecutar([&] {
      QCOMPARE(escena.caja("TextZorvalina")->text(), escena.plantilla);
      QCOMPARE(escena.caja("TextImportar")->text(), escena.audio);
      QCOMPARE(escena.caja("TextDestino")->text(), destino);
      QCOMPARE(escena.caja("Text1")->text(), "Leyendo y escribiendo datos en: " + destino);
      QCOMPARE(Fondo(escena.caja("Text1")), kRojo);
      QVERIFY(!escena.caja("Text1")->isVisible());  // first run: shown only when writing
      QVERIFY(escena.boton("cmdOpen")->isVisible());
      QCOMPARE(escena.Nombres(), kSoloFuentes);  // nothing is written before the start
    }));

    QCOMPARE(escena.guion.mostrados.size(), size_t{2});
    QCOMPARE(escena.guion.mostrados[0].titulo, "Cargar el proyecto que sirve de zorvalina");
    QCOMPARE(escena.guion.mostrados[0].filtro, "Proyecto Zorvalina (*.vip)|*.vip");
    QCOMPARE(escena.guion.mostrados[1].titulo, "Cargar el proyecto de datos de audio");
    QCOMPARE(escena.guion.mostrados[1].filtro, "Proyecto Vavirerid (*.vip)|*.vip");
    QVERIFY(!escena.guion.mostrados[0].cancel_error && !escena.guion.mostrados[1].cancel_error);

    QVERIFY(escena.caja("Text1")->isVisible());
    QCOMPARE(escena.caja("Text1")->text(), "Finalizado la escritura de: " + destino);
    QCOMPARE(Fondo(escena.caja("Text1")), kVerde);
    QVERIFY(escena.boton("cmdOpen")->isVisible());
    QVERIFY(!escena.boton("cmdIni")->isVisible());
    QVERIFY(!escena.barra()->isVisible());
    QCOMPARE(escena.Leer_Salida(), escena.Esperado());
    QCOMPARE(escena.Nombres(), kFuentesYSalida);

    // A later run shows the light-red line already during its wait.
    QVERIFY(escena.Ejecutar([&] {
      QVERIFY(escena.caja("Text1")->isVisible());
      QCOMPARE(escena.caja("Text1")->text(), "Leyendo y escribiendo datos en: " + destino);
      QCOMPARE(Fondo(escena.caja("Text1")), kRojo);
    }));
    QCOMPARE(Fondo(escena.caja("Text1")), kVerde);
    QCOMPARE(escena.Leer_Salida(), escena.Esperado());
  }

  void CancelledDialogEndsTheRunSilently_data() {
    QTest::addColumn<int>("dialogo");
    QTest::newRow("template dialog") << 1;
    QTest::newRow("audio-data dialog") << 2;
  }
  void CancelledDialogEndsTheRunSilently() {
    QFETCH(int, dialogo);
    EscenaVentana escena;
    escena.guion.respuestas = dialogo == 1 ? QStringList{""} : QStringList{escena.plantilla, ""};
    Pulsar(escena.boton("cmdOpen"));
    QCOMPARE(escena.guion.mostrados.size(), size_t(dialogo));
    QCOMPARE(escena.caja("TextZorvalina")->text(), dialogo == 1 ? QString() : escena.plantilla);
    QVERIFY(escena.caja("TextImportar")->text().isEmpty());
    Sin_Cambios_Tras_Las_Rutas(escena);
    QCOMPARE(escena.Nombres(), kSoloFuentes);
  }

  // After a finished run, a refused project leaves everything but the two path boxes alone.
  void RefusedAudioProjectChangesOnlyThePathBoxes() {
    EscenaVentana escena;
    QVERIFY(escena.Ejecutar());
    const QString destino = escena.caja("TextDestino")->text();
    const QString estado = escena.caja("Text1")->text();
    QVERIFY(estado.startsWith("Finalizado"));

    DescripcionVip mudo;
    mudo.lineas = {"[Pistas]", "Pista1=sin formato"};
    const QString rechazado =
        QString::fromStdString(escena.carpeta.Escribir("mudo.vip", Generar_Vip(mudo)));
    escena.guion.respuestas = {escena.audio, rechazado};
    Pulsar(escena.boton("cmdOpen"));
    QCOMPARE(escena.caja("TextZorvalina")->text(), escena.audio);
    QCOMPARE(escena.caja("TextImportar")->text(), rechazado);
    QCOMPARE(escena.caja("TextDestino")->text(), destino);
    QCOMPARE(escena.caja("Text1")->text(), estado);
    QCOMPARE(Fondo(escena.caja("Text1")), kVerde);
    QVERIFY(!escena.boton("cmdIni")->isVisible());
    QVERIFY(escena.boton("cmdOpen")->isVisible());
    QCOMPARE(escena.Leer_Salida(), escena.Esperado());
  }

  void ProjectWithoutBoundaryWritesNothing() {
    DescripcionVip sin_lista;
    sin_lista.con_lista = false;
    EscenaVentana escena(sin_lista);
    Escribir_Archivo(escena.salida.toStdString(), kAnterior);
    QVERIFY(escena.Ejecutar());
    QCOMPARE(escena.caja("Text1")->text(),
             "No se encontró la lista de parámetros (LIST mdrl) en: " + escena.audio);
    QCOMPARE(Fondo(escena.caja("Text1")), kRojo);
    QVERIFY(escena.boton("cmdOpen")->isVisible());
    QVERIFY(!escena.barra()->isVisible());
    QCOMPARE(escena.Leer_Salida(), kAnterior);
    QCOMPARE(escena.Nombres(), kFuentesYSalida);
  }

  void WriteFailureShowsTheReasonAndAllowsANewRun() {
    EscenaVentana escena;
    Escribir_Archivo(escena.salida.toStdString(), kAnterior);
    escena.sistema.escribir_hasta = 500;  // fails inside the audio data
    QVERIFY(escena.Ejecutar());
    QCOMPARE(escena.caja("Text1")->text(), "No se pudo completar la escritura de: " +
                                               escena.salida + " (Error de entrada/salida)");
    QCOMPARE(Fondo(escena.caja("Text1")), kRojo);
    QVERIFY(!escena.barra()->isVisible());
    QVERIFY(escena.boton("cmdOpen")->isVisible());
    QCOMPARE(escena.Leer_Salida(), kAnterior);
    QCOMPARE(escena.Nombres(), kFuentesYSalida);

    escena.sistema.escribir_hasta = SistemaConFallos::kNunca;
    QVERIFY(escena.Ejecutar());
    QCOMPARE(Fondo(escena.caja("Text1")), kVerde);
    QCOMPARE(escena.Leer_Salida(), escena.Esperado());
  }

  // Faults that strike once the writing has begun: the line names the reason, the window is
  // ready for a new run and the earlier output is untouched.
  void FaultsWhileWritingShowTheReason_data() {
    QTest::addColumn<int>("fallo");
    QTest::addColumn<QString>("motivo");
    QTest::newRow("full disk at the last byte") << 0 << "No queda espacio en el dispositivo";
    QTest::newRow("flush before the rename") << 1 << "Error de entrada/salida";
    QTest::newRow("template gone before its stage")
        << 2 << "No existe el archivo o el directorio: ";
    QTest::newRow("read failing in the audio-data project") << 3 << "Error de entrada/salida: ";
  }
  void FaultsWhileWritingShowTheReason() {
    QFETCH(int, fallo);
    QFETCH(QString, motivo);
    EscenaVentana escena;
    Escribir_Archivo(escena.salida.toStdString(), kAnterior);
    const std::string plantilla = escena.plantilla.toStdString();
    switch (fallo) {
      case 0:
        escena.sistema.escribir_hasta = static_cast<int64_t>(escena.Esperado().size()) - 1;
        escena.sistema.numero_error = ENOSPC;
        break;
      case 1:
        escena.sistema.fallar_al_confirmar = true;
        break;
      case 2:
        escena.sistema.antes_de_medir = [plantilla](const std::string& ruta) {
          if (ruta == plantilla) std::filesystem::remove(ruta);
        };
        motivo += escena.plantilla;
        break;
      case 3:
        escena.sistema.antes_de_leer = [&escena](const std::string&, int64_t offset) {
          if (offset > 1000) escena.sistema.leer_hasta = escena.sistema.leidos;
        };
        motivo += escena.audio;
        break;
    }
    QVERIFY(escena.Ejecutar());
    QCOMPARE(escena.caja("Text1")->text(),
             "No se pudo completar la escritura de: " + escena.salida + " (" + motivo + ")");
    QCOMPARE(Fondo(escena.caja("Text1")), kRojo);
    QVERIFY(!escena.barra()->isVisible());
    QVERIFY(escena.boton("cmdOpen")->isVisible());
    QVERIFY(!escena.boton("cmdIni")->isVisible());
    QCOMPARE(escena.Leer_Salida(), kAnterior);
    QVERIFY(!escena.Hay_Temporal());
  }

  // A source that went away during the wait must not give a "Finalizado" without its bytes.
  void SourceGoneBeforeTheStartIsAFailure() {
    EscenaVentana escena;
    QVERIFY(escena.Ejecutar([&] { std::filesystem::remove(escena.plantilla.toStdString()); }));
    QCOMPARE(escena.caja("Text1")->text(),
             "No se pudo completar la escritura de: " + escena.salida +
                 " (no se encuentra el proyecto: " + escena.plantilla + ")");
    QCOMPARE(Fondo(escena.caja("Text1")), kRojo);
    QVERIFY(escena.boton("cmdOpen")->isVisible());
    QCOMPARE(escena.Nombres(), Nombres{"audio.vip"});
  }

  void SecondOpenClickDuringTheWaitIsIgnored() {
    EscenaVentana escena;
    QVERIFY(escena.Ejecutar([&] {
      escena.guion.respuestas = {escena.audio, escena.plantilla};  // would swap the projects
      Pulsar(escena.boton("cmdOpen"));
      QCOMPARE(escena.guion.mostrados.size(), size_t{2});
      QCOMPARE(escena.caja("TextZorvalina")->text(), escena.plantilla);
    }));
    QCOMPARE(Fondo(escena.caja("Text1")), kVerde);
    QCOMPARE(escena.Leer_Salida(), escena.Esperado());
  }

  // The bar shows the absolute position against each stage's end, one step per block.
  void BarFollowsEveryStage() {
    const int64_t bloque = 64;
    EscenaVentana escena({}, bloque);
    const int64_t limite = escena.Limite();
    const int64_t largo = static_cast<int64_t>(escena.plantilla_bytes.size());
    QStringList esperado;
    for (auto [inicio, fin] :
         {std::pair<int64_t, int64_t>{1, 96}, {97, limite}, {limite + 1, largo}}) {
      for (int64_t hecho = inicio - 1; hecho < fin;) {
        hecho += std::min(bloque, fin - hecho);
        esperado << QStringLiteral("%1/%2").arg(hecho).arg(fin);
      }
    }
    QStringList visto;
    bool siempre_visible = true;
    QObject::connect(escena.barra(), &QProgressBar::valueChanged, [&](int valor) {
      visto << QStringLiteral("%1/%2").arg(valor).arg(escena.barra()->maximum());
      siempre_visible = siempre_visible && escena.barra()->isVisible();
    });
    QVERIFY(escena.Ejecutar());
    QCOMPARE(visto, esperado);
    QVERIFY(siempre_visible);
    QVERIFY(!escena.barra()->isVisible());
  }
};

QTEST_MAIN(MezclaVentana)
#include "test_ventana_mezcla.moc"

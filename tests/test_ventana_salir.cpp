// SPDX-License-Identifier: MIT
// "Salir" and the frame's close box end the program from any state, and the interrupted run
// never goes on: no temporary file stays, an earlier Importar.vip keeps its bytes.
#include <QApplication>
#include <QtTest>

#include "EscenaVentana.h"

class SalirVentana : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { QVERIFY(QApplication::topLevelWidgets().isEmpty()); }

  void EndsTheProgramAtOnce_data() {
    QTest::addColumn<QString>("momento");
    QTest::addColumn<bool>("por_el_marco");
    for (const char* momento : {"idle", "wait", "transfer"}) {
      QTest::addRow("%s, Salir", momento) << QString(momento) << false;
      QTest::addRow("%s, close box", momento) << QString(momento) << true;
    }
  }
  void EndsTheProgramAtOnce() {
    QFETCH(QString, momento);
    QFETCH(bool, por_el_marco);
    EscenaVentana escena;
    Escribir_Archivo(escena.salida.toStdString(), kAnterior);
    auto salir = [&] {
      if (por_el_marco) {
        escena.ventana->close();
      } else {
        Pulsar(escena.boton("Command1"));
      }
    };

    bool actuado = false;
    bool temporal_durante = false;
    std::unique_ptr<AlMostrarse> espera;
    if (momento == "wait") {
      espera = std::make_unique<AlMostrarse>(escena.boton("cmdIni"), [&] {
        actuado = true;
        salir();
      });
    } else if (momento == "transfer") {
      espera = std::make_unique<AlMostrarse>(escena.boton("cmdIni"),
                                             [&] { Pulsar(escena.boton("cmdIni")); });
      // Inside the audio data: the output is half written in its temporary file.
      QObject::connect(escena.barra(), &QProgressBar::valueChanged, escena.ventana.get(),
                       [&](int valor) {
                         if (actuado || valor <= 1000) return;
                         actuado = true;
                         temporal_durante = escena.Hay_Temporal();
                         salir();
                       });
    }
    escena.Elegir();
    const int codigo = En_Bucle_Principal([&] {
      if (momento == "idle") {
        actuado = true;
        salir();
      } else {
        Pulsar(escena.boton("cmdOpen"));
      }
    });

    QVERIFY(actuado);
    QCOMPARE(codigo, 0);  // the application was asked to quit
    QVERIFY(!escena.ventana->isVisible());
    if (momento == "transfer") QVERIFY(temporal_durante);
    QVERIFY(!escena.Hay_Temporal());
    QCOMPARE(escena.Leer_Salida(), kAnterior);
    QVERIFY(!escena.caja("Text1")->text().startsWith("Finalizado"));
  }
};

QTEST_MAIN(SalirVentana)
#include "test_ventana_salir.moc"

// SPDX-License-Identifier: MIT
// A signal, watched as main() watches it, does what "Salir" does, also in the middle of the flush.
#include <unistd.h>

#include <QSocketNotifier>
#include <QThread>
#include <atomic>
#include <csignal>

#include "EscenaVentana.h"
#include "Senales.h"

class SenalesVentana : public QObject {
  Q_OBJECT

 private slots:
  void ASignalDuringTheFlushEndsTheProgramAndReplacesNothing() {
    for (const int senal : {SIGINT, SIGTERM, SIGHUP}) {
      EscenaVentana escena;
      Escribir_Archivo(escena.salida.toStdString(), kAnterior);
      std::atomic<bool> cerrada = false, a_tiempo = false;
      QSocketNotifier senales(Canal_De_Senales(), QSocketNotifier::Read);
      connect(&senales, &QSocketNotifier::activated, [&, aviso = '\0']() mutable {
        cerrada = ::read(Canal_De_Senales(), &aviso, 1) == 1 && escena.ventana->close();
      });
      escena.sistema.antes_de_confirmar = [&] {  // raise it, then wait 5 s at most for the close
        for (int i = std::raise(senal); i < 500 && !cerrada; ++i) QThread::msleep(10);
        a_tiempo = cerrada.load();
      };
      QCOMPARE(En_Bucle_Principal([&] { escena.Ejecutar(); }), 0);
      QVERIFY(a_tiempo && !escena.Hay_Temporal() && escena.Leer_Salida() == kAnterior);
    }
  }
};

QTEST_MAIN(SenalesVentana)
#include "test_ventana_senales.moc"

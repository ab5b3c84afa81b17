// SPDX-License-Identifier: MIT
// A signal, watched as main() watches it, does what "Salir" does. Raised during the flush, which
// waits for the window to close: the flush runs off the window's thread, so it closes meanwhile.
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
      escena.sistema.antes_de_confirmar = [&] {
        std::raise(senal);  // then waits, 5 s at most, for the window to close
        for (int i = 0; i < 500 && !cerrada; ++i) QThread::msleep(10);
        a_tiempo = cerrada.load();
      };
      QCOMPARE(En_Bucle_Principal([&] { escena.Ejecutar(); }), 0);
      QVERIFY2(a_tiempo && !escena.Hay_Temporal() && escena.Leer_Salida() == kAnterior,
               "closed during the flush, no temporary file, the earlier output kept");
    }
  }
};

QTEST_MAIN(SenalesVentana)
#include "test_ventana_senales.moc"

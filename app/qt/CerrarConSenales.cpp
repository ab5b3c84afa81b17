// SPDX-License-Identifier: MIT
#include <unistd.h>

#include <QSocketNotifier>

#include "Form1Qt.h"
#include "Senales.h"

void Cerrar_Con_Senales(QWidget& ventana) {
  const int canal = Canal_De_Senales();
  if (canal < 0) return;  // no pipe to be had: the signals keep their usual effect
  auto* notificador = new QSocketNotifier(canal, QSocketNotifier::Read, &ventana);
  QObject::connect(notificador, &QSocketNotifier::activated, &ventana, [&ventana, canal] {
    char avisos[64];
    while (::read(canal, avisos, sizeof avisos) > 0) {
    }
    ventana.close();
  });
}

// SPDX-License-Identifier: MIT
#include <QApplication>

#include "FileListDialogo.h"
#include "Form1.h"

#ifndef _WIN32
#include <QSocketNotifier>

#include "Senales.h"
#endif

int main(int argc, char** argv) {
  QApplication aplicacion(argc, argv);
  FileListDialogo fileList;
  Form1 ventana(fileList);
#ifndef _WIN32
  // A stop by signal (Ctrl+C, the end of the session) does what "Salir" does.
  QSocketNotifier senales(Canal_De_Senales(), QSocketNotifier::Read);
  QObject::connect(&senales, &QSocketNotifier::activated, &ventana, [&] {
    senales.setEnabled(false);
    ventana.close();
  });
#endif
  ventana.show();
  return aplicacion.exec();
}

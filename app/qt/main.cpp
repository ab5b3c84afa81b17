// SPDX-License-Identifier: MIT
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "FileListDialogo.h"
#include "Form1Qt.h"

namespace {
// Without a display Qt ends the program with an abort and advice to reinstall it. While the
// application starts, its messages are held back and a fatal one becomes one line that says what
// is missing and what works without a display (its warnings only repeat that cause).
void Sin_Pantalla(QtMsgType tipo, const QMessageLogContext&, const QString&) {
  if (tipo != QtFatalMsg) return;
  std::fputs(
      "vipmerge: no hay pantalla (DISPLAY o WAYLAND_DISPLAY): use vipmerge-cli "
      "PLANTILLA AUDIO en un terminal, o abra vipmerge en un escritorio.\n",
      stderr);
  std::_Exit(1);
}
}  // namespace

int main(int argc, char** argv) {
  const QtMessageHandler anterior = qInstallMessageHandler(Sin_Pantalla);
  QApplication aplicacion(argc, argv);
  qInstallMessageHandler(anterior);
  FileListDialogo fileList;
  Form1Qt ventana(fileList);
  Cerrar_Con_Senales(ventana);
  ventana.show();
  return aplicacion.exec();
}

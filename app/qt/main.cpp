// SPDX-License-Identifier: MIT
#include <QApplication>

#include "FileListDialogo.h"
#include "Form1Qt.h"

int main(int argc, char** argv) {
  QApplication aplicacion(argc, argv);
  FileListDialogo fileList;
  Form1Qt ventana(fileList);
  Cerrar_Con_Senales(ventana);
  ventana.show();
  return aplicacion.exec();
}

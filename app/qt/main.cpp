// SPDX-License-Identifier: MIT
#include <QApplication>

#include "FileListDialogo.h"
#include "Form1.h"

int main(int argc, char** argv) {
  QApplication aplicacion(argc, argv);
  FileListDialogo fileList;
  Form1 ventana(fileList);
  ventana.show();
  return aplicacion.exec();
}

// SPDX-License-Identifier: MIT
#include <sys/socket.h>
#include <unistd.h>
#include <QApplication>
#include <QSocketNotifier>
#include <csignal>

#include "FileListDialogo.h"
#include "Form1Qt.h"

namespace {

int aviso[2] = {-1, -1};  // the handler writes, the event loop reads

void Al_Recibir_Senal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t escrito = write(aviso[1], &byte, 1);
}

// SIGINT, SIGTERM and SIGHUP (the terminal or the session ending) do what "Salir" does, from
// the event loop, wherever the window is in its run.
void Salir_Con_Senales(Form1Qt& ventana) {
  if (socketpair(AF_UNIX, SOCK_STREAM, 0, aviso) != 0) return;
  auto* notificador = new QSocketNotifier(aviso[0], QSocketNotifier::Read, &ventana);
  QObject::connect(notificador, &QSocketNotifier::activated, &ventana, [&ventana] {
    char byte;
    [[maybe_unused]] const ssize_t leido = read(aviso[0], &byte, 1);
    ventana.close();
  });
  struct sigaction accion = {};
  accion.sa_handler = Al_Recibir_Senal;
  accion.sa_flags = SA_RESTART;
  for (int senal : {SIGINT, SIGTERM, SIGHUP}) sigaction(senal, &accion, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication aplicacion(argc, argv);
  FileListDialogo fileList;
  Form1Qt ventana(fileList);
  Salir_Con_Senales(ventana);
  ventana.show();
  return aplicacion.exec();
}

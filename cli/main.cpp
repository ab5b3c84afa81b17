// SPDX-License-Identifier: MIT
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "BarraTerminal.h"
#include "Cli.h"

namespace {

volatile std::sig_atomic_t detener = 0;
volatile std::sig_atomic_t senal_recibida = 0;

// Ctrl+C or a termination request stops the merge between blocks, so that its temporary file
// is removed; the program then ends by the same signal.
extern "C" void Al_Recibir_Senal(int senal) {
  senal_recibida = senal;
  detener = 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGINT, Al_Recibir_Senal);
  std::signal(SIGTERM, Al_Recibir_Senal);
  BarraTerminal barra(stderr, ::isatty(STDERR_FILENO) == 1, &detener);
  const int codigo =
      Ejecutar_Cli(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr, barra);
  std::cout.flush();
  if (senal_recibida != 0) {
    std::signal(senal_recibida, SIG_DFL);
    std::raise(senal_recibida);
  }
  return codigo;
}

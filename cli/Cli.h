// SPDX-License-Identifier: MIT
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "Progreso.h"
#include "SistemaArchivos.h"

// Exit codes of vipmerge-cli.
enum CodigoSalida : int {
  kSalidaEscrito = 0,
  kSalidaNoValido = 1,
  kSalidaSinLimite = 2,
  kSalidaFallo = 3,
  kSalidaUso = 64,
};

// The whole command line without the program name; what a run prints goes to salida and
// errores. Returns the exit code.
int Ejecutar_Cli(const std::vector<std::string>& argumentos, std::ostream& salida,
                 std::ostream& errores, Progreso& progreso = Sin_Progreso(),
                 SistemaArchivos& sistema = Sistema_Real());

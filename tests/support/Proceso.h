// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

// What a program run printed and how it ended.
struct Ejecucion {
  int codigo = -1;  // the exit status, or -1 when it did not exit normally
  std::string salida;
  std::string errores;
};

// Runs the program with the arguments, stdout and stderr going to files (not a terminal).
Ejecucion Ejecutar_Programa(const std::string& programa,
                            const std::vector<std::string>& argumentos);

// SPDX-License-Identifier: MIT
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "Carpeta.h"
#ifdef _WIN32
#include "Texto.h"
#else
#include <sys/wait.h>
#endif

// What a program run printed and how it ended.
struct Ejecucion {
  int codigo = -1;  // the exit status; 128 + N after signal N, as a shell tells it
  std::string salida, errores;
};

// Runs the program through the shell, stdout and stderr going to files (not a terminal). A run
// that lasts over 30 s is killed. No argument here holds a quote.
inline Ejecucion Ejecutar_Programa(const std::string& programa,
                                   const std::vector<std::string>& argumentos) {
  CarpetaTemporal capturas;
#ifdef _WIN32
  // A cross-built test gets the host's path of the program; under Wine the host's / is Z:.
  const std::string q = "\"";
  std::string linea = q + (programa[0] == '/' ? "Z:" : "") + programa + q;
#else
  const std::string q = "'";
  std::string linea = "timeout -s KILL 30 " + q + programa + q;
#endif
  for (const std::string& argumento : argumentos) linea += " " + q + argumento + q;
  linea += " >" + q + capturas / "stdout" + q + " 2>" + q + capturas / "stderr" + q;
#ifdef _WIN32
  // cmd.exe runs the line without its outer quotes.
  const int codigo = _wsystem(Ancho("\"" + linea + " <NUL\"").c_str());
#else
  const int estado = std::system((linea + " </dev/null").c_str());
  const int codigo = WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
#endif
  return {codigo, Leer_Archivo(capturas / "stdout"), Leer_Archivo(capturas / "stderr")};
}

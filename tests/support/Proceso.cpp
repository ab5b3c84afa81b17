// SPDX-License-Identifier: MIT
#include "Proceso.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <stdexcept>

#include "Carpeta.h"

extern char** environ;

Ejecucion Ejecutar_Programa(const std::string& programa,
                            const std::vector<std::string>& argumentos) {
  CarpetaTemporal capturas;
  const std::string salida = capturas / "stdout", errores = capturas / "stderr";
  posix_spawn_file_actions_t acciones;
  posix_spawn_file_actions_init(&acciones);
  posix_spawn_file_actions_addopen(&acciones, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&acciones, 1, salida.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&acciones, 2, errores.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  std::vector<char*> argv{const_cast<char*>(programa.c_str())};
  for (const std::string& argumento : argumentos)
    argv.push_back(const_cast<char*>(argumento.c_str()));
  argv.push_back(nullptr);
  pid_t pid;
  const int error = posix_spawn(&pid, programa.c_str(), &acciones, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&acciones);
  if (error != 0) throw std::runtime_error("no se pudo ejecutar " + programa);
  int estado = 0;
  waitpid(pid, &estado, 0);
  Ejecucion ejecucion;
  ejecucion.codigo = WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
  ejecucion.salida = Leer_Archivo(salida);
  ejecucion.errores = Leer_Archivo(errores);
  return ejecucion;
}

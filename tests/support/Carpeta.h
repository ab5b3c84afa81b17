// SPDX-License-Identifier: MIT
// Temporary folders, whole files and program runs for tests; paths are UTF-8, on Windows too.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>
#ifdef _WIN32
#include "Texto.h"
#else
#include <sys/wait.h>
#endif

inline std::string Leer_Archivo(const std::string& ruta) {
  std::ifstream archivo(std::filesystem::u8path(ruta), std::ios::binary);
  if (!archivo) throw std::runtime_error("no se puede leer " + ruta);
  return std::string(std::istreambuf_iterator<char>(archivo), {});
}

// A fresh folder for one test, removed with everything in it at the end.
class CarpetaTemporal {
  std::filesystem::path ruta_;

 public:
  CarpetaTemporal() {
    do
      ruta_ = std::filesystem::temp_directory_path() /
              ("vipmerge-prueba-" + std::to_string(std::random_device()()));
    while (!std::filesystem::create_directory(ruta_));
  }
  ~CarpetaTemporal() {
    std::error_code ignorado;  // a folder left behind fails no test
    std::filesystem::remove_all(ruta_, ignorado);
  }
  CarpetaTemporal(const CarpetaTemporal&) = delete;
  CarpetaTemporal& operator=(const CarpetaTemporal&) = delete;

  std::string ruta() const { return ruta_.u8string(); }
  std::string operator/(const std::string& nombre) const { return ruta() + "/" + nombre; }
  // Writes the bytes to a file of that name and returns its path.
  std::string Escribir(const std::string& nombre, const std::string& bytes) const {
    std::ofstream archivo(ruta_ / std::filesystem::u8path(nombre), std::ios::binary);
    if (!archivo.write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
      throw std::runtime_error("no se puede escribir " + nombre);
    return *this / nombre;
  }
  std::set<std::string> Nombres() const {
    std::set<std::string> nombres;
    for (const auto& e : std::filesystem::directory_iterator(ruta_))
      nombres.insert(e.path().filename().u8string());
    return nombres;
  }
};

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
  const std::string q = "\"", inicio = q + (programa[0] == '/' ? "Z:" : "");
#else
  const std::string q = "'", inicio = "timeout -s KILL 30 " + q;
#endif
  std::string linea = inicio + programa + q;
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

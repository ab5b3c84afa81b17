// SPDX-License-Identifier: MIT
// vipmerge-gen: writes a .vip project made by the generator and prints its boundary. It makes
// the examples and the benchmark's projects.
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "Generador.h"

int main(int argc, char** argv) {
  DescripcionVip descripcion;
  bool lineas_propias = false;
  std::string salida;
  for (int i = 1; i < argc; ++i) {
    const std::string argumento = argv[i];
    const bool con_valor = i + 1 < argc;
    if (argumento == "--audio-bytes" && con_valor) {
      descripcion.bytes_audio = std::strtoull(argv[++i], nullptr, 10);
    } else if (argumento == "--param-bytes" && con_valor) {
      descripcion.bytes_parametros = std::strtoull(argv[++i], nullptr, 10);
    } else if (argumento == "--seed" && con_valor) {
      descripcion.semilla = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
    } else if (argumento == "--line" && con_valor) {
      if (!lineas_propias) descripcion.lineas.clear();
      lineas_propias = true;
      descripcion.lineas.push_back(argv[++i]);
    } else if (argumento == "--no-list") {
      descripcion.con_lista = false;
    } else if (salida.empty() && !argumento.empty() && argumento[0] != '-') {
      salida = argumento;
    } else {
      std::cerr << "Uso: vipmerge-gen [--audio-bytes N] [--param-bytes N] [--seed N]"
                   " [--line TEXTO]... [--no-list] SALIDA.vip\n";
      return 64;
    }
  }
  if (salida.empty()) {
    std::cerr << "vipmerge-gen: falta SALIDA.vip\n";
    return 64;
  }
  std::ofstream archivo(salida, std::ios::binary);
  Escribir_Vip(archivo, descripcion);
  archivo.close();
  if (!archivo) {
    std::cerr << "vipmerge-gen: no se pudo escribir " << salida << '\n';
    return 3;
  }
  std::cout << Limite_De(descripcion) << '\n';
  return 0;
}

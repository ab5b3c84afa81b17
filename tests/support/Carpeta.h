// SPDX-License-Identifier: MIT
// Temporary folders and whole files for tests; paths are UTF-8, on Windows too.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <stdexcept>
#include <string>

inline std::string Leer_Archivo(const std::string& ruta) {
  std::ifstream archivo(std::filesystem::u8path(ruta), std::ios::binary);
  if (!archivo) throw std::runtime_error("no se puede leer " + ruta);
  return std::string(std::istreambuf_iterator<char>(archivo), {});
}

inline void Escribir_Archivo(const std::string& ruta, const std::string& bytes) {
  std::ofstream archivo(std::filesystem::u8path(ruta), std::ios::binary | std::ios::trunc);
  if (!archivo.write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
    throw std::runtime_error("no se puede escribir " + ruta);
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
    Escribir_Archivo(*this / nombre, bytes);
    return *this / nombre;
  }
  std::set<std::string> Nombres() const {
    std::set<std::string> nombres;
    for (const auto& e : std::filesystem::directory_iterator(ruta_))
      nombres.insert(e.path().filename().u8string());
    return nombres;
  }
};

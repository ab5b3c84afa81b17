// SPDX-License-Identifier: MIT
// Temporary folders and whole files for tests; paths are UTF-8, on Windows too.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

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
 public:
  CarpetaTemporal() {
    std::filesystem::path ruta;
    do {
      ruta = std::filesystem::temp_directory_path() /
             ("vipmerge-prueba-" + std::to_string(std::random_device()()));
    } while (!std::filesystem::create_directory(ruta));
    ruta_ = ruta.u8string();
  }
  ~CarpetaTemporal() {
    std::error_code ignorado;
    std::filesystem::remove_all(std::filesystem::u8path(ruta_), ignorado);
  }
  CarpetaTemporal(const CarpetaTemporal&) = delete;
  CarpetaTemporal& operator=(const CarpetaTemporal&) = delete;

  const std::string& ruta() const { return ruta_; }
  std::string operator/(const std::string& nombre) const { return ruta_ + "/" + nombre; }
  // Writes the bytes to a file of that name and returns its path.
  std::string Escribir(const std::string& nombre, const std::string& bytes) const {
    Escribir_Archivo(*this / nombre, bytes);
    return *this / nombre;
  }
  std::vector<std::string> Nombres() const {  // sorted
    std::vector<std::string> nombres;
    for (const auto& e : std::filesystem::directory_iterator(std::filesystem::u8path(ruta_)))
      nombres.push_back(e.path().filename().u8string());
    std::sort(nombres.begin(), nombres.end());
    return nombres;
  }

 private:
  std::string ruta_;
};

// SPDX-License-Identifier: MIT
#include "Carpeta.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

CarpetaTemporal::CarpetaTemporal() {
  std::random_device azar;
  for (int intento = 0; intento < 100; ++intento) {
    const fs::path candidata =
        fs::temp_directory_path() / ("vipmerge-prueba-" + std::to_string(azar()));
    if (fs::create_directory(candidata)) {
      ruta_ = candidata.string();
      return;
    }
  }
  throw std::runtime_error("no se pudo crear una carpeta temporal");
}

CarpetaTemporal::~CarpetaTemporal() {
  std::error_code ignorado;
  fs::permissions(ruta_, fs::perms::owner_all, fs::perm_options::add, ignorado);
  fs::remove_all(ruta_, ignorado);
}

std::string CarpetaTemporal::Escribir(const std::string& nombre, const std::string& bytes) const {
  const std::string ruta = *this / nombre;
  Escribir_Archivo(ruta, bytes);
  return ruta;
}

std::vector<std::string> CarpetaTemporal::Nombres() const {
  std::vector<std::string> nombres;
  for (const auto& entrada : fs::directory_iterator(ruta_)) {
    nombres.push_back(entrada.path().filename().string());
  }
  std::sort(nombres.begin(), nombres.end());
  return nombres;
}

std::string Leer_Archivo(const std::string& ruta) {
  std::ifstream archivo(ruta, std::ios::binary);
  if (!archivo) throw std::runtime_error("no se puede leer " + ruta);
  return std::string(std::istreambuf_iterator<char>(archivo), {});
}

void Escribir_Archivo(const std::string& ruta, const std::string& bytes) {
  std::ofstream archivo(ruta, std::ios::binary | std::ios::trunc);
  archivo.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!archivo) throw std::runtime_error("no se puede escribir " + ruta);
}

bool Existe(const std::string& ruta) {
  std::error_code ignorado;
  return fs::exists(fs::symlink_status(ruta, ignorado));
}

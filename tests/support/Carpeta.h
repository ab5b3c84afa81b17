// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

// A fresh temporary folder for one test, removed with everything in it at the end.
class CarpetaTemporal {
 public:
  CarpetaTemporal();
  ~CarpetaTemporal();
  CarpetaTemporal(const CarpetaTemporal&) = delete;
  CarpetaTemporal& operator=(const CarpetaTemporal&) = delete;

  const std::string& ruta() const { return ruta_; }
  // The path of a name inside the folder.
  std::string operator/(const std::string& nombre) const { return ruta_ + "/" + nombre; }
  // Writes the bytes to a file of that name and returns its path.
  std::string Escribir(const std::string& nombre, const std::string& bytes) const;
  // Names in the folder, sorted.
  std::vector<std::string> Nombres() const;

 private:
  std::string ruta_;
};

std::string Leer_Archivo(const std::string& ruta);
void Escribir_Archivo(const std::string& ruta, const std::string& bytes);
bool Existe(const std::string& ruta);

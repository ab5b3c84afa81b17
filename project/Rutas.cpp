// SPDX-License-Identifier: MIT
#include "Rutas.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>

#include "Texto.h"
#else
#include <sys/stat.h>
#endif

namespace {

#ifdef _WIN32
// Windows takes both separators.
constexpr const char* kSeparadores = "\\/";
#else
constexpr const char* kSeparadores = "/";
#endif

// Where the folder part ends: the last separator, or on Windows the ':' of a drive prefix such
// as "C:Mezcla.vip". A ':' further on names a stream of a file, not a folder.
size_t Fin_De_Carpeta(const std::string& ruta) {
  const size_t separador = ruta.find_last_of(kSeparadores);
#ifdef _WIN32
  const bool con_unidad =
      ruta.size() >= 2 && ruta[1] == ':' &&
      ((ruta[0] >= 'A' && ruta[0] <= 'Z') || (ruta[0] >= 'a' && ruta[0] <= 'z'));
  if (separador == std::string::npos && con_unidad) return 1;
#endif
  return separador;
}

bool Es_Archivo_Ordinario(const std::string& ruta) {
#ifdef _WIN32
  const DWORD atributos = GetFileAttributesW(Ruta_Ancha(ruta).c_str());
  if (atributos == INVALID_FILE_ATTRIBUTES) return false;
  return (atributos & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) ==
         0;
#else
  struct stat datos;
  if (::stat(ruta.c_str(), &datos) != 0) return false;
  const std::string nombre = Nombre_De(ruta);
  return S_ISREG(datos.st_mode) && !nombre.empty() && nombre[0] != '.';
#endif
}

}  // namespace

std::string Nombre_De(const std::string& ruta) {
  const auto separador = Fin_De_Carpeta(ruta);
  return separador == std::string::npos ? ruta : ruta.substr(separador + 1);
}

std::string Carpeta_De(const std::string& ruta) {
  const auto separador = Fin_De_Carpeta(ruta);
  return separador == std::string::npos ? std::string() : ruta.substr(0, separador + 1);
}

std::string Buscar_Archivo(const std::string& ruta) {
  if (ruta.empty() || !Es_Archivo_Ordinario(ruta)) return {};
  return Nombre_De(ruta);
}

bool Contiene_Vip(const std::string& ruta) {
  std::string minusculas = ruta;
  std::transform(minusculas.begin(), minusculas.end(), minusculas.begin(), [](unsigned char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : char(c);
  });
  return minusculas.find(".vip") != std::string::npos;
}

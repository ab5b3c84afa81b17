// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// Looks the path up for an ordinary file: an existing file that is neither a folder nor hidden
// (nor, on Windows, a system file). Yields the file-name part of the path when found, and the
// empty text otherwise.
std::string Buscar_Archivo(const std::string& ruta);

// The file-name part: what follows the last path separator.
std::string Nombre_De(const std::string& ruta);

// The folder of a file path, ending with its separator; empty for a bare file name.
std::string Carpeta_De(const std::string& ruta);

// Whether the path, lower-cased, contains ".vip" anywhere.
bool Contiene_Vip(const std::string& ruta);

inline constexpr const char* kNombreSalida = "Importar.vip";

// Where the output goes by default: the folder of the audio-data project + "Importar.vip".
inline std::string Salida_Para(const std::string& audio) {
  return Carpeta_De(audio) + kNombreSalida;
}

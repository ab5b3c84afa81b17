// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

// Writes texto into datos so that its first byte is at the 1-based position, growing datos
// with '.' where needed.
inline void Poner(std::string& datos, int64_t posicion, const std::string& texto) {
  const size_t offset = static_cast<size_t>(posicion - 1);
  if (datos.size() < offset + texto.size()) datos.resize(offset + texto.size(), '.');
  datos.replace(offset, texto.size(), texto);
}

// A twelve-byte list header of the given type.
inline std::string Cabecera(const std::string& tipo, const std::string& etiqueta = "LIST") {
  return etiqueta + std::string("\x10\x00\x00\x00", 4) + tipo;
}

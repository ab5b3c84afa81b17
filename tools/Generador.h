// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

// Makes .vip project files for the examples, the benchmark and the window's picture. The layout:
//   bytes 1-96      a head ("VIPP", version, sizes)
//   bytes 97-366    zeros
//   from 367        text lines ending in CRLF, naming the audio files
//   then            audio data: pseudo-random bytes
//   then            an 8-byte "PARM" chunk header, then "LIST", size, "mdrl" and the parameters
// The parameter boundary is the position just before the "PARM" header.
struct DescripcionVip {
  std::vector<std::string> lineas = {"[Pistas]", "Pista1=C:\\Audio\\voz.wav"};
  uint64_t bytes_audio = 4096;
  uint64_t bytes_parametros = 256;
  uint32_t semilla = 1;
  bool con_lista = true;  // without it the project has no parameter boundary
};

// The parameter boundary of the described project (0 without the list).
int64_t Limite_De(const DescripcionVip& descripcion);
uint64_t Longitud_De(const DescripcionVip& descripcion);

void Escribir_Vip(std::ostream& salida, const DescripcionVip& descripcion);
std::string Generar_Vip(const DescripcionVip& descripcion);

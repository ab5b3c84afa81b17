// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "Progreso.h"
#include "SistemaArchivos.h"

// Work is done in blocks of this size, with one progress report and one pump between blocks;
// on slow media in smaller pieces, with a pump between pieces.
inline constexpr size_t kTamBloque = size_t{1} << 20;

// What the audio-reference check concluded, and why.
enum class Comprobacion {
  Aceptado,
  RutaFreezeData,  // the path contains "FreezeData": refused without opening the file
  RutaVacia,
  NoEncontrado,  // not an ordinary file: missing, a folder, hidden (or system)
  RutaSinPunto,  // no "." anywhere in the path
  SinAudio,      // no text from byte 367 on names "wav", "mp3", "aif", "ogg" or "flac"
};

// The audio-reference check with its reason. The text lines from byte 367 on, split at CR or
// CRLF, are searched for the five format names in lower case; the first line that holds one
// accepts the project. Throws ErrorArchivo when the file cannot be opened or read, and Detenido.
Comprobacion Comprobar_Audio(const std::string& archivo, Progreso& progreso = Sin_Progreso(),
                             SistemaArchivos& sistema = Sistema_Real(), size_t bloque = kTamBloque);

// Whether the project can serve as the audio-data project; false too when it cannot be read.
bool Valido(const std::string& archivo, Progreso& progreso = Sin_Progreso(),
            SistemaArchivos& sistema = Sistema_Real(), size_t bloque = kTamBloque);

// Why the check refused a project, in words for the user; empty for Aceptado and SinAudio.
std::string Motivo_De(Comprobacion comprobacion);

// The parameter boundary: p - 9 for the lowest 1-based position p >= inicio at which the
// twelve bytes "LIST", any four bytes, "mdrl" lie wholly inside the file; 0 when there is none.
// An empty file is not opened. Throws ErrorArchivo when the file cannot be measured, opened or
// read, and Detenido.
int64_t Buscar_Lista_Mdrl(const std::string& ruta, int64_t inicio,
                          Progreso& progreso = Sin_Progreso(),
                          SistemaArchivos& sistema = Sistema_Real(), size_t bloque = kTamBloque);

// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "Escaneos.h"
#include "Progreso.h"
#include "SistemaArchivos.h"

// How a transfer ended when it did not fail.
enum class Copia {
  Copiada,       // the range was copied (or was empty, or the source was empty)
  SinVip,        // the lower-cased source path holds no ".vip": nothing was touched
  NoEncontrada,  // the source is not an ordinary file: nothing was touched
};

// Copies the 1-based positions inicio..fin (both included) of the source to the same positions
// of the output. The progress bar gets the maximum fin, is shown, follows the absolute position
// of the last byte copied, and is hidden at the end. Positions past the end of the source are
// written as 0. Throws ErrorArchivo (a source that shrinks while it is copied is one) and
// Detenido; the bar is then left as it was.
Copia Copiar_Rango(const std::string& origen, int64_t inicio, int64_t fin, Destino& salida,
                   Progreso& progreso = Sin_Progreso(), SistemaArchivos& sistema = Sistema_Real(),
                   size_t bloque = kTamBloque);

// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

#include "Escaneos.h"
#include "Progreso.h"
#include "SistemaArchivos.h"

// The two projects and the output of one merge.
struct Peticion {
  std::string plantilla;  // the template project: its parameters follow the boundary
  std::string audio;      // the audio-data project: its head and audio data up to the boundary
  std::string salida;     // the output project
};

enum class Desenlace {
  Escrito,    // the output is in place
  NoValido,   // the audio-data project names no audio file: nothing written
  Ilegible,   // the audio-data project could not be read for the check: nothing written
  SinLimite,  // no "LIST"/"mdrl" header in the audio-data project: nothing written
  Fallo,      // a read or write failed, or a source is no project: nothing replaced
  Detenido,   // the caller stopped the work: nothing replaced
};

struct Resultado {
  Desenlace desenlace = Desenlace::Fallo;
  std::string motivo;  // for Fallo the system's reason (naming the source it concerns), for
                       // Ilegible the system's reason
  int64_t limite = 0;  // the parameter boundary found
  Comprobacion comprobacion = Comprobacion::Aceptado;
};

// The writing of a run whose audio-data project has passed the check: both sources must still
// be ordinary ".vip" files; then positions 1 to 96 of the audio-data project, the boundary B
// searched from 97, positions 97 to B of the audio-data project and positions B + 1 to the end
// of the template go to a temporary file that replaces the output only when all went well.
// The progress is pumped while the output is flushed and put in place too; a stop asked until
// the flush is done replaces nothing, and from the rename on the run is written, whatever is
// asked after.
Resultado Componer(const Peticion& peticion, Progreso& progreso = Sin_Progreso(),
                   SistemaArchivos& sistema = Sistema_Real(), size_t bloque = kTamBloque);

// The whole merge: the audio-reference check, then Componer.
Resultado Mezclar(const Peticion& peticion, Progreso& progreso = Sin_Progreso(),
                  SistemaArchivos& sistema = Sistema_Real(), size_t bloque = kTamBloque);

// The one line that tells the user the outcome, in the same words for every front end.
std::string Mensaje(const Peticion& peticion, const Resultado& resultado);

inline constexpr const char* kMsgFinalizado = "Finalizado la escritura de: ";
inline constexpr const char* kMsgNoAudio = "El proyecto no nombra ningún archivo de audio: ";
inline constexpr const char* kMsgSinLimite =
    "No se encontró la lista de parámetros (LIST mdrl) en: ";
inline constexpr const char* kMsgIlegible = "No se pudo leer: ";
inline constexpr const char* kMsgFalloEscritura = "No se pudo completar la escritura de: ";
inline constexpr const char* kMsgDetenido = "Se interrumpió la escritura de: ";

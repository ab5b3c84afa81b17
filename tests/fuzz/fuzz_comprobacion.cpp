// SPDX-License-Identifier: MIT
// The audio-reference check against a line-by-line reader. Input: a block-size byte, a byte
// whose lowest bit puts 366 filler bytes in front (so that the input is the text area), then
// the file.
#include "Entrada.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t n) {
  static const std::string ruta = fuzz::Carpeta("comprobacion") + "/audio.vip";
  fuzz::Lector lector(datos, n);
  const size_t bloque = fuzz::Bloque_De(lector.Byte());
  const bool con_relleno = lector.Byte() & 1;
  const std::string archivo =
      (con_relleno ? std::string(366, 'h') : std::string()) + lector.Resto();
  fuzz::Escribir(ruta, archivo);
  const Comprobacion comprobacion = Comprobar_Audio(ruta, Sin_Progreso(), Sistema_Real(), bloque);
  const bool esperado = fuzz::Nombra_Audio_Simple(archivo);
  if (comprobacion != (esperado ? Comprobacion::Aceptado : Comprobacion::SinAudio)) {
    fuzz::Diferencia("check");
  }
  if (Valido(ruta, Sin_Progreso(), Sistema_Real(), bloque) != esperado) fuzz::Diferencia("Valido");
  return 0;
}

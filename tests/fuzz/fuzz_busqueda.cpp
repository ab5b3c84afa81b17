// SPDX-License-Identifier: MIT
// The boundary search against the plain rule. Input: a block-size byte, a 16-bit signed start
// position, then the file.
#include "Entrada.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t n) {
  static const std::string ruta = fuzz::Carpeta("busqueda") + "/audio.vip";
  fuzz::Lector lector(datos, n);
  const size_t bloque = fuzz::Bloque_De(lector.Byte());
  const int64_t inicio = static_cast<int16_t>(lector.U16());
  const std::string archivo = lector.Resto();
  fuzz::Escribir(ruta, archivo);
  if (Buscar_Lista_Mdrl(ruta, inicio, Sin_Progreso(), Sistema_Real(), bloque) !=
      fuzz::Limite_Simple(archivo, inicio)) {
    fuzz::Diferencia("boundary");
  }
  return 0;
}

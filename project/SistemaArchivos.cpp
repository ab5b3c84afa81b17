// SPDX-License-Identifier: MIT
#include "SistemaArchivos.h"

size_t Leer_Completo(Fuente& fuente, int64_t offset, void* datos, size_t n) {
  char* destino = static_cast<char*>(datos);
  size_t total = 0;
  while (total < n) {
    const size_t leidos =
        fuente.Leer(offset + static_cast<int64_t>(total), destino + total, n - total);
    if (leidos == 0) break;
    total += leidos;
  }
  return total;
}

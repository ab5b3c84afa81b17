// SPDX-License-Identifier: MIT
// The whole merge against the plain rules, on any input: a byte for the block size, the length
// of the audio-data project in two bytes, the audio-data project, then the template.
#include <cstdio>

#include "Referencia.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t n) {
  if (n < 3) return 0;
  // 1 to 255 bytes (0: the real size), so that headers and names fall across block edges.
  const size_t bloque = datos[0] == 0 ? kTamBloque : datos[0];
  const std::string resto(reinterpret_cast<const char*>(datos) + 3, n - 3);
  const size_t largo = std::min<size_t>(datos[1] | datos[2] << 8, resto.size());
  const Escena escena{resto.substr(0, largo), resto.substr(largo)};
  const std::string diferencia = escena.Contrastar(bloque);
  if (diferencia.empty()) return 0;
  std::fprintf(stderr, "the core and the plain rules disagree: %s\n", diferencia.c_str());
  std::abort();
}

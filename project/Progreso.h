// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

// What long work reports between blocks. The window drives ProgressBar1 and its event
// processing through it; the command line a terminal bar or nothing. The bar shows the
// absolute position within the file against the maximum (its minimum stays 0).
class Progreso {
 public:
  virtual ~Progreso() = default;
  virtual void Fijar_Maximo(int64_t) {}
  virtual void Fijar_Valor(int64_t) {}
  virtual void Fijar_Visible(bool) {}
  // Called once per block; answering false asks the work to stop (it then throws Detenido).
  virtual bool Bombear() { return true; }
};

// For callers that show nothing and never stop the work.
inline Progreso& Sin_Progreso() {
  static Progreso nada;
  return nada;
}

// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>

#include "Progreso.h"

class QProgressBar;

// Shows the core's progress on the window's bar and keeps the window responsive: every pump
// processes the pending window events, then asks whether the work may go on.
class ProgresoBarra : public Progreso {
 public:
  ProgresoBarra(QProgressBar& barra, std::function<bool()> seguir);

  void Fijar_Maximo(int64_t maximo) override;
  void Fijar_Valor(int64_t valor) override;
  void Fijar_Visible(bool visible) override;
  bool Bombear() override;

 private:
  QProgressBar& barra_;
  std::function<bool()> seguir_;
  int64_t escala_ = 1;  // file positions per step of the bar
};

// The bar holds int steps: positions up to `maximo` are divided by this so that they fit.
int64_t Escala_Para(int64_t maximo);

// SPDX-License-Identifier: MIT
#include "ProgresoBarra.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <algorithm>
#include <climits>

int64_t Escala_Para(int64_t maximo) {
  return maximo > INT_MAX ? (maximo + INT_MAX - 1) / INT_MAX : 1;
}

ProgresoBarra::ProgresoBarra(QProgressBar& barra, std::function<bool()> seguir)
    : barra_(barra), seguir_(std::move(seguir)) {}

void ProgresoBarra::Fijar_Maximo(int64_t maximo) {
  escala_ = Escala_Para(maximo);
  // A maximum of 0 would turn the bar into a busy indicator; an empty range shows as empty.
  barra_.setRange(0, static_cast<int>(std::max<int64_t>(maximo / escala_, 1)));
}

void ProgresoBarra::Fijar_Valor(int64_t valor) {
  // The bar ignores a value outside its range; clamp so that it always follows the work.
  barra_.setValue(static_cast<int>(std::clamp<int64_t>(valor / escala_, 0, barra_.maximum())));
}

void ProgresoBarra::Fijar_Visible(bool visible) {
  barra_.setVisible(visible);
}

bool ProgresoBarra::Bombear() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  return seguir_();
}

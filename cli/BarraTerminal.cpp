// SPDX-License-Identifier: MIT
#include "BarraTerminal.h"

#include <algorithm>
#include <string>

namespace {
constexpr auto kEsperaAntesDeDibujar = std::chrono::milliseconds(300);
constexpr auto kIntervaloDeDibujo = std::chrono::milliseconds(100);
constexpr int kAncho = 40;
}  // namespace

void BarraTerminal::Fijar_Visible(bool visible) {
  if (visible && !visible_) mostrada_ = Reloj::now();
  visible_ = visible;
  if (!visible) Borrar();
}

void BarraTerminal::Fijar_Valor(int64_t valor) {
  valor_ = valor;
  if (!dibujar_ || !visible_) return;
  const auto ahora = Reloj::now();
  if (ahora - mostrada_ < kEsperaAntesDeDibujar) return;
  if (dibujada_ && ahora - ultimo_dibujo_ < kIntervaloDeDibujo) return;
  ultimo_dibujo_ = ahora;
  Dibujar();
}

void BarraTerminal::Dibujar() {
  // The bar shows the absolute position against the maximum, like the window's.
  const double parte =
      maximo_ > 0 ? std::clamp(static_cast<double>(valor_) / static_cast<double>(maximo_), 0.0, 1.0)
                  : 1.0;
  const int llenos = static_cast<int>(parte * kAncho);
  const std::string barra = std::string(llenos, '#') + std::string(kAncho - llenos, '.');
  std::fprintf(terminal_, "\rEscribiendo [%s] %3d %%", barra.c_str(),
               static_cast<int>(parte * 100));
  std::fflush(terminal_);
  dibujada_ = true;
}

void BarraTerminal::Borrar() {
  if (!dibujada_) return;
  std::fputs("\r\033[K", terminal_);
  std::fflush(terminal_);
  dibujada_ = false;
}

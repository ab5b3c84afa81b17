// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <string>

#include "Progreso.h"

// A one-line progress bar on a terminal (stderr), fitted to its width at each draw, redrawn at most
// ten times a second and only once a transfer has run for a moment, so that short merges print
// nothing. With dibujar false it draws nothing and only passes on a request to stop.
class BarraTerminal : public Progreso {
 public:
  BarraTerminal(std::FILE* terminal, bool dibujar, const volatile std::sig_atomic_t* detener)
      : terminal_(terminal), dibujar_(dibujar), detener_(detener) {}
  ~BarraTerminal() override { Borrar(); }

  void Fijar_Maximo(int64_t maximo) override { maximo_ = maximo; }
  void Fijar_Valor(int64_t valor) override;
  void Fijar_Visible(bool visible) override;
  bool Bombear() override { return detener_ == nullptr || *detener_ == 0; }
  bool Visible() const { return visible_; }
  // The line drawn at that position on a terminal of that many columns: short of the last one.
  static std::string Linea(int64_t valor, int64_t maximo, int columnas);

 private:
  using Reloj = std::chrono::steady_clock;
  void Dibujar();
  void Borrar();

  std::FILE* terminal_;
  bool dibujar_;
  const volatile std::sig_atomic_t* detener_;
  int64_t maximo_ = 100;
  int64_t valor_ = 0;
  bool visible_ = false;
  bool dibujada_ = false;
  Reloj::time_point mostrada_{};
  Reloj::time_point ultimo_dibujo_{};
};

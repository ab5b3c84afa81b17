// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>

// How many bytes long work handles between two pumps. On slow media a whole block takes longer
// than the window may wait between two pumps: the piece starts small, doubles while pieces are
// quick and halves while they take longer than kPausaDeseada, never past the block.
class Ritmo {
 public:
  explicit Ritmo(size_t bloque)
      : bloque_(std::max<size_t>(bloque, 1)), pieza_(std::min(kPiezaMinima, bloque_)) {}

  size_t Pieza() const { return pieza_; }

  // Does one piece of work and sizes the next one on how long it took.
  template <typename Trabajo>
  void Medir(Trabajo&& trabajo) {
    const auto inicio = Reloj::now();
    trabajo();
    const auto tardado = Reloj::now() - inicio;
    if (tardado > kPausaDeseada) {
      pieza_ = std::max(pieza_ / 2, std::min(kPiezaMinima, bloque_));
    } else if (tardado < kPausaDeseada / 4) {
      pieza_ = std::min(pieza_ * 2, bloque_);
    }
  }

 private:
  using Reloj = std::chrono::steady_clock;
  static constexpr auto kPausaDeseada = std::chrono::milliseconds(50);
  static constexpr size_t kPiezaMinima = size_t{64} << 10;

  const size_t bloque_;
  size_t pieza_;
};

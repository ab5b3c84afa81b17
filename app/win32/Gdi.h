// SPDX-License-Identifier: MIT
#pragma once

#include <windows.h>

#include <utility>

// Owns a GDI object (a font, a brush) and deletes it when it is replaced or goes away.
template <typename Handle>
class Gdi {
 public:
  Gdi() = default;
  explicit Gdi(Handle handle) : handle_(handle) {}
  ~Gdi() { Liberar(); }
  Gdi(Gdi&& otro) noexcept : handle_(std::exchange(otro.handle_, nullptr)) {}
  Gdi& operator=(Gdi&& otro) noexcept {
    if (this != &otro) {
      Liberar();
      handle_ = std::exchange(otro.handle_, nullptr);
    }
    return *this;
  }
  Gdi(const Gdi&) = delete;
  Gdi& operator=(const Gdi&) = delete;

  Handle get() const { return handle_; }

 private:
  void Liberar() {
    if (handle_) DeleteObject(handle_);
  }

  Handle handle_ = nullptr;
};

using Tipografia = Gdi<HFONT>;
using Pincel = Gdi<HBRUSH>;

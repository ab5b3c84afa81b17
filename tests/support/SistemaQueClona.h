// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>

#include "Errores.h"
#include "SistemaArchivos.h"

// An output that "clones" by writing the source's bytes, at a small block size; after `quedan`
// bytes it stops half-way and refuses, or throws when `lanzar`. Misused, it throws logic_error.
struct SistemaQueClona : SistemaArchivos {
  SistemaQueClona(size_t b, uint64_t q = UINT64_MAX, bool l = false)
      : bloque(b), quedan(q), lanzar(l) {}
  size_t bloque;
  uint64_t quedan, clonados = 0;
  bool lanzar;

  struct Salida : Destino {
    std::unique_ptr<Destino> real;
    SistemaQueClona& s;
    Salida(std::unique_ptr<Destino> r, SistemaQueClona& sis) : real(std::move(r)), s(sis) {}
    const std::string& ruta() const override { return real->ruta(); }
    void Escribir(int64_t o, const void* d, size_t n) override { real->Escribir(o, d, n); }
    size_t Copiar(Fuente& f, int64_t o, size_t n) override { return real->Copiar(f, o, n); }
    void Volcar() override { real->Volcar(); }
    void Colocar() override { real->Colocar(); }
    size_t Bloque_De_Clonado() override { return s.bloque; }
    bool Clonar(Fuente& fuente, int64_t offset, size_t n) override {
      std::string bytes(n, '\0');
      if (s.quedan == 0 || (offset % s.bloque) + (n % s.bloque) > 0 ||
          Leer_Completo(fuente, offset, &bytes[0], n) < n)
        throw std::logic_error("a clone out of alignment, past the source or after a refusal");
      const size_t hechos = n < s.quedan ? n : static_cast<size_t>(s.quedan);
      real->Escribir(offset, bytes.data(), hechos);
      s.quedan -= hechos, s.clonados += hechos;
      if (hechos < n && s.lanzar) throw ErrorArchivo(ruta(), Texto_Del_Sistema(EIO));
      return hechos == n;
    }
  };
  std::unique_ptr<Fuente> Abrir(const std::string& r) override { return Sistema_Real().Abrir(r); }
  int64_t Longitud(const std::string& r) override { return Sistema_Real().Longitud(r); }
  std::unique_ptr<Destino> Crear(const std::string& ruta) override {
    return std::make_unique<Salida>(Sistema_Real().Crear(ruta), *this);
  }
};

// SPDX-License-Identifier: MIT
#pragma once

#include <cerrno>
#include <functional>
#include <memory>
#include <stdexcept>

#include "Errores.h"
#include "SistemaArchivos.h"

// The real file system with an output that takes every byte through Escribir, whose writing
// fails (EIO) once it would pass escribir_hasta bytes (-1: never), with a hook that runs on the
// thread that flushes the output. With bloque > 0 it "clones" blocks of that size by writing the
// source's bytes; after `quedan` bytes it stops half-way and refuses, or throws when `lanzar`.
// A clone out of alignment, past the source or after a refusal throws logic_error.
struct SistemaConFallos : SistemaArchivos {
  int64_t escribir_hasta = -1, escritos = 0;
  std::function<void()> antes_de_confirmar = [] {};
  size_t bloque = 0;
  uint64_t quedan = UINT64_MAX, clonados = 0;
  bool lanzar = false;

  struct Salida : Destino {
    std::unique_ptr<Destino> real;
    SistemaConFallos& s;
    Salida(std::unique_ptr<Destino> r, SistemaConFallos& sis) : real(std::move(r)), s(sis) {}
    const std::string& ruta() const override { return real->ruta(); }
    void Escribir(int64_t offset, const void* datos, size_t n) override {
      if (s.escribir_hasta >= 0 && (s.escritos += n) > s.escribir_hasta)
        throw ErrorArchivo(ruta(), Texto_Del_Sistema(EIO));
      real->Escribir(offset, datos, n);
    }
    size_t Copiar(Fuente&, int64_t, size_t) override { return 0; }
    void Volcar() override { s.antes_de_confirmar(), real->Volcar(); }
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
  std::unique_ptr<Destino> Crear(const std::string& r) override {
    return std::make_unique<Salida>(Sistema_Real().Crear(r), *this);
  }
};

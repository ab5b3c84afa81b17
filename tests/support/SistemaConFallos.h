// SPDX-License-Identifier: MIT
#pragma once

#include <cerrno>
#include <functional>
#include <memory>

#include "Errores.h"
#include "SistemaArchivos.h"

// The real file system with an output whose writing fails (EIO) once it would pass
// escribir_hasta bytes, counted in escritos (-1: never), and a hook that runs on the thread
// that flushes the output, before the flush.
struct SistemaConFallos : SistemaArchivos {
  int64_t escribir_hasta = -1, escritos = 0;
  std::function<void()> antes_de_confirmar;

  struct Salida : Destino {
    std::unique_ptr<Destino> real;
    SistemaConFallos& s;
    Salida(std::unique_ptr<Destino> r, SistemaConFallos& sis) : real(std::move(r)), s(sis) {}
    const std::string& ruta() const override { return real->ruta(); }
    void Escribir(int64_t offset, const void* datos, size_t n) override {
      s.escritos += static_cast<int64_t>(n);
      if (s.escribir_hasta >= 0 && s.escritos > s.escribir_hasta) {
        throw ErrorArchivo(ruta(), Texto_Del_Sistema(EIO));
      }
      real->Escribir(offset, datos, n);
    }
    size_t Copiar(Fuente&, int64_t, size_t) override { return 0; }  // all goes through Escribir
    void Volcar() override {
      if (s.antes_de_confirmar) s.antes_de_confirmar();
      real->Volcar();
    }
    void Colocar() override { real->Colocar(); }
  };
  std::unique_ptr<Fuente> Abrir(const std::string& r) override { return Sistema_Real().Abrir(r); }
  int64_t Longitud(const std::string& r) override { return Sistema_Real().Longitud(r); }
  std::unique_ptr<Destino> Crear(const std::string& r) override {
    return std::make_unique<Salida>(Sistema_Real().Crear(r), *this);
  }
};

// SPDX-License-Identifier: MIT
#pragma once

#include <cerrno>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "SistemaArchivos.h"

// The real file system with faults on demand: a write that fails once a number of bytes of the
// output have been written, a read that fails once a number of bytes have been read, a failing
// creation or confirmation (the flush before the rename). Counts apply across the whole merge.
// The hooks run at given moments so that a test can change the files under the merge (shrink
// or remove a source, put a folder in the output's place); a hook may also throw ErrorArchivo.
class SistemaConFallos : public SistemaArchivos {
 public:
  static constexpr int64_t kNunca = -1;

  int64_t escribir_hasta = kNunca;  // bytes of output written before a write fails
  int64_t leer_hasta = kNunca;      // bytes read from sources before a read fails
  bool fallar_al_crear = false;
  bool fallar_al_confirmar = false;
  int numero_error = EIO;

  int64_t longitud_de_mas = 0;  // added to every length reported, as for a shrinking file

  int64_t escritos = 0;
  int64_t leidos = 0;
  int aperturas = 0;  // sources opened

  std::function<void(const std::string& ruta)> antes_de_medir;
  std::function<void(const std::string& ruta)> antes_de_abrir;                 // a source
  std::function<void(const std::string& ruta, int64_t offset)> antes_de_leer;  // also copies
  std::function<void()> tras_crear;  // the temporary output exists: writing starts
  // Before the flush, on the thread that flushes.
  std::function<void()> antes_de_confirmar;

  std::unique_ptr<Fuente> Abrir(const std::string& ruta) override;
  std::unique_ptr<Destino> Crear(const std::string& ruta) override;
  int64_t Longitud(const std::string& ruta) override {
    if (antes_de_medir) antes_de_medir(ruta);
    return real_.Longitud(ruta) + longitud_de_mas;
  }

 private:
  SistemaArchivos& real_ = Sistema_Real();
};

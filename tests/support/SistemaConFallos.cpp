// SPDX-License-Identifier: MIT
#include "SistemaConFallos.h"

#include <algorithm>

#include "Errores.h"

namespace {

class FuenteConFallos : public Fuente {
 public:
  FuenteConFallos(std::unique_ptr<Fuente> real, SistemaConFallos& sistema)
      : real_(std::move(real)), sistema_(sistema) {}
  const std::string& ruta() const override { return real_->ruta(); }
  Fuente& real() { return *real_; }

  size_t Leer(int64_t offset, void* datos, size_t n) override {
    Avisar(offset);
    n = static_cast<size_t>(Permitidos(n));
    const size_t leidos = real_->Leer(offset, datos, n);
    sistema_.leidos += static_cast<int64_t>(leidos);
    return leidos;
  }

  // How many of n bytes may still be read; throws when none may.
  int64_t Permitidos(size_t n) {
    if (sistema_.leer_hasta == SistemaConFallos::kNunca) return static_cast<int64_t>(n);
    const int64_t quedan = sistema_.leer_hasta - sistema_.leidos;
    if (quedan <= 0) throw ErrorArchivo(ruta(), Texto_Del_Sistema(sistema_.numero_error));
    return std::min<int64_t>(quedan, static_cast<int64_t>(n));
  }
  void Contar(size_t n) { sistema_.leidos += static_cast<int64_t>(n); }
  void Avisar(int64_t offset) {
    if (sistema_.antes_de_leer) sistema_.antes_de_leer(ruta(), offset);
  }

 private:
  std::unique_ptr<Fuente> real_;
  SistemaConFallos& sistema_;
};

class DestinoConFallos : public Destino {
 public:
  DestinoConFallos(std::unique_ptr<Destino> real, SistemaConFallos& sistema)
      : real_(std::move(real)), sistema_(sistema) {}
  const std::string& ruta() const override { return real_->ruta(); }

  void Escribir(int64_t offset, const void* datos, size_t n) override {
    const int64_t permitidos = Permitidos(n);
    real_->Escribir(offset, datos, static_cast<size_t>(permitidos));
    sistema_.escritos += permitidos;
    if (permitidos < static_cast<int64_t>(n)) Fallar();
  }

  // The kernel's copy is taken too, so that faults hit the path that real merges use.
  size_t Copiar(Fuente& fuente, int64_t offset, size_t n) override {
    auto& con_fallos = static_cast<FuenteConFallos&>(fuente);
    con_fallos.Avisar(offset);
    n = static_cast<size_t>(std::min(Permitidos(n), con_fallos.Permitidos(n)));
    const size_t copiados = real_->Copiar(con_fallos.real(), offset, n);
    sistema_.escritos += static_cast<int64_t>(copiados);
    con_fallos.Contar(copiados);
    return copiados;
  }

  // The merge flushes on a thread of its own: the hook runs there.
  void Volcar() override {
    if (sistema_.antes_de_confirmar) sistema_.antes_de_confirmar();
    if (sistema_.fallar_al_confirmar) Fallar();
    real_->Volcar();
  }
  void Colocar() override { real_->Colocar(); }

 private:
  int64_t Permitidos(size_t n) {
    if (sistema_.escribir_hasta == SistemaConFallos::kNunca) return static_cast<int64_t>(n);
    const int64_t quedan = sistema_.escribir_hasta - sistema_.escritos;
    if (quedan <= 0) Fallar();
    return std::min<int64_t>(quedan, static_cast<int64_t>(n));
  }
  [[noreturn]] void Fallar() {
    throw ErrorArchivo(ruta(), Texto_Del_Sistema(sistema_.numero_error));
  }

  std::unique_ptr<Destino> real_;
  SistemaConFallos& sistema_;
};

}  // namespace

std::unique_ptr<Fuente> SistemaConFallos::Abrir(const std::string& ruta) {
  ++aperturas;
  if (antes_de_abrir) antes_de_abrir(ruta);
  return std::make_unique<FuenteConFallos>(real_.Abrir(ruta), *this);
}

std::unique_ptr<Destino> SistemaConFallos::Crear(const std::string& ruta) {
  if (fallar_al_crear) throw ErrorArchivo(ruta, Texto_Del_Sistema(numero_error));
  auto destino = std::make_unique<DestinoConFallos>(real_.Crear(ruta), *this);
  if (tras_crear) tras_crear();
  return destino;
}

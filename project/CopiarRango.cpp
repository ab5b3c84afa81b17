// SPDX-License-Identifier: MIT
#include "CopiarRango.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "Errores.h"
#include "Rutas.h"

namespace {

// On slow media a whole block takes longer than the window may wait between two pumps: the
// piece copied between pumps starts small, grows to the block while pieces are quick, and
// shrinks again while they take longer than this.
constexpr auto kPausaDeseada = std::chrono::milliseconds(50);
constexpr size_t kPiezaMinima = size_t{64} << 10;
constexpr size_t kPiezaInicial = size_t{256} << 10;

class Transferencia {
 public:
  Transferencia(Fuente& fuente, int64_t longitud, Destino& salida, Progreso& progreso,
                size_t bloque)
      : fuente_(fuente),
        longitud_(longitud),
        salida_(salida),
        progreso_(progreso),
        bloque_(std::max<size_t>(bloque, 1)) {}

  // Copies the 0-based offsets [desde, hasta).
  void Copiar(int64_t desde, int64_t hasta) {
    size_t pieza = std::min(bloque_, kPiezaInicial);
    for (int64_t offset = desde; offset < hasta;) {
      const size_t n = static_cast<size_t>(std::min<int64_t>(hasta - offset, pieza));
      const auto inicio = Reloj::now();
      Copiar_Bloque(offset, n);
      pieza = Pieza_Siguiente(pieza, Reloj::now() - inicio);
      offset += static_cast<int64_t>(n);
      if (!progreso_.Bombear()) throw Detenido();
      progreso_.Fijar_Valor(offset);  // the 1-based position of the last byte copied
    }
  }

 private:
  using Reloj = std::chrono::steady_clock;

  size_t Pieza_Siguiente(size_t pieza, Reloj::duration tardado) const {
    if (tardado > kPausaDeseada) return std::max(pieza / 2, std::min(kPiezaMinima, bloque_));
    if (tardado < kPausaDeseada / 4) return std::min(pieza * 2, bloque_);
    return pieza;
  }

  void Copiar_Bloque(int64_t offset, size_t n) {
    const int64_t presentes = std::clamp<int64_t>(longitud_ - offset, 0, static_cast<int64_t>(n));
    size_t hechos = 0;
    while (hechos < static_cast<size_t>(presentes)) {
      const size_t copiados = salida_.Copiar(fuente_, offset + hechos, presentes - hechos);
      if (copiados == 0) break;
      hechos += copiados;
    }
    if (hechos < static_cast<size_t>(presentes)) {
      Leer_Y_Escribir(offset + hechos, presentes - hechos);
      hechos = static_cast<size_t>(presentes);
    }
    if (hechos < n) Rellenar(offset + hechos, n - hechos);
  }

  void Leer_Y_Escribir(int64_t offset, size_t n) {
    Reservar();
    if (Leer_Completo(fuente_, offset, memoria_.data(), n) < n) {
      // Shorter than when it was measured: copying on would compose a wrong project.
      throw ErrorArchivo(fuente_.ruta(), "el archivo ha cambiado durante la lectura");
    }
    salida_.Escribir(offset, memoria_.data(), n);
  }

  // Positions past the end of the source read as the byte 0.
  void Rellenar(int64_t offset, size_t n) {
    Reservar();
    std::fill_n(memoria_.begin(), n, '\0');
    salida_.Escribir(offset, memoria_.data(), n);
  }

  void Reservar() {
    if (memoria_.size() < bloque_) memoria_.resize(bloque_);
  }

  Fuente& fuente_;
  const int64_t longitud_;
  Destino& salida_;
  Progreso& progreso_;
  const size_t bloque_;
  std::vector<char> memoria_;
};

}  // namespace

Copia Copiar_Rango(const std::string& origen, int64_t inicio, int64_t fin, Destino& salida,
                   Progreso& progreso, SistemaArchivos& sistema, size_t bloque) {
  if (!Contiene_Vip(origen)) return Copia::SinVip;
  if (Buscar_Archivo(origen).empty()) return Copia::NoEncontrada;
  const int64_t longitud = sistema.Longitud(origen);
  if (longitud != 0) {
    progreso.Fijar_Maximo(fin);
    progreso.Fijar_Visible(true);
    auto fuente = sistema.Abrir(origen);
    if (inicio <= fin) {
      Transferencia(*fuente, longitud, salida, progreso, bloque)
          .Copiar(std::max<int64_t>(inicio, 1) - 1, fin);
    }
  }
  progreso.Fijar_Visible(false);
  return Copia::Copiada;
}

// SPDX-License-Identifier: MIT
#include "CopiarRango.h"

#include <algorithm>
#include <vector>

#include "Errores.h"
#include "Ritmo.h"
#include "Rutas.h"

namespace {

class Transferencia {
 public:
  Transferencia(Fuente& fuente, int64_t longitud, Destino& salida, Progreso& progreso,
                size_t bloque)
      : fuente_(fuente),
        longitud_(longitud),
        salida_(salida),
        progreso_(progreso),
        bloque_(std::max<size_t>(bloque, 1)) {}

  // Copies the 0-based offsets [desde, hasta). Where the output can share the source's blocks,
  // the whole blocks that the source holds are cloned and only the bytes around them copied.
  // The first block is tried before any byte is copied, so that an output that cannot clone
  // copies the range in the usual pieces (on ext4, pieces at block-aligned offsets copy slower).
  void Copiar(int64_t desde, int64_t hasta) {
    const auto compartido = static_cast<int64_t>(salida_.Bloque_Compartido());
    if (compartido > 0) {
      const int64_t inicio = (desde + compartido - 1) / compartido * compartido;
      const int64_t fin = std::min(hasta, longitud_) / compartido * compartido;
      if (inicio < fin && salida_.Compartir(fuente_, inicio, static_cast<size_t>(compartido))) {
        Copiar_Por_Bloques(desde, inicio);
        Avanzar(inicio + compartido);
        desde = Clonar(inicio + compartido, fin, compartido);
      }
    }
    Copiar_Por_Bloques(desde, hasta);
  }

 private:
  void Copiar_Por_Bloques(int64_t desde, int64_t hasta) {
    Ritmo ritmo(bloque_);
    for (int64_t offset = desde; offset < hasta;) {
      const size_t n = static_cast<size_t>(std::min<int64_t>(hasta - offset, ritmo.Pieza()));
      ritmo.Medir([&] { Copiar_Bloque(offset, n); });
      offset += static_cast<int64_t>(n);
      Avanzar(offset);
    }
  }

  // Clones [inicio, fin) in pieces of at least a transfer block; returns where it stopped: fin,
  // or the piece the output refused to clone, from which on the bytes are copied.
  int64_t Clonar(int64_t inicio, int64_t fin, int64_t compartido) {
    const int64_t trozo =
        (static_cast<int64_t>(bloque_) + compartido - 1) / compartido * compartido;
    for (int64_t offset = inicio; offset < fin;) {
      const int64_t n = std::min(fin - offset, trozo);
      if (!salida_.Compartir(fuente_, offset, static_cast<size_t>(n))) return offset;
      offset += n;
      Avanzar(offset);
    }
    return fin;
  }

  void Avanzar(int64_t offset) {
    if (!progreso_.Bombear()) throw Detenido();
    progreso_.Fijar_Valor(offset);  // the 1-based position of the last byte copied
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

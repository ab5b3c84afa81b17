// SPDX-License-Identifier: MIT
// The plain byte-at-a-time rules that the block-wise core must match, projects to hold it to,
// a merge held to them, and a file system that fails or clones on demand.
#pragma once

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

#include "Carpeta.h"  // and the strings, vectors and sets it holds
#include "Errores.h"
#include "Mezcla.h"

namespace ref {

inline const std::string kCabecera("LIST\x10\0\0\0mdrl", 12);

// The check: the text from byte 367 on names one of the five formats in lower case. No name
// holds a line end, so a name in the text is a name in one of its lines.
inline bool Nombra_Audio(const std::string& archivo) {
  const std::string texto = archivo.size() > 366 ? archivo.substr(366) : "";
  for (const char* formato : {"wav", "mp3", "aif", "ogg", "flac"})
    if (texto.find(formato) != std::string::npos) return true;
  return false;
}

// The boundary: p - 9 for the lowest p >= 97 at which "LIST", any four bytes and "mdrl" lie
// wholly inside the file; 0 when there is none.
inline int64_t Limite(const std::string& archivo) {
  for (size_t i = 96; i + 12 <= archivo.size(); ++i)
    if (archivo.compare(i, 4, "LIST") == 0 && archivo.compare(i + 8, 4, "mdrl") == 0)
      return static_cast<int64_t>(i) + 1 - 9;
  return 0;
}

// The output: the template at positions B + 1 to its end; elsewhere, up to position 96 or B,
// the audio-data project (0 past its end).
inline std::string Composicion(const std::string& audio, const std::string& plantilla) {
  const int64_t limite = Limite(audio), largo_plantilla = static_cast<int64_t>(plantilla.size());
  std::string salida;
  for (int64_t p = 1; p <= std::max<int64_t>({96, limite, largo_plantilla}); ++p) {
    const std::string& fuente = p > limite && p <= largo_plantilla ? plantilla : audio;
    salida += p <= static_cast<int64_t>(fuente.size()) ? fuente[p - 1] : '\0';
  }
  return salida;
}

// n bytes of the header's letters and line ends, so that false starts abound but no format
// name appears by chance, with texts put at their 1-based positions (and cut at n).
inline std::string Proyecto(uint32_t semilla, size_t n,
                            const std::vector<std::pair<int64_t, std::string>>& textos = {}) {
  std::string datos(n, '.');
  for (char& c : datos)
    c = "LISTmdrl.\r\n"[((semilla = semilla * 1103515245u + 12345u) >> 16) % 11];
  for (const auto& [posicion, texto] : textos) datos.replace(posicion - 1, texto.size(), texto);
  return datos.substr(0, n);
}

}  // namespace ref

// A fresh folder with an audio-data project, a template and an earlier Importar.vip.
struct Escena {
  // Longer than any output here, so that stale trailing bytes would show.
  static inline const std::string kAnterior = "un Importar.vip anterior" + std::string(9000, 'z');
  std::string audio, plantilla;  // what the sources hold
  CarpetaTemporal carpeta = {};
  Peticion peticion{carpeta.Escribir("plantilla.vip", plantilla),
                    carpeta.Escribir("audio.vip", audio),
                    carpeta.Escribir("Importar.vip", kAnterior)};

  // The check, the search and the whole merge (through `sistema`, whose writing fails if `falla`)
  // in blocks of this size against the rules; "" when they agree.
  std::string Contrastar(size_t bloque, SistemaArchivos& sistema = Sistema_Real(),
                         bool falla = false) const {
    const bool nombra = ref::Nombra_Audio(audio);
    const int64_t limite = ref::Limite(audio);
    if (Valido(peticion.audio, Sin_Progreso(), Sistema_Real(), bloque) != nombra) return "check";
    if (Buscar_Lista_Mdrl(peticion.audio, 97, Sin_Progreso(), Sistema_Real(), bloque) != limite)
      return "boundary";
    const Resultado resultado = Mezclar(peticion, Sin_Progreso(), sistema, bloque);
    const Desenlace esperado = !nombra       ? Desenlace::NoValido
                               : falla       ? Desenlace::Fallo  // the head is written first
                               : limite == 0 ? Desenlace::SinLimite
                                             : Desenlace::Escrito;
    if (resultado.desenlace != esperado) return "outcome: " + Mensaje(peticion, resultado);
    // The earlier output replaced only by the right bytes, no temporary file, the sources kept.
    const std::string salida =
        esperado == Desenlace::Escrito ? ref::Composicion(audio, plantilla) : kAnterior;
    const std::set<std::string> nombres{"Importar.vip", "audio.vip", "plantilla.vip"};
    return Leer_Archivo(peticion.salida) == salida && Leer_Archivo(peticion.audio) == audio &&
                   Leer_Archivo(peticion.plantilla) == plantilla && carpeta.Nombres() == nombres
               ? ""
               : "the output, a source or the folder";
  }
};

// The real file system, with a hook before the flush, on its thread.
// With bloque > 0 the output "clones" blocks of that size by writing the source's bytes; after
// `quedan` bytes it stops half-way and refuses, or throws (EIO) if `lanzar`. A clone out of line
// or after a refusal throws logic_error.
struct SistemaConFallos : SistemaArchivos {
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

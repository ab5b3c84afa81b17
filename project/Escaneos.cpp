// SPDX-License-Identifier: MIT
#include "Escaneos.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "Errores.h"
#include "Ritmo.h"
#include "Rutas.h"

namespace {

// The check reads the text area from byte 367 on.
constexpr int64_t kInicioTexto = 367;
constexpr std::array<const char*, 5> kFormatos = {"wav", "mp3", "aif", "ogg", "flac"};
constexpr size_t kMayorFormato = 4;

constexpr char kCabecera[] = "LIST";
constexpr char kTipoLista[] = "mdrl";
constexpr size_t kLargoCabecera = 12;      // "LIST", a four-byte size, "mdrl"
constexpr int64_t kDistanciaAlLimite = 9;  // the boundary lies 9 positions before the "L"

void Bombear(Progreso& progreso) {
  if (!progreso.Bombear()) throw Detenido();
}

// Reads until n bytes are in or the source ends, in pieces paced like the copy's, with a pump
// after each whole piece; returns the bytes read.
size_t Leer_Bombeando(Fuente& fuente, int64_t offset, char* datos, size_t n, Ritmo& ritmo,
                      Progreso& progreso) {
  size_t total = 0;
  while (total < n) {
    const size_t pieza = std::min(n - total, ritmo.Pieza());
    size_t leidos = 0;
    ritmo.Medir([&] {
      leidos = Leer_Completo(fuente, offset + static_cast<int64_t>(total), datos + total, pieza);
    });
    total += leidos;
    if (leidos < pieza) break;
    Bombear(progreso);
  }
  return total;
}

// No format name holds a line end, so a name that occurs in the text occurs within one line:
// looking for the names in the raw bytes gives the same answer as looking line by line.
bool Nombra_Formato(const char* datos, size_t n) {
  return std::any_of(kFormatos.begin(), kFormatos.end(), [&](const char* formato) {
    const size_t largo = std::strlen(formato);
    return std::search(datos, datos + n, formato, formato + largo) != datos + n;
  });
}

bool Texto_Nombra_Audio(Fuente& fuente, Progreso& progreso, size_t bloque) {
  constexpr size_t kSolape = kMayorFormato - 1;
  std::vector<char> datos(bloque + kSolape);
  Ritmo ritmo(bloque);
  size_t arrastre = 0;
  int64_t offset = kInicioTexto - 1;
  for (;;) {
    const size_t leidos =
        Leer_Bombeando(fuente, offset, datos.data() + arrastre, bloque, ritmo, progreso);
    const size_t disponibles = arrastre + leidos;
    if (Nombra_Formato(datos.data(), disponibles)) return true;
    if (leidos < bloque) return false;
    // Keep the tail so that a name cut by the end of the block is seen whole next time.
    arrastre = std::min(kSolape, disponibles);
    std::memmove(datos.data(), datos.data() + disponibles - arrastre, arrastre);
    offset += static_cast<int64_t>(leidos);
  }
}

// Offset within datos[0, n) of the first whole header, or -1.
int64_t Primera_Cabecera(const char* datos, size_t n) {
  if (n < kLargoCabecera) return -1;
  const char* const fin = datos + n - kLargoCabecera + 1;  // last possible start + 1
  for (const char* p = datos; p < fin; ++p) {
    p = static_cast<const char*>(std::memchr(p, 'L', static_cast<size_t>(fin - p)));
    if (p == nullptr) return -1;
    if (std::memcmp(p, kCabecera, 4) == 0 && std::memcmp(p + 8, kTipoLista, 4) == 0) {
      return p - datos;
    }
  }
  return -1;
}

}  // namespace

Comprobacion Comprobar_Audio(const std::string& archivo, Progreso& progreso,
                             SistemaArchivos& sistema, size_t bloque) {
  if (archivo.find("FreezeData") != std::string::npos) return Comprobacion::RutaFreezeData;
  if (archivo.empty()) return Comprobacion::RutaVacia;
  if (Buscar_Archivo(archivo).empty()) return Comprobacion::NoEncontrado;
  if (archivo.find('.') == std::string::npos) return Comprobacion::RutaSinPunto;
  auto fuente = sistema.Abrir(archivo);
  return Texto_Nombra_Audio(*fuente, progreso, std::max<size_t>(bloque, 1))
             ? Comprobacion::Aceptado
             : Comprobacion::SinAudio;
}

bool Valido(const std::string& archivo, Progreso& progreso, SistemaArchivos& sistema,
            size_t bloque) {
  try {
    return Comprobar_Audio(archivo, progreso, sistema, bloque) == Comprobacion::Aceptado;
  } catch (const ErrorArchivo&) {
    // The window ends the run silently on any refusal by the check, this one included.
    return false;
  }
}

std::string Motivo_De(Comprobacion comprobacion) {
  switch (comprobacion) {
    case Comprobacion::RutaFreezeData:
      return "la ruta contiene \"FreezeData\"";
    case Comprobacion::RutaVacia:
      return "la ruta está vacía";
    case Comprobacion::NoEncontrado:
      return "no se encuentra como archivo normal";
    case Comprobacion::RutaSinPunto:
      return "la ruta no tiene ningún \".\"";
    case Comprobacion::Aceptado:
    case Comprobacion::SinAudio:
      break;
  }
  return {};
}

int64_t Buscar_Lista_Mdrl(const std::string& ruta, int64_t inicio, Progreso& progreso,
                          SistemaArchivos& sistema, size_t bloque) {
  const int64_t longitud = sistema.Longitud(ruta);
  if (longitud == 0) return 0;
  const int64_t primero = std::max<int64_t>(inicio, 1);
  if (primero >= longitud) return 0;

  auto fuente = sistema.Abrir(ruta);
  constexpr size_t kSolape = kLargoCabecera - 1;
  bloque = std::max(bloque, kLargoCabecera);
  std::vector<char> datos(bloque + kSolape);
  Ritmo ritmo(bloque);
  size_t arrastre = 0;
  int64_t offset = primero - 1;  // file offset of datos[0]
  for (;;) {
    const size_t leidos = Leer_Bombeando(*fuente, offset + static_cast<int64_t>(arrastre),
                                         datos.data() + arrastre, bloque, ritmo, progreso);
    const size_t disponibles = arrastre + leidos;
    const int64_t encontrado = Primera_Cabecera(datos.data(), disponibles);
    if (encontrado >= 0) return offset + encontrado + 1 - kDistanciaAlLimite;
    if (leidos < bloque) return 0;
    // A header may start in the last eleven bytes and end in the next block.
    arrastre = std::min(kSolape, disponibles);
    std::memmove(datos.data(), datos.data() + disponibles - arrastre, arrastre);
    offset += static_cast<int64_t>(disponibles - arrastre);
  }
}

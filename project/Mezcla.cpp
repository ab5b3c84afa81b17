// SPDX-License-Identifier: MIT
#include "Mezcla.h"

#include <chrono>
#include <future>
#include <memory>
#include <system_error>

#include "CopiarRango.h"
#include "Errores.h"
#include "Rutas.h"

namespace {

// The head: positions 1 to 96 always come from the audio-data project.
constexpr int64_t kFinCabeza = 96;
constexpr int64_t kInicioBusqueda = 97;

Resultado Con(Desenlace desenlace, std::string motivo = {}, int64_t limite = 0) {
  Resultado resultado;
  resultado.desenlace = desenlace;
  resultado.motivo = std::move(motivo);
  resultado.limite = limite;
  return resultado;
}

// Why a source is no project the transfer would copy; empty when it is one.
std::string Rechazo_De_Fuente(const std::string& ruta) {
  if (!Contiene_Vip(ruta)) return "no es un proyecto .vip: " + ruta;
  if (Buscar_Archivo(ruta).empty()) return "no se encuentra el proyecto: " + ruta;
  return {};
}

void Copiar_Etapa(const std::string& origen, int64_t inicio, int64_t fin, Destino& salida,
                  Progreso& progreso, SistemaArchivos& sistema, size_t bloque) {
  // Checked before writing began; a source that fails the guards now changed since.
  if (Copiar_Rango(origen, inicio, fin, salida, progreso, sistema, bloque) != Copia::Copiada) {
    throw ErrorArchivo(origen, "no se encuentra el proyecto");
  }
}

// The audio data up to the boundary and the template up to its measured end were there when
// they were found. A source that no longer reaches that far shrank after it was measured, and
// the transfer has written zeros where its bytes were.
void Copiar_Etapa_Entera(const std::string& origen, int64_t inicio, int64_t fin, Destino& salida,
                         Progreso& progreso, SistemaArchivos& sistema, size_t bloque) {
  Copiar_Etapa(origen, inicio, fin, salida, progreso, sistema, bloque);
  if (sistema.Longitud(origen) < fin) {
    throw ErrorArchivo(origen, "el archivo ha cambiado durante la lectura");
  }
}

// The flush, the rename and the folder's flush may each take seconds on slow media; the caller
// is pumped this often meanwhile.
constexpr auto kPausaDeBombeo = std::chrono::milliseconds(50);

template <typename Trabajo>
std::future<void> Aparte(Trabajo trabajo) {
  try {
    return std::async(std::launch::async, trabajo);
  } catch (const std::system_error&) {
    // No thread to be had: do it here, without pumping.
    return std::async(std::launch::deferred, trabajo);
  }
}

// Waits for the work while the caller keeps being pumped; false if a pump asked to stop.
bool Esperar_Bombeando(std::future<void> trabajo, Progreso& progreso) {
  bool seguir = true;
  while (trabajo.wait_for(kPausaDeBombeo) == std::future_status::timeout) {
    seguir = progreso.Bombear() && seguir;
  }
  trabajo.get();
  return seguir;
}

// Flushes the output and puts it in place, each on another thread while the caller is pumped.
// A stop asked during the flush takes effect once it returns, before the output is put in
// place; one asked after that comes too late: the run has succeeded. Putting it in place may
// wait a moment for a file that another program holds.
void Volcar_Y_Colocar(Destino& salida, Progreso& progreso) {
  const bool seguir = Esperar_Bombeando(Aparte([&salida] { salida.Volcar(); }), progreso);
  if (!seguir || !progreso.Bombear()) throw Detenido();
  Esperar_Bombeando(Aparte([&salida] { salida.Colocar(); }), progreso);
}

}  // namespace

Resultado Componer(const Peticion& peticion, Progreso& progreso, SistemaArchivos& sistema,
                   size_t bloque) {
  for (const std::string* fuente : {&peticion.audio, &peticion.plantilla}) {
    std::string rechazo = Rechazo_De_Fuente(*fuente);
    if (!rechazo.empty()) return Con(Desenlace::Fallo, std::move(rechazo));
  }
  try {
    std::unique_ptr<Destino> salida = sistema.Crear(peticion.salida);
    Copiar_Etapa(peticion.audio, 1, kFinCabeza, *salida, progreso, sistema, bloque);
    const int64_t limite =
        Buscar_Lista_Mdrl(peticion.audio, kInicioBusqueda, progreso, sistema, bloque);
    if (limite == 0) return Con(Desenlace::SinLimite);
    Copiar_Etapa_Entera(peticion.audio, kInicioBusqueda, limite, *salida, progreso, sistema,
                        bloque);
    const int64_t longitud = sistema.Longitud(peticion.plantilla);
    Copiar_Etapa_Entera(peticion.plantilla, limite + 1, longitud, *salida, progreso, sistema,
                        bloque);
    Volcar_Y_Colocar(*salida, progreso);
    return Con(Desenlace::Escrito, {}, limite);
  } catch (const ErrorArchivo& error) {
    const bool es_la_salida = error.ruta() == peticion.salida;
    return Con(Desenlace::Fallo,
               es_la_salida ? error.motivo() : error.motivo() + ": " + error.ruta());
  } catch (const Detenido&) {
    return Con(Desenlace::Detenido);
  }
}

Resultado Mezclar(const Peticion& peticion, Progreso& progreso, SistemaArchivos& sistema,
                  size_t bloque) {
  Resultado resultado;
  try {
    resultado.comprobacion = Comprobar_Audio(peticion.audio, progreso, sistema, bloque);
  } catch (const Detenido&) {
    return Con(Desenlace::Detenido);
  } catch (const ErrorArchivo& error) {
    return Con(Desenlace::Ilegible, error.motivo());
  }
  if (resultado.comprobacion != Comprobacion::Aceptado) {
    resultado.desenlace = Desenlace::NoValido;
    resultado.motivo = Motivo_De(resultado.comprobacion);
    return resultado;
  }
  return Componer(peticion, progreso, sistema, bloque);
}

std::string Mensaje(const Peticion& peticion, const Resultado& resultado) {
  switch (resultado.desenlace) {
    case Desenlace::Escrito:
      return kMsgFinalizado + peticion.salida;
    case Desenlace::NoValido:
      return kMsgNoAudio + peticion.audio +
             (resultado.motivo.empty() ? std::string() : " (" + resultado.motivo + ")");
    case Desenlace::SinLimite:
      return kMsgSinLimite + peticion.audio;
    case Desenlace::Ilegible:
      return kMsgIlegible + peticion.audio + " (" + resultado.motivo + ")";
    case Desenlace::Fallo:
      return kMsgFalloEscritura + peticion.salida + " (" + resultado.motivo + ")";
    case Desenlace::Detenido:
      return kMsgDetenido + peticion.salida;
  }
  return {};
}

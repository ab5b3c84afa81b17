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

// The flush may take seconds on slow media; the caller is pumped this often meanwhile.
constexpr auto kPausaDeBombeo = std::chrono::milliseconds(50);

template <typename Paso>
std::future<void> Aparte(Paso paso) {
  try {
    return std::async(std::launch::async, paso);
  } catch (const std::system_error&) {
    // No thread to be had: run it here, without pumping.
    return std::async(std::launch::deferred, paso);
  }
}

// Runs the step on another thread while the caller keeps being pumped; false when the caller
// asked meanwhile to stop.
template <typename Paso>
bool Bombeando(Paso paso, Progreso& progreso) {
  std::future<void> hecho = Aparte(paso);
  bool seguir = true;
  while (hecho.wait_for(kPausaDeBombeo) == std::future_status::timeout) {
    seguir = progreso.Bombear() && seguir;
  }
  hecho.get();
  return seguir;
}

// A stop asked during the flush takes effect once it returns, before the output is put in place.
void Volcar_Bombeando(Destino& salida, Progreso& progreso) {
  if (!Bombeando([&salida] { salida.Volcar(); }, progreso) || !progreso.Bombear()) {
    throw Detenido();
  }
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
    Volcar_Bombeando(*salida, progreso);
    // Putting it in place waits a moment for a file that another program holds; once it is in
    // place, the run has succeeded, whatever was asked meanwhile or is asked after.
    Bombeando([&salida] { salida->Colocar(); }, progreso);
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

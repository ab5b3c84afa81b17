// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <filesystem>

#include "Bytes.h"
#include "Carpeta.h"
#include "Errores.h"
#include "Generador.h"
#include "Mezcla.h"
#include "ProgresoGrabado.h"
#include "SistemaConFallos.h"

namespace {

using Nombres = std::vector<std::string>;

// Longer than any output of these tests, so that stale trailing bytes would show.
const std::string kAnterior = "un Importar.vip anterior" + std::string(20000, 'z');

// The three stages position by position: 1 to 96 and 97 to B from the audio-data project,
// B + 1 to the template's length from the template; a later stage overwrites an earlier one.
std::string Composicion(const std::string& audio, const std::string& plantilla, int64_t limite) {
  const int64_t largo = std::max<int64_t>({96, limite, static_cast<int64_t>(plantilla.size())});
  std::string salida(static_cast<size_t>(largo), '\0');
  auto copiar = [&](const std::string& fuente, int64_t inicio, int64_t fin) {
    for (int64_t p = inicio; p <= fin; ++p) {
      salida[p - 1] = p <= static_cast<int64_t>(fuente.size()) ? fuente[p - 1] : '\0';
    }
  };
  copiar(audio, 1, 96);
  copiar(audio, 97, limite);
  copiar(plantilla, limite + 1, static_cast<int64_t>(plantilla.size()));
  return salida;
}

// An audio-data project with its list header at the given position (boundary = posicion - 9).
std::string Audio_Con_Cabecera_En(int64_t posicion, size_t largo = 1200) {
  std::string datos(366, 'h');
  datos += "Pista=voz.wav\r\n";
  datos.resize(largo, 'a');
  Poner(datos, posicion, Cabecera("mdrl"));
  return datos;
}

struct Escena {
  CarpetaTemporal carpeta;
  std::string audio_bytes, plantilla_bytes;
  Peticion peticion;

  Escena(std::string audio, std::string plantilla)
      : audio_bytes(std::move(audio)), plantilla_bytes(std::move(plantilla)) {
    peticion.audio = carpeta.Escribir("audio.vip", audio_bytes);
    peticion.plantilla = carpeta.Escribir("plantilla.vip", plantilla_bytes);
    peticion.salida = carpeta / "Importar.vip";
  }

  // Nothing replaced, no temporary file left, both sources unchanged.
  void Nada_Cambio(const std::string& anterior) {
    EXPECT_EQ(Leer_Archivo(peticion.salida), anterior);
    EXPECT_EQ(carpeta.Nombres(), (Nombres{"Importar.vip", "audio.vip", "plantilla.vip"}));
    Fuentes_Intactas();
  }
  void Fuentes_Intactas() {
    EXPECT_EQ(Leer_Archivo(peticion.audio), audio_bytes);
    EXPECT_EQ(Leer_Archivo(peticion.plantilla), plantilla_bytes);
  }
};

TEST(Mezcla, ComposesTheStagesAroundTheBoundary) {
  DescripcionVip audio, plantilla_larga, plantilla_corta;
  audio.bytes_audio = 5000;
  plantilla_larga.semilla = plantilla_corta.semilla = 2;
  plantilla_larga.bytes_audio = 9000;
  plantilla_corta.bytes_audio = 100;
  const struct {
    const char* nombre;
    std::string audio, plantilla;
    int64_t limite;
  } casos[] = {
      {"a longer template", Generar_Vip(audio), Generar_Vip(plantilla_larga), Limite_De(audio)},
      {"a template that ends before the boundary", Generar_Vip(audio), Generar_Vip(plantilla_corta),
       Limite_De(audio)},
      {"boundary 88 overwrites the head from 89", Audio_Con_Cabecera_En(97),
       Generar_Vip(plantilla_larga), 88},
      {"boundary 95", Audio_Con_Cabecera_En(104), Generar_Vip(plantilla_larga), 95},
      {"boundary 96: no overlap", Audio_Con_Cabecera_En(105), Generar_Vip(plantilla_larga), 96},
      {"boundary 492", Audio_Con_Cabecera_En(501), Generar_Vip(plantilla_larga), 492},
      {"a template shorter than the head", Audio_Con_Cabecera_En(501), "corta", 492},
      {"an empty template", Audio_Con_Cabecera_En(501), "", 492},
  };
  for (const auto& caso : casos) {
    for (size_t bloque : {size_t{7}, kTamBloque}) {
      Escena escena(caso.audio, caso.plantilla);
      escena.carpeta.Escribir("Importar.vip", kAnterior);
      const Resultado resultado = Mezclar(escena.peticion, Sin_Progreso(), Sistema_Real(), bloque);
      ASSERT_EQ(resultado.desenlace, Desenlace::Escrito) << caso.nombre << ": " << resultado.motivo;
      EXPECT_EQ(resultado.limite, caso.limite) << caso.nombre;
      // A longer earlier file leaves no stale bytes behind the new content.
      EXPECT_EQ(Leer_Archivo(escena.peticion.salida),
                Composicion(caso.audio, caso.plantilla, caso.limite))
          << caso.nombre << ", block " << bloque;
      EXPECT_EQ(escena.carpeta.Nombres(), (Nombres{"Importar.vip", "audio.vip", "plantilla.vip"}));
      escena.Fuentes_Intactas();
    }
  }
}

TEST(Mezcla, TheOutputMayBeEitherSource) {
  DescripcionVip audio, plantilla;
  plantilla.semilla = 2;
  plantilla.bytes_audio = 9000;
  const std::string esperada =
      Composicion(Generar_Vip(audio), Generar_Vip(plantilla), Limite_De(audio));
  for (bool sobre_audio : {true, false}) {
    Escena escena(Generar_Vip(audio), Generar_Vip(plantilla));
    escena.peticion.salida = sobre_audio ? escena.peticion.audio : escena.peticion.plantilla;
    EXPECT_EQ(Mezclar(escena.peticion).desenlace, Desenlace::Escrito);
    EXPECT_EQ(Leer_Archivo(escena.peticion.salida), esperada);
    EXPECT_EQ(escena.carpeta.Nombres(), (Nombres{"audio.vip", "plantilla.vip"}));
  }
}

TEST(Mezcla, WritesNothingWithoutABoundary) {
  DescripcionVip sin_lista;
  sin_lista.con_lista = false;
  Escena escena(Generar_Vip(sin_lista), Generar_Vip(DescripcionVip{}));
  escena.carpeta.Escribir("Importar.vip", kAnterior);
  const Resultado resultado = Mezclar(escena.peticion);
  EXPECT_EQ(resultado.desenlace, Desenlace::SinLimite);
  EXPECT_EQ(Mensaje(escena.peticion, resultado),
            "No se encontró la lista de parámetros (LIST mdrl) en: " + escena.peticion.audio);
  escena.Nada_Cambio(kAnterior);
}

TEST(Mezcla, RefusesAnAudioProjectThatNamesNoAudioFile) {
  DescripcionVip mudo;
  mudo.lineas = {"[Pistas]", "Pista1=C:\\Audio\\voz.WAV"};
  Escena escena(Generar_Vip(mudo), Generar_Vip(DescripcionVip{}));
  escena.carpeta.Escribir("Importar.vip", kAnterior);
  const Resultado resultado = Mezclar(escena.peticion);
  EXPECT_EQ(resultado.desenlace, Desenlace::NoValido);
  EXPECT_EQ(Mensaje(escena.peticion, resultado),
            "El proyecto no nombra ningún archivo de audio: " + escena.peticion.audio);
  escena.Nada_Cambio(kAnterior);
}

TEST(Mezcla, BothSourcesMustBeProjectsWhenWritingStarts) {
  Escena escena(Generar_Vip(DescripcionVip{}), Generar_Vip(DescripcionVip{}));
  escena.carpeta.Escribir("Importar.vip", kAnterior);
  const std::string texto = escena.carpeta.Escribir("plantilla.txt", escena.plantilla_bytes);
  const std::string falta = escena.carpeta / "falta.vip";
  const struct {
    std::string plantilla, motivo;
  } casos[] = {
      {texto, "no es un proyecto .vip: " + texto},
      {falta, "no se encuentra el proyecto: " + falta},
  };
  for (const auto& caso : casos) {
    Peticion peticion = escena.peticion;
    peticion.plantilla = caso.plantilla;
    const Resultado resultado = Componer(peticion);
    EXPECT_EQ(resultado.desenlace, Desenlace::Fallo);
    EXPECT_EQ(Mensaje(peticion, resultado), "No se pudo completar la escritura de: " +
                                                peticion.salida + " (" + caso.motivo + ")");
  }
  std::filesystem::remove(texto);
  escena.Nada_Cambio(kAnterior);
}

// Faults at every stage of the writing: the earlier output survives and nothing is left behind.
TEST(Mezcla, AFailedWriteReplacesNothing) {
  DescripcionVip audio, plantilla;
  audio.bytes_audio = 3000;
  plantilla.semilla = 2;
  plantilla.bytes_audio = 4000;
  const int64_t largo = static_cast<int64_t>(Longitud_De(plantilla));
  const struct {
    const char* nombre;
    void (*preparar)(SistemaConFallos&, int64_t largo);
  } casos[] = {
      {"the first byte", [](SistemaConFallos& s, int64_t) { s.escribir_hasta = 0; }},
      {"inside the head", [](SistemaConFallos& s, int64_t) { s.escribir_hasta = 50; }},
      {"after the head", [](SistemaConFallos& s, int64_t) { s.escribir_hasta = 96; }},
      {"in the audio data", [](SistemaConFallos& s, int64_t) { s.escribir_hasta = 2000; }},
      {"the last byte", [](SistemaConFallos& s, int64_t l) { s.escribir_hasta = l - 1; }},
      {"a full disk",
       [](SistemaConFallos& s, int64_t) { s.escribir_hasta = 1000, s.numero_error = ENOSPC; }},
      {"reading a source", [](SistemaConFallos& s, int64_t) { s.leer_hasta = 1500; }},
      {"creating the output", [](SistemaConFallos& s, int64_t) { s.fallar_al_crear = true; }},
      {"putting it in place", [](SistemaConFallos& s, int64_t) { s.fallar_al_confirmar = true; }},
  };
  for (const auto& caso : casos) {
    for (size_t bloque : {size_t{100}, kTamBloque}) {
      Escena escena(Generar_Vip(audio), Generar_Vip(plantilla));
      escena.carpeta.Escribir("Importar.vip", kAnterior);
      SistemaConFallos sistema;
      caso.preparar(sistema, largo);
      const Resultado resultado = Componer(escena.peticion, Sin_Progreso(), sistema, bloque);
      EXPECT_EQ(resultado.desenlace, Desenlace::Fallo) << caso.nombre << ", block " << bloque;
      EXPECT_FALSE(resultado.motivo.empty()) << caso.nombre;
      escena.Nada_Cambio(kAnterior);
    }
  }
}

TEST(Mezcla, NamesTheSystemsReasonAndTheSourceItConcerns) {
  Escena escena(Generar_Vip(DescripcionVip{}), Generar_Vip(DescripcionVip{}));
  SistemaConFallos lectura;
  lectura.leer_hasta = 10;
  EXPECT_EQ(Mensaje(escena.peticion, Componer(escena.peticion, Sin_Progreso(), lectura)),
            "No se pudo completar la escritura de: " + escena.peticion.salida +
                " (Error de entrada/salida: " + escena.peticion.audio + ")");
  SistemaConFallos disco;
  disco.escribir_hasta = 10;
  disco.numero_error = ENOSPC;
  EXPECT_EQ(Mensaje(escena.peticion, Componer(escena.peticion, Sin_Progreso(), disco)),
            "No se pudo completar la escritura de: " + escena.peticion.salida +
                " (No queda espacio en el dispositivo)");
}

TEST(Mezcla, AnOutputThatCannotBeCreatedIsAFailure) {
  Escena escena(Generar_Vip(DescripcionVip{}), Generar_Vip(DescripcionVip{}));
  const struct {
    std::string salida, motivo;
  } casos[] = {
      {escena.carpeta / "no-existe/Importar.vip", "No existe el archivo o el directorio"},
      {escena.carpeta / "carpeta", "Es un directorio"},
  };
  std::filesystem::create_directories(escena.carpeta / "carpeta");
  for (const auto& caso : casos) {
    Peticion peticion = escena.peticion;
    peticion.salida = caso.salida;
    const Resultado resultado = Mezclar(peticion);
    EXPECT_EQ(resultado.desenlace, Desenlace::Fallo) << caso.salida;
    EXPECT_EQ(resultado.motivo, caso.motivo);
  }
  EXPECT_EQ(escena.carpeta.Nombres(), (Nombres{"audio.vip", "carpeta", "plantilla.vip"}));
}

TEST(Mezcla, AStopRemovesTheTemporaryOutput) {
  DescripcionVip audio;
  audio.bytes_audio = 5000;
  for (int bombeo : {1, 3, 20}) {
    Escena escena(Generar_Vip(audio), Generar_Vip(DescripcionVip{}));
    escena.carpeta.Escribir("Importar.vip", kAnterior);
    ProgresoGrabado progreso;
    progreso.detener_en_bombeo = bombeo;
    EXPECT_EQ(Mezclar(escena.peticion, progreso, Sistema_Real(), 500).desenlace,
              Desenlace::Detenido)
        << "pump " << bombeo;
    escena.Nada_Cambio(kAnterior);
  }
}

#ifndef _WIN32
TEST(Mezcla, ANewOutputGetsTheUsualModeAndAReplacedOneKeepsItsOwn) {
  Escena escena(Generar_Vip(DescripcionVip{}), Generar_Vip(DescripcionVip{}));
  const mode_t mascara = ::umask(022);
  ASSERT_EQ(Mezclar(escena.peticion).desenlace, Desenlace::Escrito);
  struct stat datos;
  ASSERT_EQ(::stat(escena.peticion.salida.c_str(), &datos), 0);
  EXPECT_EQ(datos.st_mode & 0777, 0644u);
  ::chmod(escena.peticion.salida.c_str(), 0600);
  ASSERT_EQ(Mezclar(escena.peticion).desenlace, Desenlace::Escrito);
  ASSERT_EQ(::stat(escena.peticion.salida.c_str(), &datos), 0);
  EXPECT_EQ(datos.st_mode & 0777, 0600u);
  ::umask(mascara);
}
#endif

}  // namespace

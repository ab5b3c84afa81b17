// SPDX-License-Identifier: MIT
// Paths a user or a script may hand over: very long ones, odd characters, folders, FIFOs,
// symbolic links. Each gets an exit code and one Spanish line naming the file and the reason,
// never a hang, and nothing that was there is lost.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <sstream>

#include "Carpeta.h"
#include "Cli.h"
#include "Generador.h"
#include "Proceso.h"

namespace {

namespace fs = std::filesystem;

const std::string kAnterior = "un Importar.vip anterior";
const std::string kNoAudio = "El proyecto no nombra ningún archivo de audio: ";
const std::string kFallo = "No se pudo completar la escritura de: ";
const std::string kFinalizado = "Finalizado la escritura de: ";

struct Salida {
  int codigo;
  std::string out, err;
};

Salida Cli(const std::vector<std::string>& argumentos) {
  std::ostringstream out, err;
  const int codigo = Ejecutar_Cli(argumentos, out, err);
  return {codigo, out.str(), err.str()};
}

struct Proyectos {
  CarpetaTemporal carpeta;
  DescripcionVip descripcion_audio, descripcion_plantilla;
  std::string audio_bytes, plantilla_bytes, audio, plantilla;

  Proyectos() {
    descripcion_plantilla.semilla = 2;
    descripcion_plantilla.bytes_audio = 6000;
    audio_bytes = Generar_Vip(descripcion_audio);
    plantilla_bytes = Generar_Vip(descripcion_plantilla);
    audio = carpeta.Escribir("audio.vip", audio_bytes);
    plantilla = carpeta.Escribir("plantilla.vip", plantilla_bytes);
  }
  std::string Esperada() const {
    const auto limite = static_cast<size_t>(Limite_De(descripcion_audio));
    return audio_bytes.substr(0, limite) + plantilla_bytes.substr(limite);
  }
  std::string Fifo(const std::string& nombre) const {
    const std::string ruta = carpeta / nombre;
    EXPECT_EQ(::mkfifo(ruta.c_str(), 0600), 0);
    return ruta;
  }
  std::string Carpeta(const std::string& nombre) const {
    fs::create_directory(carpeta / nombre);
    return carpeta / nombre;
  }
  std::string Enlace(const std::string& nombre, const std::string& destino) const {
    fs::create_symlink(destino, carpeta / nombre);
    return carpeta / nombre;
  }
};

struct Caso {
  std::string nombre;
  std::vector<std::string> argumentos;
  int codigo;
  std::string linea;  // stderr, or stdout when the merge is written
};

void Comprobar(const Caso& caso) {
  const Salida salida = Cli(caso.argumentos);
  EXPECT_EQ(salida.codigo, caso.codigo) << caso.nombre << "\n" << salida.err;
  EXPECT_EQ(caso.codigo == 0 ? salida.out : salida.err, caso.linea + "\n") << caso.nombre;
  EXPECT_EQ(caso.codigo == 0 ? salida.err : salida.out, "") << caso.nombre;
}

TEST(RutasHostiles, FoldersFifosAndLinksWhereProjectsBelong) {
  Proyectos p;
  const std::string carpeta_vip = p.Carpeta("carpeta.vip");
  const std::string tubo = p.Fifo("tubo.vip");
  const std::string enlace_carpeta = p.Enlace("enlace-carpeta.vip", carpeta_vip);
  const std::string otra = p.carpeta / "otra.vip";
  const Caso casos[] = {
      {"the audio-data project is a folder",
       {p.plantilla, carpeta_vip},
       1,
       kNoAudio + carpeta_vip + " (no se encuentra como archivo normal)"},
      {"the template is a folder",
       {carpeta_vip, p.audio, "-o", otra},
       3,
       kFallo + otra + " (no se encuentra el proyecto: " + carpeta_vip + ")"},
      {"the audio-data project is a FIFO",
       {p.plantilla, tubo},
       1,
       kNoAudio + tubo + " (no se encuentra como archivo normal)"},
      {"the template is a FIFO",
       {tubo, p.audio, "-o", otra},
       3,
       kFallo + otra + " (no se encuentra el proyecto: " + tubo + ")"},
      {"the output is a FIFO",
       {p.plantilla, p.audio, "-o", tubo},
       3,
       kFallo + tubo + " (no es un archivo normal)"},
      {"the audio-data project links to a folder",
       {p.plantilla, enlace_carpeta},
       1,
       kNoAudio + enlace_carpeta + " (no se encuentra como archivo normal)"},
      {"the output links to a folder",
       {p.plantilla, p.audio, "-o", enlace_carpeta},
       3,
       kFallo + enlace_carpeta + " (Es un directorio)"},
  };
  for (const Caso& caso : casos) Comprobar(caso);
  EXPECT_FALSE(Existe(otra));
  EXPECT_TRUE(fs::is_empty(carpeta_vip));
  EXPECT_EQ(Leer_Archivo(p.audio), p.audio_bytes);
  EXPECT_EQ(Leer_Archivo(p.plantilla), p.plantilla_bytes);
}

// A FIFO is never opened: a merge or a check on one answers at once instead of waiting for a
// writer that never comes (ctest's time limit would catch a hang).
TEST(RutasHostiles, TheProgramNeverWaitsOnAFifo) {
  Proyectos p;
  const std::string tubo = p.Fifo("tubo.vip");
  const Ejecucion comprobar = Ejecutar_Programa(VIPMERGE_CLI, {"--check", tubo});
  EXPECT_EQ(comprobar.codigo, 1);
  EXPECT_EQ(comprobar.salida, "valido: no\nlimite: 0\n");
  EXPECT_EQ(Ejecutar_Programa(VIPMERGE_CLI, {tubo, p.audio}).codigo, 3);
  EXPECT_EQ(Ejecutar_Programa(VIPMERGE_CLI, {p.plantilla, p.audio, "-o", tubo}).codigo, 3);
}

TEST(RutasHostiles, ImportarVipAsAFolderIsLeftAsItIs) {
  Proyectos p;
  const std::string salida = p.Carpeta("Importar.vip");
  Escribir_Archivo(salida + "/dentro.txt", kAnterior);
  Comprobar({"Importar.vip is a folder",
             {p.plantilla, p.audio},
             3,
             kFallo + salida + " (Es un directorio)"});
  EXPECT_EQ(Leer_Archivo(salida + "/dentro.txt"), kAnterior);
  EXPECT_EQ(p.carpeta.Nombres(),
            (std::vector<std::string>{"Importar.vip", "audio.vip", "plantilla.vip"}));
}

// Links to files are followed for reading. An output that is a link stays one: the file it
// points to is the one replaced.
TEST(RutasHostiles, LinksToFilesAreReadThroughAndAnOutputLinkHasItsTargetReplaced) {
  Proyectos p;
  const std::string audio = p.Enlace("enlace-audio.vip", p.audio);
  const std::string plantilla = p.Enlace("enlace-plantilla.vip", p.plantilla);
  const std::string destino = p.carpeta.Escribir("destino.vip", kAnterior);
  const std::string salida = p.Enlace("Importar.vip", destino);
  Comprobar({"links", {plantilla, audio}, 0, kFinalizado + salida});
  EXPECT_TRUE(fs::is_symlink(salida));
  EXPECT_EQ(Leer_Archivo(destino), p.Esperada());
  EXPECT_EQ(Leer_Archivo(p.audio), p.audio_bytes);
}

TEST(RutasHostiles, NamesWithNewlinesQuotesSpacesAndAccents) {
  Proyectos p;
  const std::string carpeta = p.Carpeta("carpeta con\nsalto, 'simples' y \"dobles\" ñ €");
  const std::string audio = carpeta + "/canción de ñandú\n.vip";
  const std::string plantilla = carpeta + "/plantilla \"con\" 'comillas' .vip";
  Escribir_Archivo(audio, p.audio_bytes);
  Escribir_Archivo(plantilla, p.plantilla_bytes);
  Comprobar({"odd names", {plantilla, audio}, 0, kFinalizado + carpeta + "/Importar.vip"});
  EXPECT_EQ(Leer_Archivo(carpeta + "/Importar.vip"), p.Esperada());
  const std::string salida = carpeta + "/salida\t\"rara\" ü\n.vip";
  Comprobar({"odd output name", {plantilla, audio, "-o", salida}, 0, kFinalizado + salida});
  EXPECT_EQ(Leer_Archivo(salida), p.Esperada());
}

TEST(RutasHostiles, PathsNearAndOverTheLengthLimits) {
  Proyectos p;
  // Folders of 200 bytes down to a path just under the system's limit.
  std::string profunda = p.carpeta.ruta();
  while (profunda.size() + 201 + 40 < PATH_MAX) profunda += "/" + std::string(200, 'd');
  fs::create_directories(profunda);
  const std::string audio = profunda + "/audio.vip", plantilla = profunda + "/plantilla.vip";
  Escribir_Archivo(audio, p.audio_bytes);
  Escribir_Archivo(plantilla, p.plantilla_bytes);
  Comprobar({"a deep path", {plantilla, audio}, 0, kFinalizado + profunda + "/Importar.vip"});
  EXPECT_EQ(Leer_Archivo(profunda + "/Importar.vip"), p.Esperada());

  const std::string nombre_maximo = p.carpeta / (std::string(NAME_MAX - 4, 'n') + ".vip");
  const std::string nombre_largo = p.carpeta / (std::string(NAME_MAX, 'n') + ".vip");
  const std::string ruta_larga = profunda + "/" + std::string(PATH_MAX, 'r') + ".vip";
  const Caso casos[] = {
      {"an output name of the greatest length",
       {p.plantilla, p.audio, "-o", nombre_maximo},
       0,
       kFinalizado + nombre_maximo},
      {"an output name over the limit",
       {p.plantilla, p.audio, "-o", nombre_largo},
       3,
       kFallo + nombre_largo + " (Nombre de archivo demasiado largo)"},
      {"an output path over the limit",
       {p.plantilla, p.audio, "-o", ruta_larga},
       3,
       kFallo + ruta_larga + " (Nombre de archivo demasiado largo)"},
      {"an audio-data project name over the limit",
       {p.plantilla, nombre_largo},
       1,
       kNoAudio + nombre_largo + " (no se encuentra como archivo normal)"},
      {"a template path over the limit",
       {ruta_larga, p.audio, "-o", nombre_maximo},
       3,
       kFallo + nombre_maximo + " (no se encuentra el proyecto: " + ruta_larga + ")"},
  };
  for (const Caso& caso : casos) Comprobar(caso);
  EXPECT_EQ(Leer_Archivo(nombre_maximo), p.Esperada());
  EXPECT_EQ(p.carpeta.Nombres().size(), 4u);  // the sources, the deep folder, the long name
}

}  // namespace

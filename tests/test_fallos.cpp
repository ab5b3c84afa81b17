// SPDX-License-Identifier: MIT
// Faults that hit a merge after its checks: files that change under it, reads and the final
// rename that fail. Whatever happens, the earlier output stays as it was, no temporary file is
// left and the sources keep what they held; the command line reports it by its exit code.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <optional>
#include <sstream>

#include "Carpeta.h"
#include "Cli.h"
#include "Errores.h"
#include "Generador.h"
#include "Mezcla.h"
#include "SistemaConFallos.h"

namespace {

namespace fs = std::filesystem;
using Nombres = std::vector<std::string>;

const std::string kAnterior = "un Importar.vip anterior" + std::string(9000, 'z');
const std::string kCambiado = "el archivo ha cambiado durante la lectura";

struct Escena {
  CarpetaTemporal carpeta;
  DescripcionVip descripcion_audio, descripcion_plantilla;
  std::optional<std::string> audio_bytes, plantilla_bytes;  // what each source holds now
  Peticion peticion;
  int64_t limite = 0, largo_plantilla = 0;

  Escena() {
    descripcion_audio.bytes_audio = 3000;
    descripcion_plantilla.semilla = 2;
    descripcion_plantilla.bytes_audio = 5000;
    audio_bytes = Generar_Vip(descripcion_audio);
    plantilla_bytes = Generar_Vip(descripcion_plantilla);
    peticion.audio = carpeta.Escribir("audio.vip", *audio_bytes);
    peticion.plantilla = carpeta.Escribir("plantilla.vip", *plantilla_bytes);
    peticion.salida = carpeta.Escribir("Importar.vip", kAnterior);
    limite = Limite_De(descripcion_audio);
    largo_plantilla = static_cast<int64_t>(plantilla_bytes->size());
  }

  std::optional<std::string>& Bytes_De(const std::string& ruta) {
    return ruta == peticion.audio ? audio_bytes : plantilla_bytes;
  }
  void Recortar(const std::string& ruta, int64_t largo) {
    ASSERT_EQ(::truncate(ruta.c_str(), largo), 0);
    Bytes_De(ruta)->resize(static_cast<size_t>(largo));
  }
  void Quitar(const std::string& ruta) {
    fs::remove(ruta);
    Bytes_De(ruta).reset();
  }

  // The sources hold what the test left in them, nothing more is in the folder, and the
  // output is the earlier one.
  void Nada_Cambio(const std::string& contexto) {
    EXPECT_TRUE(Leer_Archivo(peticion.salida) == kAnterior) << contexto << ": output replaced";
    Nombres esperados{"Importar.vip"};
    if (audio_bytes) esperados.push_back("audio.vip");
    if (plantilla_bytes) esperados.push_back("plantilla.vip");
    EXPECT_EQ(carpeta.Nombres(), esperados) << contexto;
    for (const std::string* ruta : {&peticion.audio, &peticion.plantilla}) {
      if (Bytes_De(*ruta)) {
        EXPECT_TRUE(Leer_Archivo(*ruta) == *Bytes_De(*ruta)) << contexto << ": " << *ruta;
      }
    }
  }
};

// Counts the measurements of each path, so that a hook can act at the n-th one.
struct Contador {
  std::map<std::string, int> veces;
  int operator()(const std::string& ruta) { return ++veces[ruta]; }
};

struct Caso {
  const char* nombre;
  void (*preparar)(SistemaConFallos&, Escena&);
  Desenlace desenlace;
  std::string (*motivo)(const Escena&);  // the reason Resultado carries
};

// The measurements of a merge: the audio-data project is measured by the head's transfer, the
// boundary search and the transfer up to the boundary; the template before the third stage and
// by its transfer.
const Caso kCasos[] = {
    {"the audio-data project loses its header when writing starts",
     [](SistemaConFallos& s, Escena& e) {
       s.tras_crear = [&e] { e.Recortar(e.peticion.audio, e.limite - 500); };
     },
     Desenlace::SinLimite, [](const Escena&) { return std::string(); }},
    {"the audio-data project vanishes when writing starts",
     [](SistemaConFallos& s, Escena& e) { s.tras_crear = [&e] { e.Quitar(e.peticion.audio); }; },
     Desenlace::Fallo,
     [](const Escena& e) { return "no se encuentra el proyecto: " + e.peticion.audio; }},
    {"the audio-data project shrinks below the boundary after the search",
     [](SistemaConFallos& s, Escena& e) {
       s.antes_de_medir = [&e, contar = Contador()](const std::string& ruta) mutable {
         if (ruta == e.peticion.audio && contar(ruta) == 3) e.Recortar(ruta, e.limite - 500);
       };
     },
     Desenlace::Fallo, [](const Escena& e) { return kCambiado + ": " + e.peticion.audio; }},
    {"a read fails in the middle of the audio data",
     [](SistemaConFallos& s, Escena& e) {
       s.antes_de_medir = [&s, &e, contar = Contador()](const std::string& ruta) mutable {
         if (ruta == e.peticion.audio && contar(ruta) == 3) s.leer_hasta = s.leidos + 1500;
       };
     },
     Desenlace::Fallo,
     [](const Escena& e) { return "Error de entrada/salida: " + e.peticion.audio; }},
    {"the template vanishes before the third stage",
     [](SistemaConFallos& s, Escena& e) {
       s.antes_de_medir = [&e](const std::string& ruta) {
         if (ruta == e.peticion.plantilla) e.Quitar(ruta);
       };
     },
     Desenlace::Fallo,
     [](const Escena& e) {
       return "No existe el archivo o el directorio: " + e.peticion.plantilla;
     }},
    {"the template vanishes as the third stage begins",
     [](SistemaConFallos& s, Escena& e) {
       s.antes_de_medir = [&e, contar = Contador()](const std::string& ruta) mutable {
         if (ruta == e.peticion.plantilla && contar(ruta) == 2) e.Quitar(ruta);
       };
     },
     Desenlace::Fallo,
     [](const Escena& e) {
       return "No existe el archivo o el directorio: " + e.peticion.plantilla;
     }},
    {"the template shrinks after it was measured",
     [](SistemaConFallos& s, Escena& e) {
       s.antes_de_medir = [&e, contar = Contador()](const std::string& ruta) mutable {
         if (ruta == e.peticion.plantilla && contar(ruta) == 2) {
           e.Recortar(ruta, e.largo_plantilla - 1000);
         }
       };
     },
     Desenlace::Fallo, [](const Escena& e) { return kCambiado + ": " + e.peticion.plantilla; }},
    {"the template shrinks while the third stage reads it",
     [](SistemaConFallos& s, Escena& e) {
       s.antes_de_leer = [&e](const std::string& ruta, int64_t offset) {
         if (ruta == e.peticion.plantilla &&
             static_cast<int64_t>(e.plantilla_bytes->size()) == e.largo_plantilla &&
             offset >= e.limite) {
           e.Recortar(ruta, e.largo_plantilla - 1000);
         }
       };
     },
     Desenlace::Fallo, [](const Escena& e) { return kCambiado + ": " + e.peticion.plantilla; }},
    {"the template is removed while the third stage reads it",
     [](SistemaConFallos& s, Escena& e) {
       s.antes_de_leer = [&e](const std::string& ruta, int64_t) {
         if (ruta == e.peticion.plantilla && e.plantilla_bytes) e.Quitar(ruta);
       };
     },
     Desenlace::Fallo,
     [](const Escena& e) {
       return "No existe el archivo o el directorio: " + e.peticion.plantilla;
     }},
    {"a read fails in the middle of the template",
     [](SistemaConFallos& s, Escena& e) {
       s.antes_de_medir = [&s, &e](const std::string& ruta) {
         if (ruta == e.peticion.plantilla && s.leer_hasta == SistemaConFallos::kNunca) {
           s.leer_hasta = s.leidos + 2000;
         }
       };
     },
     Desenlace::Fallo,
     [](const Escena& e) { return "Error de entrada/salida: " + e.peticion.plantilla; }},
    {"the flush before the rename fails",
     [](SistemaConFallos& s, Escena&) { s.fallar_al_confirmar = true; }, Desenlace::Fallo,
     [](const Escena&) { return std::string("Error de entrada/salida"); }},
    {"the disk fills up at the last byte",
     [](SistemaConFallos& s, Escena& e) {
       s.escribir_hasta = e.largo_plantilla - 1;
       s.numero_error = ENOSPC;
     },
     Desenlace::Fallo,
     [](const Escena&) { return std::string("No queda espacio en el dispositivo"); }},
};

int Codigo_Esperado(Desenlace desenlace) {
  return desenlace == Desenlace::SinLimite ? kSalidaSinLimite : kSalidaFallo;
}

TEST(Fallos, AFileThatChangesOrFailsUnderTheMergeReplacesNothing) {
  for (const Caso& caso : kCasos) {
    for (size_t bloque : {size_t{100}, kTamBloque}) {
      const std::string contexto = std::string(caso.nombre) + ", block " + std::to_string(bloque);
      Escena escena;
      SistemaConFallos sistema;
      caso.preparar(sistema, escena);
      const Resultado resultado = Mezclar(escena.peticion, Sin_Progreso(), sistema, bloque);
      EXPECT_EQ(resultado.desenlace, caso.desenlace) << contexto << ": " << resultado.motivo;
      EXPECT_EQ(resultado.motivo, caso.motivo(escena)) << contexto;
      escena.Nada_Cambio(contexto);
    }
  }
}

// The command line tells the same story: its exit code and the one line the window shows.
TEST(Fallos, TheCommandLineExitsWithTheCodeOfEachFault) {
  for (const Caso& caso : kCasos) {
    Escena escena;
    SistemaConFallos sistema;
    caso.preparar(sistema, escena);
    std::ostringstream out, err;
    const int codigo = Ejecutar_Cli({escena.peticion.plantilla, escena.peticion.audio}, out, err,
                                    Sin_Progreso(), sistema);
    EXPECT_EQ(codigo, Codigo_Esperado(caso.desenlace)) << caso.nombre;
    Resultado resultado;
    resultado.desenlace = caso.desenlace;
    resultado.motivo = caso.motivo(escena);
    EXPECT_EQ(err.str(), Mensaje(escena.peticion, resultado) + "\n") << caso.nombre;
    EXPECT_EQ(out.str(), "");
    escena.Nada_Cambio(caso.nombre);
  }
}

// The rename itself fails when a folder has taken the output's name: the folder and what it
// holds stay, and the composed temporary file goes.
TEST(Fallos, ARenameThatFailsLeavesNoTemporaryFile) {
  Escena escena;
  SistemaConFallos sistema;
  sistema.antes_de_confirmar = [&escena] {
    fs::remove(escena.peticion.salida);
    fs::create_directory(escena.peticion.salida);
    Escribir_Archivo(escena.peticion.salida + "/dentro.txt", kAnterior);
  };
  const Resultado resultado = Mezclar(escena.peticion, Sin_Progreso(), sistema);
  EXPECT_EQ(resultado.desenlace, Desenlace::Fallo);
  EXPECT_EQ(resultado.motivo, Texto_Del_Sistema(EISDIR));
  EXPECT_EQ(Leer_Archivo(escena.peticion.salida + "/dentro.txt"), kAnterior);
  EXPECT_EQ(escena.carpeta.Nombres(), (Nombres{"Importar.vip", "audio.vip", "plantilla.vip"}));
  EXPECT_EQ(Leer_Archivo(escena.peticion.audio), *escena.audio_bytes);
  EXPECT_EQ(Leer_Archivo(escena.peticion.plantilla), *escena.plantilla_bytes);
}

// A FIFO put in a source's place after it was looked up must not hold the merge up: it is
// refused when it is opened, before anything waits for a writer that never comes.
TEST(Fallos, AFifoSwappedInForASourceIsRefusedWithoutWaiting) {
  const struct {
    const char* nombre;
    bool es_audio;
    int veces;  // at which opening of that source the swap happens
    Desenlace desenlace;
    std::string motivo;
  } casos[] = {
      {"the audio-data project, as it is checked", true, 1, Desenlace::Ilegible,
       "no es un archivo normal"},
      {"the template, as the third stage opens it", false, 1, Desenlace::Fallo,
       "no es un archivo normal: "},
  };
  for (const auto& caso : casos) {
    Escena escena;
    const std::string fuente = caso.es_audio ? escena.peticion.audio : escena.peticion.plantilla;
    SistemaConFallos sistema;
    sistema.antes_de_abrir = [&, contar = Contador()](const std::string& ruta) mutable {
      if (ruta == fuente && contar(ruta) == caso.veces) {
        escena.Quitar(ruta);
        ASSERT_EQ(::mkfifo(ruta.c_str(), 0600), 0);
      }
    };
    const Resultado resultado = Mezclar(escena.peticion, Sin_Progreso(), sistema, 100);
    EXPECT_EQ(resultado.desenlace, caso.desenlace) << caso.nombre;
    EXPECT_EQ(resultado.motivo, caso.es_audio ? caso.motivo : caso.motivo + fuente) << caso.nombre;
    EXPECT_TRUE(Leer_Archivo(escena.peticion.salida) == kAnterior) << caso.nombre;
    EXPECT_EQ(escena.carpeta.Nombres(), (Nombres{"Importar.vip", "audio.vip", "plantilla.vip"}))
        << caso.nombre;
  }
}

}  // namespace

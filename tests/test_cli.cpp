// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <sstream>

#include "Carpeta.h"
#include "Cli.h"
#include "Generador.h"
#include "Proceso.h"
#include "SistemaConFallos.h"

namespace {

using Nombres = std::vector<std::string>;

struct Salida {
  int codigo;
  std::string out, err;
};

Salida Cli(const std::vector<std::string>& argumentos, SistemaArchivos& sistema = Sistema_Real()) {
  std::ostringstream out, err;
  const int codigo = Ejecutar_Cli(argumentos, out, err, Sin_Progreso(), sistema);
  return {codigo, out.str(), err.str()};
}

struct Proyectos {
  CarpetaTemporal carpeta;
  std::string plantilla, audio, mudo, sin_lista;
  DescripcionVip descripcion_audio, descripcion_plantilla;

  Proyectos() {
    descripcion_plantilla.semilla = 2;
    descripcion_plantilla.bytes_audio = 6000;
    DescripcionVip mudo_d, sin_lista_d;
    mudo_d.lineas = {"nada"};
    sin_lista_d.con_lista = false;
    plantilla = carpeta.Escribir("plantilla.vip", Generar_Vip(descripcion_plantilla));
    audio = carpeta.Escribir("audio.vip", Generar_Vip(descripcion_audio));
    mudo = carpeta.Escribir("mudo.vip", Generar_Vip(mudo_d));
    sin_lista = carpeta.Escribir("sin-lista.vip", Generar_Vip(sin_lista_d));
  }
  std::string Esperada() const {
    const int64_t limite = Limite_De(descripcion_audio);
    return Generar_Vip(descripcion_audio).substr(0, limite) +
           Generar_Vip(descripcion_plantilla).substr(limite);
  }
};

TEST(Cli, WrongUsageExits64WithTheReasonAndTheUsage) {
  const std::vector<std::vector<std::string>> casos = {
      {},
      {"solo-uno.vip"},
      {"a.vip", "b.vip", "c.vip"},
      {"-o"},
      {"-o", "x.vip", "-o", "y.vip", "a.vip", "b.vip"},
      {"--output=", "a.vip", "b.vip"},
      {"--check"},
      {"--check", "a.vip", "b.vip"},
      {"--check", "-o", "x.vip", "a.vip"},
      {"--desconocida", "a.vip", "b.vip"},
  };
  for (const auto& argumentos : casos) {
    const Salida salida = Cli(argumentos);
    EXPECT_EQ(salida.codigo, kSalidaUso) << ::testing::PrintToString(argumentos);
    EXPECT_EQ(salida.out, "");
    EXPECT_EQ(salida.err.rfind("vipmerge-cli: ", 0), 0u) << salida.err;
    EXPECT_NE(salida.err.find("Uso:"), std::string::npos);
  }
}

TEST(Cli, HelpAndVersionGoToStdout) {
  const Salida ayuda = Cli({"--help"});
  EXPECT_EQ(ayuda.codigo, 0);
  EXPECT_NE(ayuda.out.find("vipmerge-cli [-o SALIDA] PLANTILLA AUDIO"), std::string::npos);
  EXPECT_EQ(ayuda.err, "");
  const Salida version = Cli({"--version"});
  EXPECT_EQ(version.codigo, 0);
  EXPECT_EQ(version.out.rfind("vipmerge-cli ", 0), 0u);
}

TEST(Cli, MergesIntoImportarVipBesideTheAudioProjectByDefault) {
  Proyectos p;
  const Salida salida = Cli({p.plantilla, p.audio});
  EXPECT_EQ(salida.codigo, 0);
  EXPECT_EQ(salida.out, "Finalizado la escritura de: " + (p.carpeta / "Importar.vip") + "\n");
  EXPECT_EQ(salida.err, "");
  EXPECT_EQ(Leer_Archivo(p.carpeta / "Importar.vip"), p.Esperada());
}

TEST(Cli, WritesWhereTheOutputOptionSays) {
  for (const char* forma : {"-o", "--output", "--output="}) {
    Proyectos p;
    const std::string destino = p.carpeta / "otra.vip";
    const std::vector<std::string> argumentos =
        std::string(forma) == "--output="
            ? std::vector<std::string>{"--output=" + destino, p.plantilla, p.audio}
            : std::vector<std::string>{p.plantilla, p.audio, forma, destino};
    const Salida salida = Cli(argumentos);
    EXPECT_EQ(salida.codigo, 0) << forma;
    EXPECT_EQ(salida.out, "Finalizado la escritura de: " + destino + "\n");
    EXPECT_EQ(Leer_Archivo(destino), p.Esperada());
    EXPECT_FALSE(Existe(p.carpeta / "Importar.vip"));
  }
}

TEST(Cli, EachRefusalHasItsExitCodeAndOneSpanishLine) {
  Proyectos p;
  const std::string salida_por_defecto = p.carpeta / "Importar.vip";
  const std::string texto = p.carpeta.Escribir("plantilla.txt", "x");
  const struct {
    std::vector<std::string> argumentos;
    int codigo;
    std::string linea;
  } casos[] = {
      {{p.plantilla, p.mudo}, 1, "El proyecto no nombra ningún archivo de audio: " + p.mudo},
      {{p.plantilla, p.carpeta / "falta.vip"},
       1,
       "El proyecto no nombra ningún archivo de audio: " + (p.carpeta / "falta.vip") +
           " (no se encuentra como archivo normal)"},
      {{p.plantilla, p.sin_lista},
       2,
       "No se encontró la lista de parámetros (LIST mdrl) en: " + p.sin_lista},
      {{texto, p.audio},
       3,
       "No se pudo completar la escritura de: " + salida_por_defecto +
           " (no es un proyecto .vip: " + texto + ")"},
      {{p.carpeta / "falta.vip", p.audio},
       3,
       "No se pudo completar la escritura de: " + salida_por_defecto +
           " (no se encuentra el proyecto: " + (p.carpeta / "falta.vip") + ")"},
      {{"-o", p.carpeta / "no-hay/Importar.vip", p.plantilla, p.audio},
       3,
       "No se pudo completar la escritura de: " + (p.carpeta / "no-hay/Importar.vip") +
           " (No existe el archivo o el directorio)"},
  };
  for (const auto& caso : casos) {
    const Salida salida = Cli(caso.argumentos);
    EXPECT_EQ(salida.codigo, caso.codigo) << caso.linea;
    EXPECT_EQ(salida.err, caso.linea + "\n");
    EXPECT_EQ(salida.out, "");
  }
  EXPECT_FALSE(Existe(salida_por_defecto));
}

TEST(Cli, AWriteThatFailsHalfWayExits3AndReplacesNothing) {
  Proyectos p;
  const std::string salida_por_defecto = p.carpeta.Escribir("Importar.vip", "anterior");
  SistemaConFallos sistema;
  sistema.escribir_hasta = 3000;
  sistema.numero_error = ENOSPC;
  const Salida salida = Cli({p.plantilla, p.audio}, sistema);
  EXPECT_EQ(salida.codigo, 3);
  EXPECT_EQ(salida.err, "No se pudo completar la escritura de: " + salida_por_defecto +
                            " (No queda espacio en el dispositivo)\n");
  EXPECT_EQ(Leer_Archivo(salida_por_defecto), "anterior");
  EXPECT_EQ(p.carpeta.Nombres(),
            (Nombres{"Importar.vip", "audio.vip", "mudo.vip", "plantilla.vip", "sin-lista.vip"}));
}

TEST(Cli, CheckPrintsValidityAndBoundaryAndWritesNothing) {
  Proyectos p;
  const struct {
    std::string audio;
    int codigo;
    std::string out;
  } casos[] = {
      {p.audio, 0, "valido: si\nlimite: " + std::to_string(Limite_De(p.descripcion_audio)) + "\n"},
      {p.sin_lista, 2, "valido: si\nlimite: 0\n"},
      {p.mudo, 1,
       "valido: no\nlimite: " + std::to_string(Limite_De(DescripcionVip{{"nada"}})) + "\n"},
      {p.carpeta / "falta.vip", 1, "valido: no\nlimite: 0\n"},
  };
  for (const auto& caso : casos) {
    const Salida salida = Cli({"--check", caso.audio});
    EXPECT_EQ(salida.codigo, caso.codigo) << caso.audio;
    EXPECT_EQ(salida.out, caso.out) << caso.audio;
    EXPECT_EQ(salida.err.empty(), caso.codigo == 0) << salida.err;
  }
  EXPECT_EQ(p.carpeta.Nombres(),
            (Nombres{"audio.vip", "mudo.vip", "plantilla.vip", "sin-lista.vip"}));
}

// The real program, as a script would run it: exit codes, the stdout line, and no progress
// output when stderr is not a terminal even for a merge of many blocks.
TEST(CliProceso, RunsAsAScriptWouldRunIt) {
  Proyectos p;
  DescripcionVip grande;
  grande.bytes_audio = 6u << 20;
  const std::string audio_grande = p.carpeta.Escribir("grande.vip", Generar_Vip(grande));

  const Ejecucion escrito = Ejecutar_Programa(VIPMERGE_CLI, {p.plantilla, audio_grande});
  EXPECT_EQ(escrito.codigo, 0);
  EXPECT_EQ(escrito.salida, "Finalizado la escritura de: " + (p.carpeta / "Importar.vip") + "\n");
  EXPECT_EQ(escrito.errores, "");

  const struct {
    std::vector<std::string> argumentos;
    int codigo;
  } casos[] = {
      {{p.plantilla, p.mudo}, 1},
      {{p.plantilla, p.sin_lista}, 2},
      {{p.carpeta / "falta.vip", p.audio}, 3},
      {{"--nada"}, 64},
      {{"--check", p.audio}, 0},
  };
  for (const auto& caso : casos) {
    const Ejecucion ejecucion = Ejecutar_Programa(VIPMERGE_CLI, caso.argumentos);
    EXPECT_EQ(ejecucion.codigo, caso.codigo) << ::testing::PrintToString(caso.argumentos);
  }
}

}  // namespace

// SPDX-License-Identifier: MIT
// What only Windows has: file attributes, drive letters and both separators, wide-character
// file names, file sharing, and the command line as the console passes it.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "Carpeta.h"
#include "CopiarRango.h"
#include "Generador.h"
#include "Mezcla.h"
#include "Proceso.h"
#include "Rutas.h"
#include "Texto.h"

namespace {

std::string Con_Barras_Invertidas(std::string ruta) {
  for (char& c : ruta) {
    if (c == '/') c = '\\';
  }
  return ruta;
}

// Files named in UTF-8, written and read through the wide functions.
void Escribir_Ancho(const std::string& ruta, const std::string& bytes) {
  const HANDLE archivo = CreateFileW(Ancho(ruta).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(archivo, INVALID_HANDLE_VALUE) << ruta;
  DWORD escritos = 0;
  WriteFile(archivo, bytes.data(), static_cast<DWORD>(bytes.size()), &escritos, nullptr);
  CloseHandle(archivo);
  ASSERT_EQ(escritos, bytes.size());
}

std::string Leer_Ancho(const std::string& ruta) {
  const HANDLE archivo = CreateFileW(Ancho(ruta).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (archivo == INVALID_HANDLE_VALUE) return "(no se puede abrir)";
  std::string bytes(1 << 16, '\0');
  DWORD leidos = 0;
  ReadFile(archivo, bytes.data(), static_cast<DWORD>(bytes.size()), &leidos, nullptr);
  CloseHandle(archivo);
  bytes.resize(leidos);
  return bytes;
}

bool Existe_Ancho(const std::string& ruta) {
  return GetFileAttributesW(Ancho(ruta).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Two projects and what merging them must give.
struct Proyectos {
  DescripcionVip audio_d, plantilla_d;
  std::string audio_bytes, plantilla_bytes;

  Proyectos() {
    plantilla_d.semilla = 2;
    plantilla_d.bytes_audio = 6000;
    audio_bytes = Generar_Vip(audio_d);
    plantilla_bytes = Generar_Vip(plantilla_d);
  }
  std::string Esperada() const {
    const auto limite = static_cast<size_t>(Limite_De(audio_d));
    return audio_bytes.substr(0, limite) + plantilla_bytes.substr(limite);
  }
};

TEST(RutasWindows, FolderAndNameWithDrivesAndBothSeparators) {
  const struct {
    std::string ruta, carpeta, nombre;
  } casos[] = {
      {"C:\\Proyectos\\Mezcla.vip", "C:\\Proyectos\\", "Mezcla.vip"},
      {"C:/Proyectos/Mezcla.vip", "C:/Proyectos/", "Mezcla.vip"},
      {"C:\\Proyectos/Sub\\Mezcla.vip", "C:\\Proyectos/Sub\\", "Mezcla.vip"},
      {"C:Mezcla.vip", "C:", "Mezcla.vip"},
      {"C:\\Mezcla.vip", "C:\\", "Mezcla.vip"},
      {"\\\\servidor\\datos\\Mezcla.vip", "\\\\servidor\\datos\\", "Mezcla.vip"},
      // A ':' after the drive names a stream of the file, not a folder.
      {"C:\\Proyectos\\Mezcla.vip:flujo", "C:\\Proyectos\\", "Mezcla.vip:flujo"},
      {"Mezcla.vip", "", "Mezcla.vip"},
  };
  for (const auto& caso : casos) {
    EXPECT_EQ(Carpeta_De(caso.ruta), caso.carpeta) << caso.ruta;
    EXPECT_EQ(Nombre_De(caso.ruta), caso.nombre) << caso.ruta;
  }
  EXPECT_EQ(Salida_Para("C:\\Proyectos\\Mezcla.vip"), "C:\\Proyectos\\Importar.vip");
}

// A name the wide functions would read differently (cut at a NUL, or with a replacement
// character for bytes that are no UTF-8) must name no file at all.
TEST(TextoWindows, ConvertsUtf8AndRefusesWhatNamesNoFile) {
  EXPECT_EQ(Ancho("Canción 音.vip"), L"Canci\u00f3n \u97f3.vip");
  EXPECT_EQ(Estrecho(L"Canci\u00f3n \u97f3.vip"), "Canción 音.vip");
  EXPECT_EQ(Ancho(std::string("audio.vip\0x", 11)), L"");
  EXPECT_EQ(Ancho("audio\xff.vip"), L"");

  CarpetaTemporal carpeta;
  const std::string audio = carpeta.Escribir("audio.vip", Generar_Vip(DescripcionVip{}));
  EXPECT_EQ(Buscar_Archivo(audio + std::string("\0.txt", 5)), "");
}

// Hidden and system files and folders are not found; a read-only file is.
TEST(AtributosWindows, HiddenAndSystemFilesAreNotFound) {
  CarpetaTemporal carpeta;
  Proyectos p;
  const std::string plantilla = carpeta.Escribir("plantilla.vip", p.plantilla_bytes);
  const struct {
    const char* nombre;
    DWORD atributos;
    bool encontrado;
  } casos[] = {
      {"normal.vip", FILE_ATTRIBUTE_NORMAL, true},
      {"solo-lectura.vip", FILE_ATTRIBUTE_READONLY, true},
      {"archivo.vip", FILE_ATTRIBUTE_ARCHIVE, true},
      {"oculto.vip", FILE_ATTRIBUTE_HIDDEN, false},
      {"sistema.vip", FILE_ATTRIBUTE_SYSTEM, false},
      {"oculto-sistema.vip", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, false},
  };
  for (const auto& caso : casos) {
    const std::string ruta = carpeta.Escribir(caso.nombre, p.audio_bytes);
    ASSERT_TRUE(SetFileAttributesW(Ancho(ruta).c_str(), caso.atributos)) << caso.nombre;
    EXPECT_EQ(Buscar_Archivo(ruta), caso.encontrado ? caso.nombre : "") << caso.nombre;
    EXPECT_EQ(Valido(ruta), caso.encontrado) << caso.nombre;
    auto salida = Sistema_Real().Crear(carpeta / "salida.vip");
    EXPECT_EQ(Copiar_Rango(ruta, 1, 96, *salida),
              caso.encontrado ? Copia::Copiada : Copia::NoEncontrada)
        << caso.nombre;
    const Resultado resultado = Mezclar({plantilla, ruta, carpeta / "Importar.vip"});
    EXPECT_EQ(resultado.desenlace, caso.encontrado ? Desenlace::Escrito : Desenlace::NoValido)
        << caso.nombre;
    SetFileAttributesW(Ancho(ruta).c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  std::filesystem::create_directories(carpeta / "carpeta.vip");
  EXPECT_EQ(Buscar_Archivo(carpeta / "carpeta.vip"), "");
}

TEST(MezclaWindows, TakesBackslashesForwardSlashesAndAnUpperCaseExtension) {
  Proyectos p;
  for (const bool invertidas : {true, false}) {
    for (const char* extension : {".vip", ".VIP", ".Vip"}) {
      CarpetaTemporal carpeta;
      std::string audio = carpeta.Escribir(std::string("audio") + extension, p.audio_bytes);
      std::string plantilla =
          carpeta.Escribir(std::string("plantilla") + extension, p.plantilla_bytes);
      if (invertidas) {
        audio = Con_Barras_Invertidas(audio);
        plantilla = Con_Barras_Invertidas(plantilla);
      }
      const std::string salida = Salida_Para(audio);
      EXPECT_EQ(salida, Carpeta_De(audio) + "Importar.vip");
      const Resultado resultado = Mezclar({plantilla, audio, salida});
      ASSERT_EQ(resultado.desenlace, Desenlace::Escrito) << audio << ": " << resultado.motivo;
      EXPECT_EQ(Leer_Archivo(carpeta / "Importar.vip"), p.Esperada()) << audio;
    }
  }
}

// Names outside the ANSI code page reach the file system only through the wide functions.
const std::string kCarpetaNoAscii = "Canción ñandú Ωμέγα 音声";
const std::string kAudioNoAscii = "Mezcla €ñ 音.vip";

TEST(MezclaWindows, MergesAPathWithNonAsciiCharacters) {
  CarpetaTemporal carpeta;
  Proyectos p;
  const std::string sub = carpeta / kCarpetaNoAscii;
  ASSERT_TRUE(CreateDirectoryW(Ancho(sub).c_str(), nullptr));
  const std::string audio = sub + "\\" + kAudioNoAscii;
  const std::string plantilla = sub + "\\Plantilla ü.vip";
  Escribir_Ancho(audio, p.audio_bytes);
  Escribir_Ancho(plantilla, p.plantilla_bytes);

  EXPECT_EQ(Buscar_Archivo(audio), kAudioNoAscii);
  EXPECT_TRUE(Valido(audio));
  const Resultado resultado = Mezclar({plantilla, audio, Salida_Para(audio)});
  ASSERT_EQ(resultado.desenlace, Desenlace::Escrito) << resultado.motivo;
  EXPECT_EQ(Leer_Ancho(sub + "\\Importar.vip"), p.Esperada());
}

TEST(MezclaWindows, ReadsASourceThatAnotherProgramHasOpenForWriting) {
  CarpetaTemporal carpeta;
  Proyectos p;
  const std::string audio = carpeta.Escribir("audio.vip", p.audio_bytes);
  const std::string plantilla = carpeta.Escribir("plantilla.vip", p.plantilla_bytes);
  const HANDLE editor = CreateFileW(Ancho(audio).c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(editor, INVALID_HANDLE_VALUE);
  const Resultado resultado = Mezclar({plantilla, audio, carpeta / "Importar.vip"});
  CloseHandle(editor);
  ASSERT_EQ(resultado.desenlace, Desenlace::Escrito) << resultado.motivo;
  EXPECT_EQ(Leer_Archivo(carpeta / "Importar.vip"), p.Esperada());
}

// The system's reasons in the same Spanish words as on other systems; the earlier output stays
// and no temporary file is left behind.
TEST(MezclaWindows, FailuresNameTheReasonAndReplaceNothing) {
  CarpetaTemporal carpeta;
  Proyectos p;
  const std::string audio = carpeta.Escribir("audio.vip", p.audio_bytes);
  const std::string plantilla = carpeta.Escribir("plantilla.vip", p.plantilla_bytes);
  const std::string anterior = carpeta.Escribir("Importar.vip", "anterior");
  std::filesystem::create_directories(carpeta / "carpeta");

  const HANDLE bloqueo =
      CreateFileW(Ancho(plantilla).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(bloqueo, INVALID_HANDLE_VALUE);
  const Resultado bloqueada = Mezclar({plantilla, audio, anterior});
  CloseHandle(bloqueo);
  EXPECT_EQ(bloqueada.desenlace, Desenlace::Fallo);
  EXPECT_EQ(bloqueada.motivo, "Dispositivo o recurso ocupado: " + plantilla);

  const struct {
    std::string salida, motivo;
  } casos[] = {
      {carpeta / "no-existe\\Importar.vip", "No existe el archivo o el directorio"},
      {carpeta / "carpeta", "Es un directorio"},
      {carpeta / "no<valido>.vip", "Argumento no válido"},
  };
  for (const auto& caso : casos) {
    const Resultado resultado = Mezclar({plantilla, audio, caso.salida});
    EXPECT_EQ(resultado.desenlace, Desenlace::Fallo) << caso.salida;
    EXPECT_EQ(resultado.motivo, caso.motivo) << caso.salida;
  }

  EXPECT_EQ(Leer_Archivo(anterior), "anterior");
  EXPECT_EQ(carpeta.Nombres(),
            (std::vector<std::string>{"Importar.vip", "audio.vip", "carpeta", "plantilla.vip"}));
}

// The real program with UTF-8 arguments that name wide-character files, as a console passes
// them: the output beside the audio project, its path on stdout in UTF-8 with a bare "\n".
TEST(CliProcesoWindows, TakesNonAsciiArgumentsAndPrintsUtf8) {
  CarpetaTemporal carpeta;
  Proyectos p;
  const std::string sub = carpeta / kCarpetaNoAscii;
  ASSERT_TRUE(CreateDirectoryW(Ancho(sub).c_str(), nullptr));
  const std::string audio = Con_Barras_Invertidas(sub + "/" + kAudioNoAscii);
  const std::string plantilla = sub + "/Plantilla ü.VIP";
  Escribir_Ancho(audio, p.audio_bytes);
  Escribir_Ancho(plantilla, p.plantilla_bytes);

  const Ejecucion escrito = Ejecutar_Programa(VIPMERGE_CLI, {plantilla, audio});
  EXPECT_EQ(escrito.codigo, 0) << escrito.errores;
  EXPECT_EQ(escrito.salida, "Finalizado la escritura de: " + Salida_Para(audio) + "\n");
  EXPECT_EQ(escrito.errores, "");
  EXPECT_EQ(Leer_Ancho(Salida_Para(audio)), p.Esperada());

  const std::string otra = sub + "\\Otra ñ.vip";
  const Ejecucion con_salida = Ejecutar_Programa(VIPMERGE_CLI, {"-o", otra, plantilla, audio});
  EXPECT_EQ(con_salida.codigo, 0) << con_salida.errores;
  EXPECT_EQ(Leer_Ancho(otra), p.Esperada());

  const std::string falta = sub + "\\Falta ñ.vip";
  const Ejecucion fallo = Ejecutar_Programa(VIPMERGE_CLI, {falta, audio});
  EXPECT_EQ(fallo.codigo, 3);
  EXPECT_EQ(fallo.salida, "");
  EXPECT_EQ(fallo.errores, "No se pudo completar la escritura de: " + Salida_Para(audio) +
                               " (no se encuentra el proyecto: " + falta + ")\n");
  EXPECT_FALSE(Existe_Ancho(falta));
}

}  // namespace

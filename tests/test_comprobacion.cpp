// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>

#include "Bytes.h"
#include "Carpeta.h"
#include "Errores.h"
#include "Escaneos.h"
#include "ProgresoGrabado.h"
#include "SistemaConFallos.h"

namespace {

// A project whose text area (from byte 367) holds the given text.
std::string Con_Texto(const std::string& texto) {
  std::string datos(366, '.');
  return datos + texto;
}

struct CasoTexto {
  const char* nombre;
  std::string datos;
  Comprobacion esperada;
};

class ComprobacionDelTexto : public ::testing::TestWithParam<size_t> {};

TEST_P(ComprobacionDelTexto, FindsTheFormatNamesOnlyFromByte367) {
  std::string largo_con_wav(40000, 'x');
  largo_con_wav.replace(39000, 3, "wav");  // beyond character 32767 of its line
  const CasoTexto casos[] = {
      {"wav", Con_Texto("voz.wav\r\n"), Comprobacion::Aceptado},
      {"mp3", Con_Texto("a.mp3"), Comprobacion::Aceptado},
      {"aif", Con_Texto("a.aif"), Comprobacion::Aceptado},
      {"ogg", Con_Texto("a.ogg"), Comprobacion::Aceptado},
      {"flac", Con_Texto("a.flac"), Comprobacion::Aceptado},
      {"the word wave counts", Con_Texto("wave"), Comprobacion::Aceptado},
      {"upper-case WAV is no name", Con_Texto("VOZ.WAV\r\nOTRA.MP3\r\n"), Comprobacion::SinAudio},
      {"fla is not flac", Con_Texto("a.fla\ra.mp\r\n"), Comprobacion::SinAudio},
      {"a name on a later CR line", Con_Texto("nada\rnada\rb.ogg\r"), Comprobacion::Aceptado},
      {"a name on a later CRLF line", Con_Texto("nada\r\nnada\r\nb.aif\r\n"),
       Comprobacion::Aceptado},
      {"a name beyond character 32767", Con_Texto(largo_con_wav), Comprobacion::Aceptado},
      {"366 bytes hold no line", std::string(363, '.') + "wav", Comprobacion::SinAudio},
      {"a name ending at byte 366 is not seen", std::string(363, '.') + "wav" + "xyz",
       Comprobacion::SinAudio},
      {"a name cut by byte 367 is not seen", std::string(364, '.') + "wav", Comprobacion::SinAudio},
      {"a name starting at byte 367", Con_Texto("wav"), Comprobacion::Aceptado},
      {"empty file", "", Comprobacion::SinAudio},
  };
  CarpetaTemporal carpeta;
  for (const CasoTexto& caso : casos) {
    const std::string ruta = carpeta.Escribir("proyecto.vip", caso.datos);
    EXPECT_EQ(Comprobar_Audio(ruta, Sin_Progreso(), Sistema_Real(), GetParam()), caso.esperada)
        << caso.nombre;
  }
}

// Small blocks put every name across a block boundary somewhere.
INSTANTIATE_TEST_SUITE_P(Bloques, ComprobacionDelTexto,
                         ::testing::Values(size_t{1}, size_t{2}, size_t{3}, size_t{5}, kTamBloque));

TEST(Comprobacion, JudgesThePathBeforeReadingTheFile) {
  CarpetaTemporal carpeta;
  const std::string valido = Con_Texto("voz.wav");
  std::filesystem::create_directories(carpeta / "FreezeData");
  std::filesystem::create_directories(carpeta / "freezedata");
  std::filesystem::create_directories(carpeta / "carpeta.vip");
  std::filesystem::create_directories(carpeta / "sub.punto");
  const std::string congelado = carpeta.Escribir("FreezeData/p.vip", valido);
  const std::string minusculas = carpeta.Escribir("freezedata/p.vip", valido);
  const std::string oculto = carpeta.Escribir(".oculto.vip", valido);
  const std::string sin_punto = carpeta.Escribir("proyecto", valido);
  const std::string punto_en_carpeta = carpeta.Escribir("sub.punto/proyecto", valido);
#ifndef _WIN32
  std::filesystem::create_symlink(carpeta / "carpeta.vip", carpeta / "enlace.vip");
#endif
  ASSERT_EQ(carpeta.ruta().find('.'), std::string::npos) << "the folder must hold no '.'";

  const struct {
    std::string ruta;
    Comprobacion esperada;
  } casos[] = {
      {congelado, Comprobacion::RutaFreezeData},
      {carpeta / "FreezeData/no-existe", Comprobacion::RutaFreezeData},
      {minusculas, Comprobacion::Aceptado},
      {"", Comprobacion::RutaVacia},
      {carpeta / "no-existe.vip", Comprobacion::NoEncontrado},
      {carpeta / "carpeta.vip", Comprobacion::NoEncontrado},
#ifndef _WIN32  // links need a privilege on Windows, and a dot does not hide a file there
      {carpeta / "enlace.vip", Comprobacion::NoEncontrado},
      {oculto, Comprobacion::NoEncontrado},
#endif
      {sin_punto, Comprobacion::RutaSinPunto},
      {punto_en_carpeta, Comprobacion::Aceptado},
  };
  for (const auto& caso : casos) {
    SistemaConFallos sistema;
    EXPECT_EQ(Comprobar_Audio(caso.ruta, Sin_Progreso(), sistema), caso.esperada) << caso.ruta;
    if (caso.esperada != Comprobacion::Aceptado) {
      EXPECT_EQ(sistema.aperturas, 0) << caso.ruta;
    }
    EXPECT_EQ(Valido(caso.ruta), caso.esperada == Comprobacion::Aceptado) << caso.ruta;
  }
}

TEST(Comprobacion, AnUnreadableFileIsAReadFailureThatValidoRefuses) {
  CarpetaTemporal carpeta;
  const std::string ruta = carpeta.Escribir("p.vip", Con_Texto("voz.wav"));
  SistemaConFallos sistema;
  sistema.leer_hasta = 0;
  EXPECT_THROW(Comprobar_Audio(ruta, Sin_Progreso(), sistema), ErrorArchivo);
  EXPECT_FALSE(Valido(ruta, Sin_Progreso(), sistema));
}

TEST(Comprobacion, PumpsBetweenBlocksAndStopsWhenAsked) {
  CarpetaTemporal carpeta;
  const std::string ruta = carpeta.Escribir("p.vip", Con_Texto(std::string(100, 'x') + "wav"));
  ProgresoGrabado progreso;
  EXPECT_TRUE(Valido(ruta, progreso, Sistema_Real(), 10));
  EXPECT_EQ(progreso.bombeos, 10);  // one per full block without a name
  EXPECT_TRUE(progreso.eventos.empty()) << "the check does not touch the bar";

  ProgresoGrabado detener;
  detener.detener_en_bombeo = 2;
  EXPECT_THROW(Valido(ruta, detener, Sistema_Real(), 10), Detenido);
}

}  // namespace

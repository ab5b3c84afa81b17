// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>

#include "Carpeta.h"
#include "CopiarRango.h"
#include "Errores.h"
#include "ProgresoGrabado.h"
#include "SistemaConFallos.h"

namespace {

using Eventos = std::vector<std::string>;

std::string Numerados(size_t n) {
  std::string datos(n, '\0');
  for (size_t i = 0; i < n; ++i) datos[i] = static_cast<char>('A' + i % 26);
  return datos;
}

// Runs one transfer into a fresh output and returns the output's bytes.
struct Transferencia {
  CarpetaTemporal carpeta;
  ProgresoGrabado progreso;
  SistemaConFallos sistema;
  Copia copia = Copia::Copiada;

  std::string Copiar(const std::string& origen, int64_t inicio, int64_t fin,
                     size_t bloque = kTamBloque) {
    const std::string salida = carpeta / "salida.vip";
    auto destino = sistema.Crear(salida);
    copia = Copiar_Rango(origen, inicio, fin, *destino, progreso, sistema, bloque);
    destino->Confirmar();
    return Leer_Archivo(salida);
  }
};

TEST(CopiarRango, CopiesEachPositionOfTheRangeToTheSamePosition) {
  const struct {
    const char* nombre;
    int64_t inicio, fin;
    std::string esperado;
  } casos[] = {
      {"the head", 1, 5, "ABCDE"},
      {"a middle range leaves zeros before it", 3, 5, std::string(2, '\0') + "CDE"},
      {"start equal to end copies one byte", 4, 4, std::string(3, '\0') + "D"},
      {"start above end copies nothing", 97, 0, ""},
      {"the last byte of the source", 9, 10, std::string(8, '\0') + "IJ"},
      {"beyond the source reads zeros", 8, 14, std::string(7, '\0') + "HIJ" + std::string(4, '\0')},
  };
  for (const auto& caso : casos) {
    for (size_t bloque : {size_t{1}, size_t{3}, kTamBloque}) {
      Transferencia t;
      const std::string origen = t.carpeta.Escribir("fuente.vip", Numerados(10));
      EXPECT_EQ(t.Copiar(origen, caso.inicio, caso.fin, bloque), caso.esperado)
          << caso.nombre << ", block " << bloque;
      EXPECT_EQ(t.copia, Copia::Copiada);
      EXPECT_EQ(Leer_Archivo(origen), Numerados(10)) << "the source is never written";
    }
  }
}

TEST(CopiarRango, DrivesTheBarWithAbsolutePositionsAgainstTheEnd) {
  Transferencia t;
  const std::string origen = t.carpeta.Escribir("fuente.vip", Numerados(1000));
  t.Copiar(origen, 301, 991, 100);
  EXPECT_EQ(t.progreso.eventos, (Eventos{"maximo 991", "visible 1", "visible 0"}));
  // Partly filled from the first block on, one value per block, ending on the maximum.
  EXPECT_EQ(t.progreso.valores, (std::vector<int64_t>{400, 500, 600, 700, 800, 900, 991}));
  EXPECT_EQ(t.progreso.bombeos, 7);
}

TEST(CopiarRango, AnEmptyRangeStillShowsAndHidesTheBar) {
  Transferencia t;
  const std::string origen = t.carpeta.Escribir("fuente.vip", Numerados(200));
  t.Copiar(origen, 97, 0);
  EXPECT_EQ(t.progreso.eventos, (Eventos{"maximo 0", "visible 1", "visible 0"}));
  EXPECT_TRUE(t.progreso.valores.empty());
  EXPECT_EQ(t.sistema.aperturas, 1);
}

TEST(CopiarRango, AnEmptySourceIsNotOpenedAndOnlyHidesTheBar) {
  Transferencia t;
  const std::string origen = t.carpeta.Escribir("vacio.vip", "");
  EXPECT_EQ(t.Copiar(origen, 1, 96), "");
  EXPECT_EQ(t.progreso.eventos, (Eventos{"visible 0"}));
  EXPECT_EQ(t.sistema.aperturas, 0);
}

TEST(CopiarRango, SourcesTheGuardsRefuseAreNotTouched) {
  Transferencia t;
  std::filesystem::create_directories(t.carpeta / "dir.vip");
  std::filesystem::create_directories(t.carpeta / "x.vip.d");
  const struct {
    std::string ruta;
    Copia esperada;
  } casos[] = {
      {t.carpeta.Escribir("proyecto.txt", Numerados(10)), Copia::SinVip},
      {t.carpeta.Escribir("MAYUSCULAS.VIP", Numerados(10)), Copia::Copiada},
      {t.carpeta.Escribir("Mixto.ViP", Numerados(10)), Copia::Copiada},
      {t.carpeta.Escribir("copia.vip.bak", Numerados(10)), Copia::Copiada},
      {t.carpeta.Escribir("x.vip.d/sin-extension", Numerados(10)), Copia::Copiada},
      {t.carpeta.Escribir(".oculto.vip", Numerados(10)), Copia::NoEncontrada},
      {t.carpeta / "dir.vip", Copia::NoEncontrada},
      {t.carpeta / "no-existe.vip", Copia::NoEncontrada},
  };
  for (const auto& caso : casos) {
    Transferencia u;
    const std::string copiado = u.Copiar(caso.ruta, 1, 10);
    EXPECT_EQ(u.copia, caso.esperada) << caso.ruta;
    if (caso.esperada != Copia::Copiada) {
      EXPECT_EQ(copiado, "") << caso.ruta;
      EXPECT_TRUE(u.progreso.eventos.empty()) << caso.ruta;
      EXPECT_EQ(u.sistema.aperturas, 0) << caso.ruta;
    } else {
      EXPECT_EQ(copiado, Numerados(10)) << caso.ruta;
    }
  }
}

TEST(CopiarRango, ASourceShorterThanMeasuredIsAFailure) {
  Transferencia t;
  const std::string origen = t.carpeta.Escribir("fuente.vip", Numerados(100));
  t.sistema.longitud_de_mas = 10;
  const std::string salida = t.carpeta / "salida.vip";
  auto destino = t.sistema.Crear(salida);
  EXPECT_THROW(Copiar_Rango(origen, 1, 110, *destino, t.progreso, t.sistema), ErrorArchivo);
}

TEST(CopiarRango, StopsBetweenBlocksWhenAsked) {
  Transferencia t;
  const std::string origen = t.carpeta.Escribir("fuente.vip", Numerados(1000));
  t.progreso.detener_en_bombeo = 2;
  EXPECT_THROW(t.Copiar(origen, 1, 1000, 100), Detenido);
  EXPECT_EQ(t.progreso.eventos.back(), "visible 1") << "a stopped transfer leaves the bar as it is";
}

}  // namespace

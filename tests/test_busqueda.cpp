// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "Bytes.h"
#include "Carpeta.h"
#include "Errores.h"
#include "Escaneos.h"
#include "ProgresoGrabado.h"
#include "SistemaConFallos.h"

namespace {

const std::string kMdrl = Cabecera("mdrl");

struct Colocacion {
  int64_t posicion;
  std::string texto;
};

struct CasoBusqueda {
  const char* nombre;
  std::vector<Colocacion> colocaciones;
  int64_t longitud;  // the file is padded with '.' to this length
  int64_t esperado;
};

std::string Armar(const CasoBusqueda& caso) {
  std::string datos(static_cast<size_t>(caso.longitud), '.');
  for (const Colocacion& colocacion : caso.colocaciones)
    Poner(datos, colocacion.posicion, colocacion.texto);
  datos.resize(static_cast<size_t>(caso.longitud), '.');
  return datos;
}

class BusquedaDelLimite : public ::testing::TestWithParam<size_t> {};

TEST_P(BusquedaDelLimite, FindsTheFirstWholeMdrlHeaderFromPosition97) {
  const CasoBusqueda casos[] = {
      {"header at 1000", {{1000, kMdrl}}, 2000, 991},
      {"header at 501", {{501, kMdrl}}, 2000, 492},
      {"header at the start position", {{97, kMdrl}}, 2000, 88},
      {"header before the start position", {{96, kMdrl}}, 2000, 0},
      {"a hidden one before 97, the next after", {{90, kMdrl}, {300, kMdrl}}, 2000, 291},
      {"another list type is skipped", {{200, Cabecera("INFO")}, {400, kMdrl}}, 2000, 391},
      {"an L just before the header does not hide it", {{995, "L"}, {1000, kMdrl}}, 2000, 991},
      {"an L eleven bytes before does not hide it", {{989, "LIS"}, {1000, kMdrl}}, 2000, 991},
      {"LIST overlapping a LIST", {{500, "LIST"}, {504, kMdrl}}, 2000, 495},
      {"the lower of two headers wins", {{700, kMdrl}, {300, kMdrl}}, 2000, 291},
      {"lower-case list", {{300, Cabecera("mdrl", "list")}}, 2000, 0},
      {"upper-case MDRL", {{300, Cabecera("MDRL")}}, 2000, 0},
      {"no header", {}, 2000, 0},
      {"header ending on the last byte", {{1989, kMdrl}}, 2000, 1980},
      {"header cut by the end of the file", {{1990, kMdrl}}, 2000, 0},
      {"LIST at the end without its type", {{1997, "LIST"}}, 2000, 0},
      {"start position at the file's length", {{50, kMdrl}}, 97, 0},
      {"file shorter than the start position", {{50, kMdrl}}, 60, 0},
  };
  CarpetaTemporal carpeta;
  for (const CasoBusqueda& caso : casos) {
    const std::string ruta = carpeta.Escribir("p.vip", Armar(caso));
    EXPECT_EQ(Buscar_Lista_Mdrl(ruta, 97, Sin_Progreso(), Sistema_Real(), GetParam()),
              caso.esperado)
        << caso.nombre;
  }
}

INSTANTIATE_TEST_SUITE_P(Bloques, BusquedaDelLimite,
                         ::testing::Values(size_t{12}, size_t{13}, size_t{64}, kTamBloque));

// Every placement of a header around every block boundary of a few small block sizes.
TEST(Busqueda, FindsAHeaderLyingAcrossTwoBlocks) {
  CarpetaTemporal carpeta;
  for (size_t bloque : {12, 16, 31, 100}) {
    for (int64_t posicion = 97; posicion < 97 + 3 * static_cast<int64_t>(bloque); ++posicion) {
      std::string datos(600, '.');
      Poner(datos, posicion, kMdrl);
      const std::string ruta = carpeta.Escribir("p.vip", datos);
      ASSERT_EQ(Buscar_Lista_Mdrl(ruta, 97, Sin_Progreso(), Sistema_Real(), bloque), posicion - 9)
          << "block " << bloque << ", header at " << posicion;
    }
  }
}

TEST(Busqueda, AnEmptyFileIsNotOpened) {
  CarpetaTemporal carpeta;
  const std::string ruta = carpeta.Escribir("vacio.vip", "");
  SistemaConFallos sistema;
  EXPECT_EQ(Buscar_Lista_Mdrl(ruta, 97, Sin_Progreso(), sistema), 0);
  EXPECT_EQ(sistema.aperturas, 0);
}

TEST(Busqueda, AMissingOrUnreadableFileIsAFailureNotABoundaryOfZero) {
  CarpetaTemporal carpeta;
  EXPECT_THROW(Buscar_Lista_Mdrl(carpeta / "no-existe.vip", 97), ErrorArchivo);

  std::string datos(5000, '.');
  Poner(datos, 4000, kMdrl);
  const std::string ruta = carpeta.Escribir("p.vip", datos);
  SistemaConFallos sistema;
  sistema.leer_hasta = 1000;
  EXPECT_THROW(Buscar_Lista_Mdrl(ruta, 97, Sin_Progreso(), sistema, 256), ErrorArchivo);
}

TEST(Busqueda, PumpsOncePerBlockWithoutTouchingTheBarAndStopsWhenAsked) {
  CarpetaTemporal carpeta;
  std::string datos(96 + 1000, '.');
  const std::string ruta = carpeta.Escribir("p.vip", datos);
  ProgresoGrabado progreso;
  EXPECT_EQ(Buscar_Lista_Mdrl(ruta, 97, progreso, Sistema_Real(), 100), 0);
  EXPECT_EQ(progreso.bombeos, 10);
  EXPECT_TRUE(progreso.eventos.empty());
  EXPECT_TRUE(progreso.valores.empty());

  ProgresoGrabado detener;
  detener.detener_en_bombeo = 3;
  EXPECT_THROW(Buscar_Lista_Mdrl(ruta, 97, detener, Sistema_Real(), 100), Detenido);
}

}  // namespace

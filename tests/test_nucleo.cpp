// SPDX-License-Identifier: MIT
// The block-wise core held to the plain rules, with boundaries and format names at every offset
// near the edges that matter: 96 and 97, byte 367, each block edge and the end of the file.
#include <gtest/gtest.h>

#include "CopiarRango.h"
#include "Referencia.h"
#include "Rutas.h"

namespace {

using ref::kCabecera;
using ref::Proyecto;

// For each block size (25: the real one), a header from position 85 and a format name from 360
// on to past the third block edge; the file ends a byte before the end of either, on it, or after.
TEST(Nucleo, TheScansMatchTheRulesAtEveryEdge) {
  CarpetaTemporal carpeta;
  const std::string nombres[] = {"wav", "mp3", "aif", "ogg", "flac"};
  for (int64_t n = 1; n <= 25; ++n) {
    const size_t bloque = n == 25 ? kTamBloque : static_cast<size_t>(n);
    for (int64_t d = 0; d <= 3 * std::max<int64_t>(n, 12) + 13; ++d) {
      const std::string& nombre = nombres[d % 5];
      for (const int64_t c : {-1, 0, 1}) {
        const int64_t largo = 96 + d + c, largo_texto = 359 + d + nombre.size() + c;
        const std::string audio = Proyecto(d, largo, {{85 + d, kCabecera}});
        const std::string texto = Proyecto(d, largo_texto, {{360 + d, nombre}});
        const std::string a = carpeta.Escribir("a.vip", audio),
                          t = carpeta.Escribir("t.vip", texto);
        ASSERT_EQ(std::pair(Buscar_Lista_Mdrl(a, 97, Sin_Progreso(), Sistema_Real(), bloque),
                            Valido(t, Sin_Progreso(), Sistema_Real(), bloque)),
                  std::pair(ref::Limite(audio), ref::Nombra_Audio(texto)))
            << "block " << bloque << ", header at " << 85 + d << " and " << nombre << " at "
            << 360 + d << ", files ending " << c << " past them";
      }
    }
  }
}

// Whole merges, the boundary at each offset of a 16-byte block near the head, far off, absent (0)
// or in a project naming no audio (-1); templates ending before, on or after it; outputs cloning 8
// or 16 bytes, whole or stopping 20 bytes in (copied on, or with lanzar the run fails).
TEST(Nucleo, TheMergeMatchesTheRule) {
  const struct {
    size_t bloque, clonado;
    uint64_t quedan = UINT64_MAX;
    bool lanzar = false;
  } modos[] = {{3, 0}, {kTamBloque, 0}, {100, 8}, {7, 16}, {kTamBloque, 8, 20}, {5, 16, 20, true}};
  std::vector<int64_t> limites{-1, 0, 1000};
  for (int64_t l = 88; l < 104; ++l) limites.push_back(l);
  for (const int64_t limite : limites) {
    const int64_t b = std::max<int64_t>(limite, 1);
    for (const int64_t largo : {int64_t{0}, b, b + 1, int64_t{3000}}) {
      for (const auto& modo : modos) {
        std::vector<std::pair<int64_t, std::string>> textos{
            {367, limite < 0 ? "Pista=voz.WAV\r\n" : "Pista=voz.wav\r\n"}};
        if (limite != 0) textos.push_back({limite < 0 ? 1009 : limite + 9, kCabecera});
        const Escena escena{Proyecto(limite, 1500, textos), Proyecto(7, largo)};
        SistemaConFallos sistema;
        sistema.bloque = modo.clonado, sistema.quedan = modo.quedan, sistema.lanzar = modo.lanzar;
        EXPECT_EQ(escena.Contrastar(modo.bloque, sistema, modo.lanzar), "")
            << "boundary " << limite << ", template of " << largo << ", block " << modo.bloque
            << ", clones of " << modo.clonado;
        EXPECT_TRUE(sistema.clonados > 0 || modo.clonado == 0 || limite <= 0);
      }
    }
  }
}

// The bar's events as a line of text; the work stops at the pump `detener_en`.
struct Grabado : Progreso {
  std::string eventos;
  int bombeos = 0, detener_en = 0;
  void Fijar_Maximo(int64_t maximo) override { eventos += "max" + std::to_string(maximo) + " "; }
  void Fijar_Valor(int64_t valor) override { eventos += std::to_string(valor) + " "; }
  void Fijar_Visible(bool visible) override { eventos += visible ? "on " : "off "; }
  bool Bombear() override { return ++bombeos != detener_en; }
};

TEST(Nucleo, TheBarMovesAndEveryScanStopsWhenAsked) {
  const Escena escena{Proyecto(1, 1000, {{900, "voz.wav"}, {950, kCabecera}}), Proyecto(2, 1000)};
  const std::string& audio = escena.peticion.audio;
  const auto salida = Sistema_Real().Crear(escena.carpeta / "salida.vip");
  Grabado barra, parada[3];
  Copiar_Rango(escena.peticion.plantilla, 301, 991, *salida, barra, Sistema_Real(), 100);
  EXPECT_EQ(barra.eventos, "max991 on 400 500 600 700 800 900 991 off ");
  for (Grabado& p : parada) p.detener_en = 1;
  EXPECT_THROW(Valido(audio, parada[0], Sistema_Real(), 100), Detenido);
  EXPECT_THROW(Buscar_Lista_Mdrl(audio, 97, parada[1], Sistema_Real(), 100), Detenido);
  EXPECT_THROW(Copiar_Rango(audio, 1, 900, *salida, parada[2], Sistema_Real(), 100), Detenido);
}

#ifdef _WIN32
TEST(Nucleo, WindowsTakesDrivesBothSeparatorsAndLongPaths) {
  EXPECT_EQ(Carpeta_De("\\\\s\\P/Sub\\M.vip:flujo"), "\\\\s\\P/Sub\\");
  EXPECT_EQ(Carpeta_De("C:Mezcla.vip"), "C:");
  // The form the file calls get, which takes paths past 260 characters.
  EXPECT_EQ(Estrecho(Ruta_Ancha("C:/a/./b/../M.vip")), "\\\\?\\C:\\a\\M.vip");
  EXPECT_EQ(Estrecho(Ruta_Ancha("\\\\s\\P/M.vip")), "\\\\?\\UNC\\s\\P\\M.vip");
  EXPECT_EQ(Estrecho(Ruta_Ancha("NUL")), "\\\\.\\NUL");
}
#endif

}  // namespace

// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <sys/statvfs.h>

#include "Carpeta.h"
#include "Generador.h"
#include "Mezcla.h"
#include "Proceso.h"
#include "SistemaQueClona.h"

// Up to max(96, B) from the audio-data project, then the template from B + 1 to its end.
static std::string Composicion(std::string audio, const std::string& plantilla, size_t limite) {
  audio.resize(std::max({size_t{96}, limite, plantilla.size()}), '\0');
  if (plantilla.size() > limite) audio.replace(limite, std::string::npos, plantilla, limite);
  return audio;
}

static Peticion Fuentes(const CarpetaTemporal& en, const std::string& a, const std::string& p) {
  return {en.Escribir("plantilla.vip", p), en.Escribir("audio.vip", a),
          en.Escribir("Importar.vip", "anterior")};
}

// Modes 2 and 3 stop the clone half-way through the head: copied on, or the run fails.
TEST(Clonado, EveryBoundaryOffsetWithinABlockGivesTheComposedBytes) {
  for (size_t bloque : {size_t{8}, size_t{16}})
    for (size_t limite = 88; limite < 88 + bloque; ++limite)      // from below 96 on
      for (size_t largo : {size_t{40}, limite + 5 * bloque + 3})  // B beyond the end, or not
        for (int modo = 0; modo < 4; ++modo) {
          const std::string plantilla = Generar_Vip({{}, 4096, 256, 2}).substr(400, largo);
          std::string audio = Generar_Vip({}).substr(400, limite + 40);  // audio data bytes
          audio.replace(limite + 8, 12, "LIST\x10\0\0\0mdrl", 12);
          CarpetaTemporal carpeta;
          const Peticion peticion = Fuentes(carpeta, audio, plantilla);
          SistemaQueClona sistema(bloque, modo < 2 ? UINT64_MAX : 20, modo == 3);
          Componer(peticion, Sin_Progreso(), sistema, modo % 2 ? kTamBloque : 5);
          EXPECT_EQ(Leer_Archivo(peticion.salida),
                    modo == 3 ? "anterior" : Composicion(audio, plantilla, limite))
              << bloque << " " << limite << " " << largo << " " << modo;
          EXPECT_GT(sistema.clonados, 0u);
        }
}

TEST(Clonado, OnALoopMountedXfsTheOutputTakesUnderOneMebibyteOfNewBlocks) {
  const CarpetaTemporal carpeta, xfs;  // the image, and where it is mounted
  const std::string montar = "f='" + carpeta / "xfs.img" + "'; truncate -s 320M \"$f\" && " +
                             "mkfs.xfs -q \"$f\" && mount -o loop \"$f\" '" + xfs.ruta() + "'";
  if (std::system(montar.c_str()) != 0) GTEST_SKIP() << "cannot mount an XFS (root?): " << montar;
  const std::shared_ptr<void> desmontar(  // and the loop device freed
      nullptr, [&](void*) { std::system(("umount '" + xfs.ruta() + "'").c_str()); });
  const DescripcionVip audio{{"voz.wav"}, 8 << 20}, plantilla{{}, 8 << 20, 256, 2};
  const Peticion peticion = Fuentes(xfs, Generar_Vip(audio), Generar_Vip(plantilla));
  struct statvfs antes, despues;
  ::sync(), ::statvfs(xfs.ruta().c_str(), &antes);
  EXPECT_EQ(Ejecutar_Programa(VIPMERGE_CLI, {peticion.plantilla, peticion.audio}).codigo, 0);
  ::sync(), ::statvfs(xfs.ruta().c_str(), &despues);
  EXPECT_LT(static_cast<int64_t>((antes.f_bfree - despues.f_bfree) * antes.f_frsize), 1 << 20);
  EXPECT_EQ(Leer_Archivo(peticion.salida),
            Composicion(Generar_Vip(audio), Generar_Vip(plantilla), Limite_De(audio)));
}

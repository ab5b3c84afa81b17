// SPDX-License-Identifier: MIT
// Outputs that share extents with their sources.
#include <gtest/gtest.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <memory>

#include "Proceso.h"
#include "Referencia.h"
#include "SistemaConFallos.h"

// Clones of 8 and 16 bytes, with the boundary at each offset of a block from below 96 on and a
// template that ends before it or after it. Modes 2 and 3 stop the clone half-way through the
// head: copied on, or the run fails and replaces nothing.
TEST(Clonado, EveryBoundaryOffsetWithinABlockGivesTheComposedBytes) {
  for (const int64_t bloque : {8, 16})
    for (int64_t limite = 88; limite < 88 + bloque; ++limite)
      for (const int64_t largo : {int64_t{40}, limite + 5 * bloque + 3})
        for (int modo = 0; modo < 4; ++modo) {
          const Escena escena(
              ref::Proyecto(limite, 400, {{367, "voz.wav"}, {limite + 9, ref::kCabecera}}),
              ref::Proyecto(2, largo));
          SistemaConFallos sistema;
          sistema.bloque = bloque, sistema.quedan = modo < 2 ? UINT64_MAX : 20;
          sistema.lanzar = modo == 3;
          const std::string diferencia = escena.Contrastar(modo % 2 ? kTamBloque : 5, sistema);
          const bool bien = modo < 3
                                ? diferencia.empty()
                                : diferencia.rfind("outcome: No se pudo completar", 0) == 0 &&
                                      Leer_Archivo(escena.peticion.salida) == Escena::kAnterior;
          EXPECT_TRUE(bien) << diferencia << ": " << bloque << " " << limite << " " << largo << " "
                            << modo;
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
  const int64_t largo = 8 << 20;
  const std::string audio =
      ref::Proyecto(1, largo, {{367, "voz.wav"}, {largo - 300, ref::kCabecera}});
  const std::string plantilla = ref::Proyecto(2, largo + 300);
  const Peticion peticion{xfs.Escribir("plantilla.vip", plantilla),
                          xfs.Escribir("audio.vip", audio), xfs / "Importar.vip"};
  struct statvfs antes, despues;
  ::sync(), ::statvfs(xfs.ruta().c_str(), &antes);
  EXPECT_EQ(Ejecutar_Programa(VIPMERGE_CLI, {peticion.plantilla, peticion.audio}).codigo, 0);
  ::sync(), ::statvfs(xfs.ruta().c_str(), &despues);
  EXPECT_LT(static_cast<int64_t>((antes.f_bfree - despues.f_bfree) * antes.f_frsize), 1 << 20);
  EXPECT_EQ(Leer_Archivo(peticion.salida), ref::Composicion(audio, plantilla));
}

// SPDX-License-Identifier: MIT
// Whole merges on media made for the test, as root: a FUSE file system (support/soporte.py) that
// loses power or is slow, and XFS and btrfs on loop devices, whose blocks the output shares.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <map>

#include "Referencia.h"

namespace fs = std::filesystem;

namespace {

const std::string kAudio =
    ref::Proyecto(1, 30000, {{367, "Pista=voz.wav\r\n"}, {20009, ref::kCabecera}});
const std::string kPlantilla = ref::Proyecto(2, 90000);
const std::string kNueva = ref::Composicion(kAudio, kPlantilla), kNinguna = "(ninguna)";

// The files of a folder with their bytes; "Importar.vip" is kNinguna when there is none.
std::map<std::string, std::string> Archivos(const std::string& carpeta) {
  std::map<std::string, std::string> archivos{{"Importar.vip", kNinguna}};
  for (const auto& e : fs::directory_iterator(carpeta))
    archivos[e.path().filename()] = Leer_Archivo(e.path());
  return archivos;
}

// The medium `modo` (xfs, btrfs, or a mode of the test file system, which starts with the sources
// and the earlier Importar.vip, if any) mounted on `punto` while this lives.
struct Soporte {
  CarpetaTemporal carpeta;
  const std::string punto = carpeta / "punto", notas = carpeta / "notas";
  const Peticion peticion{punto + "/plantilla.vip", punto + "/audio.vip", punto + "/Importar.vip"};

  Soporte(const std::string& modo, const std::string& anterior = kNinguna) {
    for (const char* nombre : {"origen", "punto", "notas"}) fs::create_directory(carpeta / nombre);
    carpeta.Escribir("origen/audio.vip", kAudio),
        carpeta.Escribir("origen/plantilla.vip", kPlantilla);
    if (anterior != kNinguna) carpeta.Escribir("origen/Importar.vip", anterior);
    const std::string imagen = carpeta / "imagen", origen = carpeta / "origen";
    const std::string montar =
        modo == "xfs" || modo == "btrfs"
            ? "truncate -s 320M " + imagen + " && mkfs." + modo + " -q -f " + imagen +
                  " >/dev/null && mount -o loop " + imagen + " " + punto
            : "/usr/bin/python3 " SOPORTE " " + modo + " " + origen + " " + punto + " " + notas;
    if (std::system(montar.c_str()) != 0) throw std::runtime_error("not mounted: " + montar);
  }
  ~Soporte() { ::umount2(punto.c_str(), MNT_DETACH); }
};

// Each pump a byte added to `paso`, where the slow medium counts them.
struct Bombeos : Progreso {
  std::string paso;
  bool Bombear() override { return std::ofstream(paso, std::ios::app) << '.', true; }
};

// A power cut after any change the merge makes leaves the sources as they were and the output as
// it was (none or an earlier one), or whole and new; new once the merge has said so. Every chmod
// fails there, as on FAT. On a slow one the pumps go on through the flush, the rename and the
// folder's flush.
TEST(Soporte, AMergeOnAMediumThatLosesPowerOrIsSlowKeepsTheOutputWholeAndPumps) {
  if (::geteuid() != 0 || ::access("/dev/fuse", R_OK | W_OK) != 0)
    GTEST_SKIP() << "mounting the test file system takes root and /dev/fuse";
  for (const auto& [modo, anterior] : {std::pair{std::string("corte"), kNinguna},
                                       {"corte", "un Importar.vip anterior"},
                                       {"lento", "anterior"}}) {
    const Soporte soporte(modo, anterior);
    Bombeos bombeos;
    bombeos.paso = modo == "lento" ? soporte.notas + "/paso" : "";
    const Peticion& peticion = soporte.peticion;
    EXPECT_EQ(Mensaje(peticion, Mezclar(peticion, bombeos)), kMsgFinalizado + peticion.salida);
    std::map<std::string, std::string> esperados{
        {"Importar.vip", kNueva}, {"audio.vip", kAudio}, {"plantilla.vip", kPlantilla}};
    EXPECT_EQ(Archivos(soporte.punto), esperados) << modo;
    std::set<std::string> cortes;  // in the order of the changes
    for (const auto& e : fs::directory_iterator(soporte.notas)) cortes.insert(e.path());
    for (const std::string& corte : modo == "corte" ? cortes : std::set<std::string>{}) {
      std::map<std::string, std::string> quedan = Archivos(corte);
      const bool al_final = corte == *cortes.rbegin();  // after the merge said it was done
      esperados["Importar.vip"] =
          al_final || quedan["Importar.vip"] != anterior ? kNueva : anterior;
      EXPECT_TRUE(quedan == esperados)
          << corte << " leaves an output of " << quedan["Importar.vip"].size() << " bytes";
    }
    for (const char* paso : {"fsync", "rename", "fsyncdir"})
      EXPECT_TRUE(modo != "lento" || Leer_Archivo(soporte.notas + "/" + paso).size() >= 2) << paso;
  }
}

// The boundary before, on and after a block's edge, the audio-data project shorter and longer
// than the output: the output clones what it can and holds the rule's bytes.
TEST(Soporte, OnXfsAndBtrfsTheClonedOutputMatchesTheRule) {
  if (::geteuid() != 0) GTEST_SKIP() << "making XFS and btrfs on loop devices takes root";
  std::string sin_mkfs;
  for (const std::string& sistema : {std::string("xfs"), std::string("btrfs")}) {
    if (std::system(("command -v mkfs." + sistema + " >/dev/null").c_str()) != 0) {
      sin_mkfs += " mkfs." + sistema;
      continue;
    }
    const Soporte soporte(sistema);
    for (const int64_t limite : {8191, 8192, 8193}) {
      for (const int64_t largo_audio : {limite + 5000, int64_t{60000}}) {
        const std::string audio =
            ref::Proyecto(3, largo_audio, {{367, "voz.wav"}, {limite + 9, ref::kCabecera}});
        const std::string plantilla = ref::Proyecto(4, 40000);
        const Peticion& peticion = soporte.peticion;
        soporte.carpeta.Escribir("punto/plantilla.vip", plantilla);
        soporte.carpeta.Escribir("punto/audio.vip", audio);
        EXPECT_EQ(Mezclar(peticion).desenlace, Desenlace::Escrito);
        EXPECT_TRUE(Leer_Archivo(peticion.salida) == ref::Composicion(audio, plantilla))
            << sistema << ", boundary " << limite << ", audio of " << largo_audio;
      }
    }
  }
  if (!sin_mkfs.empty()) GTEST_SKIP() << "not made, as there is no" << sin_mkfs;
}

}  // namespace

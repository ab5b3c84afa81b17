// SPDX-License-Identifier: MIT
// Whole merges on media made for the test: a FUSE file system (support/soporte.py) that loses
// power, fails or is slow, and XFS and btrfs on loop devices, whose blocks the output shares.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <thread>

#include "Referencia.h"

namespace fs = std::filesystem;

namespace {

const std::string kAudio =
    ref::Proyecto(1, 30000, {{367, "Pista=voz.wav\r\n"}, {20009, ref::kCabecera}});
const std::string kPlantilla = ref::Proyecto(2, 90000);
const std::string kNueva = ref::Composicion(kAudio, kPlantilla), kNinguna = "(ninguna)";

// The files of a folder with their bytes.
std::map<std::string, std::string> Archivos(const std::string& carpeta) {
  std::map<std::string, std::string> archivos;
  for (const auto& e : fs::directory_iterator(carpeta))
    archivos[e.path().filename()] = Leer_Archivo(e.path());
  return archivos;
}

// The test file system in `modo` on its own folder, holding the sources and maybe an earlier
// Importar.vip, mounted while this lives; what it notes goes to `notas`.
struct Soporte {
  CarpetaTemporal carpeta;
  const std::string punto = carpeta / "punto", notas = carpeta / "notas";
  const Peticion peticion{punto + "/plantilla.vip", punto + "/audio.vip", punto + "/Importar.vip"};
  pid_t proceso = -1;

  Soporte(const std::string& modo, const std::string& anterior) {
    for (const char* nombre : {"origen", "punto", "notas"}) fs::create_directory(carpeta / nombre);
    carpeta.Escribir("origen/audio.vip", kAudio),
        carpeta.Escribir("origen/plantilla.vip", kPlantilla);
    if (anterior != kNinguna) carpeta.Escribir("origen/Importar.vip", anterior);
    const std::string origen = carpeta / "origen";
    if ((proceso = ::fork()) == 0) {
      ::execl("/usr/bin/python3", "python3", SOPORTE, modo.c_str(), origen.c_str(), punto.c_str(),
              notas.c_str(), nullptr);
      ::_exit(127);
    }
    struct stat de_punto = {}, de_carpeta = {};
    for (int i = 0; i < 1000 && de_punto.st_dev == de_carpeta.st_dev; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));  // until it is mounted
      ::stat(punto.c_str(), &de_punto), ::stat(carpeta.ruta().c_str(), &de_carpeta);
    }
    if (de_punto.st_dev == de_carpeta.st_dev) throw std::runtime_error("not mounted: " + modo);
  }
  ~Soporte() {
    ::umount2(punto.c_str(), MNT_DETACH);
    ::waitpid(proceso, nullptr, 0);
  }
};

#define SIN_FUSE_SALTAR()                                     \
  if (::geteuid() != 0 || ::access("/dev/fuse", R_OK | W_OK)) \
  GTEST_SKIP() << "mounting the test file system takes root and /dev/fuse"

// A cut after each change the merge makes, over an earlier Importar.vip or none: the sources as
// they were, the output absent or earlier, or whole and new; new once the merge has said so.
TEST(Soporte, APowerCutAtAnyMomentLeavesTheEarlierOrTheWholeNewOutput) {
  SIN_FUSE_SALTAR();
  for (const std::string& anterior : {kNinguna, std::string("un Importar.vip anterior")}) {
    const Soporte soporte("corte", anterior);
    ASSERT_EQ(Mezclar(soporte.peticion).desenlace, Desenlace::Escrito);
    std::set<std::string> cortes;
    for (const auto& e : fs::directory_iterator(soporte.notas)) cortes.insert(e.path());
    ASSERT_FALSE(cortes.empty());
    for (const std::string& corte : cortes) {
      std::map<std::string, std::string> quedan = Archivos(corte);
      const std::string salida = quedan.count("Importar.vip") ? quedan["Importar.vip"] : kNinguna;
      EXPECT_TRUE(salida == anterior || salida == kNueva)
          << "cut " << corte << " leaves " << salida.size() << " bytes";
      EXPECT_TRUE(quedan["audio.vip"] == kAudio && quedan["plantilla.vip"] == kPlantilla);
    }
    EXPECT_EQ(Archivos(*cortes.rbegin())["Importar.vip"], kNueva) << "not durable when done";
  }
}

// A medium that fails writes past a block or every write fails the merge with the system's
// reason, the earlier output kept; one where the mode cannot be set (FAT-like) merges.
TEST(Soporte, AFaultyMediumFailsWithItsReasonAndKeepsTheEarlierOutput) {
  SIN_FUSE_SALTAR();
  for (const auto& [modo, razon] : {std::pair{"eio:40000", " (Error de entrada/salida)"},
                                    {"enospc", " (No queda espacio en el dispositivo)"},
                                    {"eperm", ""}}) {
    const Soporte soporte(modo, "anterior");
    const Peticion& peticion = soporte.peticion;
    const std::string mensaje = Mensaje(peticion, Mezclar(peticion));
    EXPECT_EQ(mensaje, *razon ? kMsgFalloEscritura + peticion.salida + razon
                              : kMsgFinalizado + peticion.salida);
    EXPECT_EQ(Archivos(soporte.punto)["Importar.vip"], *razon ? "anterior" : kNueva) << modo;
    EXPECT_EQ(Archivos(soporte.punto).size(), 3u) << modo;
  }
}

// Each dot a pump: the flush, the rename and the folder's flush each wait for two.
struct Bombeos : Progreso {
  std::string paso;
  bool Bombear() override { return std::ofstream(paso, std::ios::app) << '.', true; }
};

TEST(Soporte, OnASlowMediumThePumpsGoOnThroughEachSlowStep) {
  SIN_FUSE_SALTAR();
  const Soporte soporte("lento", "anterior");
  Bombeos bombeos;
  bombeos.paso = soporte.notas + "/paso";
  EXPECT_EQ(Mezclar(soporte.peticion, bombeos).desenlace, Desenlace::Escrito);
  for (const std::string paso : {"fsync", "rename", "fsyncdir"})
    EXPECT_GE(Leer_Archivo(soporte.notas + "/" + paso).size(), 2u) << paso;
}

// Unmounts the file system on `punto` at the end of its scope.
struct Montado {
  const std::string punto;
  ~Montado() { ::umount2(punto.c_str(), MNT_DETACH); }
};

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
    const CarpetaTemporal carpeta;
    const Montado disco{carpeta / "disco"};
    fs::create_directory(disco.punto);
    ASSERT_EQ(std::system(("truncate -s 320M " + carpeta / "imagen" + " && mkfs." + sistema +
                           " -q -f " + carpeta / "imagen" + " >/dev/null && mount -o loop " +
                           carpeta / "imagen " + disco.punto)
                              .c_str()),
              0);
    for (const int64_t limite : {8191, 8192, 8193}) {
      for (const int64_t largo_audio : {limite + 5000, int64_t{60000}}) {
        const std::string audio =
            ref::Proyecto(3, largo_audio, {{367, "voz.wav"}, {limite + 9, ref::kCabecera}});
        const std::string plantilla = ref::Proyecto(4, 40000);
        const Peticion peticion{carpeta.Escribir("disco/plantilla.vip", plantilla),
                                carpeta.Escribir("disco/audio.vip", audio),
                                disco.punto + "/Importar.vip"};
        EXPECT_EQ(Mezclar(peticion).desenlace, Desenlace::Escrito);
        EXPECT_TRUE(Leer_Archivo(peticion.salida) == ref::Composicion(audio, plantilla))
            << sistema << ", boundary " << limite << ", audio of " << largo_audio;
      }
    }
  }
  if (!sin_mkfs.empty()) GTEST_SKIP() << "not made, as there is no" << sin_mkfs;
}

}  // namespace

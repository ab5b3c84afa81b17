// SPDX-License-Identifier: MIT
// vipmerge-cli as a script runs it: arguments (and a fault planted in the file layer) in; exit
// code, stdout, stderr and the files of the folder out. Whatever happens, three promises hold:
// the earlier output stays byte for byte unless the run writes it, no temporary file is left,
// and the sources keep what they held (or what the fault left in them).
#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>

#include "Texto.h"
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <map>
#include <sstream>

#include "BarraTerminal.h"
#include "Carpeta.h"
#include "Cli.h"
#include "Proceso.h"
#include "Referencia.h"

// The vez-th call of funcion on a path that ends with `archivo` fails with `error`, or moves
// half the bytes asked for, or first cuts the file to half its length. While pread or pwrite
// carry a fault, the kernel's copy is refused as unsupported, so that transfers use them. The
// functions are wrapped below the POSIX file layer (-Wl,--wrap), so that its own checks run.
// "señal" stands for the stop that a signal asks for, passed on by the terminal's bar.
struct Fallo {
  std::string funcion, archivo;
  int vez = 1, error = 0;
  bool corto = false, recortar = false;
};
static Fallo plantado;
static int vistas = 0;

#ifndef _WIN32
static std::string Ruta_De(int fd) {
  char ruta[4096];
  const ssize_t n = ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), ruta, sizeof ruta);
  return std::string(ruta, n > 0 ? static_cast<size_t>(n) : 0);
}

// Whether the call may go on; *n becomes what it may move.
static bool Sigue(const char* funcion, const std::string& ruta, size_t* n = nullptr) {
  const std::string& final = plantado.archivo;
  if (plantado.funcion != funcion || ruta.size() < final.size() ||
      ruta.compare(ruta.size() - final.size(), final.size(), final) != 0 ||
      ++vistas != plantado.vez) {
    return true;
  }
  if (plantado.recortar) std::filesystem::resize_file(ruta, std::filesystem::file_size(ruta) / 2);
  if (plantado.corto) *n = (*n + 1) / 2;
  errno = plantado.error;
  return plantado.error == 0;
}

extern "C" {
ssize_t __real_pread(int, void*, size_t, off_t);
ssize_t __real_pwrite(int, const void*, size_t, off_t);
ssize_t __real_copy_file_range(int, off_t*, int, off_t*, size_t, unsigned);
int __real_fsync(int);
int __real_close(int);
int __real_rename(const char*, const char*);
int __real_stat(const char*, struct stat*);

ssize_t __wrap_pread(int fd, void* datos, size_t n, off_t offset) {
  return Sigue("pread", Ruta_De(fd), &n) ? __real_pread(fd, datos, n, offset) : -1;
}
ssize_t __wrap_pwrite(int fd, const void* datos, size_t n, off_t offset) {
  return Sigue("pwrite", Ruta_De(fd), &n) ? __real_pwrite(fd, datos, n, offset) : -1;
}
ssize_t __wrap_copy_file_range(int de, off_t* desde, int a, off_t* hasta, size_t n, unsigned f) {
  if (plantado.funcion == "pread" || plantado.funcion == "pwrite") return errno = ENOSYS, -1;
  const bool sigue = Sigue("copy_file_range", Ruta_De(de), &n);
  return sigue ? __real_copy_file_range(de, desde, a, hasta, n, f) : -1;
}
int __wrap_fsync(int fd) {
  return Sigue("fsync", Ruta_De(fd)) ? __real_fsync(fd) : -1;
}
int __wrap_close(int fd) {
  const bool sigue = Sigue("close", Ruta_De(fd));
  const int cerrado = __real_close(fd);  // a close that fails frees the descriptor all the same
  return sigue ? cerrado : -1;
}
int __wrap_rename(const char* de, const char* a) {
  return Sigue("rename", a) ? __real_rename(de, a) : -1;
}
int __wrap_stat(const char* ruta, struct stat* datos) {
  return Sigue("stat", ruta) ? __real_stat(ruta, datos) : -1;
}
}
#endif

namespace {

using ref::kCabecera;
using ref::Proyecto;

const std::string kAudio = Proyecto(1, 3000, {{367, "Pista=voz.wav\r\n"}, {2009, kCabecera}});
const std::string kPlantilla = Proyecto(2, 4000);
// Written over by a run that writes Importar.vip: its mode stays.
const std::string kAnterior = "un Importar.vip anterior";
const std::string kLargo = std::string(251, 'n') + ".vip";  // the longest name a folder takes

// In the table @ stands for the folder, @A and @P for the audio-data project and the template
// in it, and in stderr USO for what --help prints. `salida` names the file that must hold the
// merge; no other file may change. A case with a fault runs in this process, the others run
// the real program.
struct Caso {
  std::vector<std::string> argumentos;
  int codigo;
  std::string out, err, salida = "";
  Fallo fallo = {};
};

const std::string kF = "Finalizado la escritura de: ";
const std::string kN = "El proyecto no nombra ningún archivo de audio: ";
const std::string kS = "No se encontró la lista de parámetros (LIST mdrl) en: ";
const std::string kX = "No se pudo completar la escritura de: ";
const std::string kU = "vipmerge-cli: ", kNo = " (no se encuentra como archivo normal)\n";
const std::string kI = kX + "@/Importar.vip (", kES = kI + "Error de entrada/salida";
const std::vector<std::string> kPA = {"@P", "@A"};
// clang-format off
const Caso kCasos[] = {
    {{}, 64, "", kU + "hacen falta dos proyectos: PLANTILLA y AUDIO\nUSO"},
    {{"-"}, 64, "", kU + "hacen falta dos proyectos: PLANTILLA y AUDIO\nUSO"},
    {{"-o"}, 64, "", kU + "-o necesita una ruta de salida\nUSO"},
    {{"-o", "x", "-o", "y", "a", "b"}, 64, "", kU + "la salida se indica una sola vez\nUSO"},
    {{"--output=", "a", "b"}, 64, "", kU + "la ruta de salida está vacía\nUSO"},
    {{"--check"}, 64, "", kU + "--check necesita exactamente un proyecto AUDIO\nUSO"},
    {{"--check", "-o", "x", "a"}, 64, "", kU + "--check no escribe nada: sobra -o\nUSO"},
    {{"--nada", "a", "b"}, 64, "", kU + "opción desconocida: --nada\nUSO"},
    {{"@P", "@A"}, 0, kF + "@/Importar.vip\n", "", "Importar.vip"},
    {{"-o", "@/otra.vip", "@P", "@A"}, 0, kF + "@/otra.vip\n", "", "otra.vip"},
    {{"--output=@/otra.vip", "@P", "@A"}, 0, kF + "@/otra.vip\n", "", "otra.vip"},
    {{"@/P.VIP", "@A"}, 0, kF + "@/Importar.vip\n", "", "Importar.vip"},
    {{"--", "-o", "@A"}, 3, "", kI + "no es un proyecto .vip: -o)\n"},
    {{"@P", "@/mudo.vip"}, 1, "", kN + "@/mudo.vip\n"},
    {{"@P", "@/falta.vip"}, 1, "", kN + "@/falta.vip" + kNo},
    {{"@P", "@/proyecto"}, 1, "", kN + "@/proyecto (la ruta no tiene ningún \".\")\n"},
    {{"@P", "@/FreezeData.vip"}, 1, "", kN + "@/FreezeData.vip (la ruta contiene \"FreezeData\")\n"},
    {{"@P", "@/.oculto.vip"}, 1, "", kN + "@/.oculto.vip" + kNo},
    {{"@P", "@/canción ñandú 音.vip"}, 0, kF + "@/Importar.vip\n", "", "Importar.vip"},
#ifndef _WIN32
    {{"-o", "@/" + kLargo, "@P", "@A"}, 0, kF + "@/" + kLargo + "\n", "", kLargo},
    {{"@P", "@/tubo.vip"}, 1, "", kN + "@/tubo.vip" + kNo},
    {{"-o", "@/tubo.vip", "@P", "@A"}, 3, "", kX + "@/tubo.vip (no es un archivo normal)\n"},
#endif
    {{"@P", "@/cabecera-96.vip"}, 2, "", kS + "@/cabecera-96.vip\n"},
    {{"@/p.txt", "@A"}, 3, "", kX + "@/Importar.vip (no es un proyecto .vip: @/p.txt)\n"},
    {{"@/falta.vip", "@A"}, 3, "", kX + "@/Importar.vip (no se encuentra el proyecto: @/falta.vip)\n"},
    {{"-o", "@/no/I.vip", "@P", "@A"}, 3, "", kX + "@/no/I.vip (No existe el archivo o el directorio)\n"},
    {{"-o", "@/carpeta", "@P", "@A"}, 3, "", kX + "@/carpeta (Es un directorio)\n"},
    {{"--check", "@A"}, 0, "valido: si\nlimite: 2000\n", ""},
    {{"--check", "@/cabecera-96.vip"}, 2, "valido: si\nlimite: 0\n", kS + "@/cabecera-96.vip\n"},
    {{"--check", "@/mudo.vip"}, 1, "valido: no\nlimite: 2000\n", kN + "@/mudo.vip\n"},
    {{"--check", "@/falta.vip"}, 1, "valido: no\nlimite: 0\n", kN + "@/falta.vip" + kNo},
    {kPA, 3, "", "Se interrumpió la escritura de: @/Importar.vip\n", "", {"señal", ""}},
#ifndef _WIN32
    // The audio-data project is read once by the check and by the search, and once by each of
    // its two stages; the template once.
    {kPA, 3, "", "No se pudo leer: @/audio.vip (Error de entrada/salida)\n", "", {"pread", "audio.vip", 1, EIO}},
    {kPA, 3, "", kES + ": @/audio.vip)\n", "", {"pread", "audio.vip", 3, EIO}},
    {kPA, 0, kF + "@/Importar.vip\n", "", "Importar.vip", {"pread", "audio.vip", 3, EINTR}},
    {kPA, 0, kF + "@/Importar.vip\n", "", "Importar.vip", {"pread", "audio.vip", 4, 0, true}},
    {kPA, 3, "", kES + ": @/plantilla.vip)\n", "", {"pread", "plantilla.vip", 1, EIO}},
    {kPA, 3, "", kES + ")\n", "", {"pwrite", "tmp", 1, EIO}},
    {kPA, 3, "", kI + "No queda espacio en el dispositivo)\n", "", {"pwrite", "tmp", 3, ENOSPC}},
    {kPA, 0, kF + "@/Importar.vip\n", "", "Importar.vip", {"pwrite", "tmp", 2, 0, true}},
    {kPA, 3, "", kES + ": @/audio.vip)\n", "", {"copy_file_range", "audio.vip", 2, EIO}},
    {kPA, 3, "", kI + "No queda espacio en el dispositivo)\n", "", {"copy_file_range", "plantilla.vip", 1, ENOSPC}},
    {kPA, 0, kF + "@/Importar.vip\n", "", "Importar.vip", {"copy_file_range", "", 1, ENOSYS}},
    {kPA, 0, kF + "@/Importar.vip\n", "", "Importar.vip", {"copy_file_range", "plantilla.vip", 1, 0, true}},
    {kPA, 3, "", kES + ")\n", "", {"fsync", "tmp", 1, EIO}},
    {kPA, 3, "", kES + ")\n", "", {"close", "tmp", 1, EIO}},
    {kPA, 3, "", kES + ")\n", "", {"rename", "Importar.vip", 1, EIO}},
    // Cut as its stage opens it, after it was measured.
    {kPA, 3, "", kI + "el archivo ha cambiado durante la lectura: @/plantilla.vip)\n", "",
     {"stat", "plantilla.vip", 3, 0, false, true}},
#endif
};
// clang-format on

std::string Con(std::string texto, const std::string& d, const std::string& uso = "") {
  if (texto == "@A" || texto == "@P") return d + (texto == "@A" ? "/audio.vip" : "/plantilla.vip");
  for (size_t i; (i = texto.find('@')) != std::string::npos;) texto.replace(i, 1, d);
  const size_t en = texto.rfind("USO");
  return en == std::string::npos ? texto : texto.replace(en, 3, uso);
}

// The files of the folder with their bytes; "" for a folder or a FIFO.
std::map<std::string, std::string> Contenido(const CarpetaTemporal& d) {
  std::map<std::string, std::string> contenido;
  for (const std::string& nombre : d.Nombres()) {
    contenido[nombre] =
        std::filesystem::is_regular_file(d / nombre) ? Leer_Archivo(d / nombre) : "";
  }
  return contenido;
}

void Preparar(const CarpetaTemporal& d) {
  for (const char* nombre : {"plantilla.vip", "P.VIP", "p.txt"}) d.Escribir(nombre, kPlantilla);
  for (const char* nombre :
       {"audio.vip", "proyecto", "FreezeData.vip", ".oculto.vip", "canción ñandú 音.vip"})
    d.Escribir(nombre, kAudio);
  d.Escribir("mudo.vip", Proyecto(3, 3000, {{2009, kCabecera}}));
  d.Escribir("cabecera-96.vip", Proyecto(4, 3000, {{96, kCabecera}, {367, "voz.wav"}}));
  d.Escribir("Importar.vip", kAnterior);
  std::filesystem::create_directory(d / "carpeta");
#ifdef _WIN32
  SetFileAttributesW(Ancho(d / ".oculto.vip").c_str(), FILE_ATTRIBUTE_HIDDEN);
#else
  ::mkfifo((d / "tubo.vip").c_str(), 0600);
  ::chmod((d / "Importar.vip").c_str(), 0640);
#endif
}

Ejecucion Ejecutar(const Caso& caso, const std::vector<std::string>& argumentos) {
  if (caso.fallo.funcion.empty()) return Ejecutar_Programa(VIPMERGE_CLI, argumentos);
  plantado = caso.fallo, vistas = 0;
  const volatile std::sig_atomic_t detener = caso.fallo.funcion == "señal";
  BarraTerminal barra(stderr, false, &detener);
  std::ostringstream out, err;
  const int codigo = Ejecutar_Cli(argumentos, out, err, barra);
  EXPECT_TRUE(detener || vistas >= caso.fallo.vez) << "the fault was never reached";
  plantado = {};
  return {codigo, out.str(), err.str()};
}

TEST(Cli, EachCaseExitsPrintsAndWritesAsAScriptExpects) {
  const Ejecucion ayuda = Ejecutar_Programa(VIPMERGE_CLI, {"--help"});
  ASSERT_EQ(ayuda.salida.rfind("Uso:\n  vipmerge-cli [-o SALIDA] PLANTILLA AUDIO\n", 0), 0u);
  for (const Caso& caso : kCasos) {
    CarpetaTemporal d;
    Preparar(d);
    std::map<std::string, std::string> esperado = Contenido(d);
    if (!caso.salida.empty()) esperado[caso.salida] = ref::Composicion(kAudio, kPlantilla);
    if (caso.fallo.recortar) esperado[caso.fallo.archivo].resize(kPlantilla.size() / 2);
    std::vector<std::string> argumentos;
    for (const std::string& argumento : caso.argumentos)
      argumentos.push_back(Con(argumento, d.ruta()));
    const Ejecucion ejecucion = Ejecutar(caso, argumentos);
    const std::string contexto = ::testing::PrintToString(argumentos);
    EXPECT_EQ(ejecucion.codigo, caso.codigo) << contexto;
    EXPECT_EQ(ejecucion.salida, Con(caso.out, d.ruta())) << contexto;
    EXPECT_EQ(ejecucion.errores, Con(caso.err, d.ruta(), ayuda.salida)) << contexto;
    EXPECT_TRUE(Contenido(d) == esperado) << contexto;
#ifndef _WIN32
    struct stat datos;
    EXPECT_TRUE(::stat((d / "Importar.vip").c_str(), &datos) == 0 &&
                (datos.st_mode & 0777) == 0640);
#endif
  }
}

}  // namespace

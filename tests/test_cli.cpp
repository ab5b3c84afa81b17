// SPDX-License-Identifier: MIT
// vipmerge-cli as a script runs it: arguments (and a fault planted in the file layer) in; exit
// code, stdout, stderr and the folder's files out: no other file changes, no temporary is left.
#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>

#include "LlamadasWin32.h"
#else
#include <grp.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#endif

#include <csignal>
#include <map>
#include <sstream>
#include <thread>

#include "BarraTerminal.h"
#include "Cli.h"
#include "Referencia.h"

namespace fs = std::filesystem;

// The vez-th call of funcion on a path holding `archivo` fails with `error` (on Windows vez 0:
// every call), moves half the bytes asked for, or first halves the file; wrapped below the POSIX
// file layer (-Wl,--wrap), or put in the Windows layer's table of calls, so that the layer's own
// checks run. "señal": the terminal bar's stop is asked for; "retener": another program holds
// `archivo` open until 150 ms after the vez-th try to replace it (0: throughout).
struct Fallo {
  std::string funcion, archivo;
  int vez = 1, error = 0;
  bool corto = false, recortar = false;
  int vistas = 0;  // the calls of funcion on `archivo` so far
};
static Fallo plantado;

#ifndef _WIN32
static std::string Ruta(int fd) {
  std::error_code e;
  return fs::read_symlink("/proc/self/fd/" + std::to_string(fd), e).string();
}

// Whether the call may go on; *n becomes what it may move. While pread or pwrite carry a fault,
// the kernel's copy is refused as unsupported, so that transfers use them.
static bool Sigue(const std::string& funcion, const std::string& ruta, size_t* n = nullptr) {
  if (funcion == "copy_file_range" && (plantado.funcion == "pread" || plantado.funcion == "pwrite"))
    return errno = ENOSYS, false;
  if (plantado.funcion != funcion || ruta.find(plantado.archivo) == std::string::npos ||
      ++plantado.vistas != plantado.vez)
    return true;
  if (plantado.recortar) fs::resize_file(ruta, fs::file_size(ruta) / 2);
  if (plantado.corto) *n = (*n + 1) / 2;
  return errno = plantado.error, plantado.error == 0;
}

#define ENVOLVER(T, f, P, R, N, A)              \
  T __real_##f P;                               \
  T __wrap_##f P {                              \
    return Sigue(#f, R, N) ? __real_##f A : -1; \
  }
extern "C" {
ENVOLVER(ssize_t, pread, (int fd, void* d, size_t n, off_t o), Ruta(fd), &n, (fd, d, n, o))
ENVOLVER(ssize_t, pwrite, (int fd, const void* d, size_t n, off_t o), Ruta(fd), &n, (fd, d, n, o))
ENVOLVER(ssize_t, copy_file_range, (int de, off_t* x, int a, off_t* y, size_t n, unsigned f),
         Ruta(de), &n, (de, x, a, y, n, f))
ENVOLVER(int, fsync, (int fd), Ruta(fd), nullptr, (fd))
ENVOLVER(int, rename, (const char* de, const char* a), a, nullptr, (de, a))
ENVOLVER(int, stat, (const char* r, struct stat* d), r, nullptr, (r, d))
ENVOLVER(int, access, (const char* r, int modo), r, nullptr, (r, modo))
ENVOLVER(int, ioctl, (int fd, unsigned long orden, void* a), Ruta(fd), nullptr, (fd, orden, a))
int __real_close(int);
int __wrap_close(int fd) {  // a close that fails frees the descriptor all the same
  const bool sigue = Sigue("close", Ruta(fd));
  return __real_close(fd) != 0 || !sigue ? -1 : 0;
}
}
// clang-format off
const std::string kLee = "pread", kEscribe = "pwrite", kVuelca = "fsync", kCierra = "close", kMueve = "rename", kMira = "access";
// clang-format on
constexpr int kEIO = EIO, kENOSPC = ENOSPC, kEACCES = EACCES;
static SistemaArchivos& sistema_con_fallos = Sistema_Real();  // its calls wrapped above
#else
static std::string Ruta(HANDLE archivo) {
  std::wstring ruta(32768, L'\0');
  return Estrecho(ruta.substr(0, GetFinalPathNameByHandleW(archivo, ruta.data(), 32768, 0)));
}

static bool Sigue(const std::string& funcion, const std::string& ruta, DWORD* n = nullptr) {
  if (plantado.funcion != funcion || ruta.find(plantado.archivo) == std::string::npos ||
      (++plantado.vistas != plantado.vez && plantado.vez != 0))
    return true;
  if (plantado.corto) *n = (*n + 1) / 2;
  return SetLastError(plantado.error), plantado.error == 0;
}

static FILE* retenedor = nullptr;  // the pipe from a program that holds a file open
static std::thread soltando;       // closes that pipe after a while

#define ENVOLVER(f, P, R, N, A, FALLO) l.f = [] P { return Sigue(#f, R, N) ? ::f A : FALLO; }
// clang-format off
static const LlamadasWin32 kConFallos = [](LlamadasWin32 l = {}) {
  ENVOLVER(CreateFileW, (LPCWSTR r, DWORD a, DWORD c, LPSECURITY_ATTRIBUTES s, DWORD d, DWORD f, HANDLE p), Estrecho(r), nullptr, (r, a, c, s, d, f, p), INVALID_HANDLE_VALUE);
  ENVOLVER(ReadFile, (HANDLE h, LPVOID d, DWORD n, LPDWORD x, LPOVERLAPPED o), Ruta(h), &n, (h, d, n, x, o), FALSE);
  ENVOLVER(WriteFile, (HANDLE h, LPCVOID d, DWORD n, LPDWORD x, LPOVERLAPPED o), Ruta(h), &n, (h, d, n, x, o), FALSE);
  ENVOLVER(FlushFileBuffers, (HANDLE h), Ruta(h), nullptr, (h), FALSE);
  ENVOLVER(GetFileSizeEx, (HANDLE h, PLARGE_INTEGER t), Ruta(h), nullptr, (h, t), FALSE);
  ENVOLVER(GetFileAttributesW, (LPCWSTR r), Estrecho(r), nullptr, (r), INVALID_FILE_ATTRIBUTES);
  l.MoveFileExW = [](LPCWSTR de, LPCWSTR a, DWORD f) -> BOOL {  // "retener" starts letting go
    if (retenedor && plantado.funcion == "retener" && ++plantado.vistas == plantado.vez) soltando = std::thread([] { Sleep(150), _pclose(std::exchange(retenedor, nullptr)); });
    return Sigue("MoveFileExW", Estrecho(a)) ? ::MoveFileExW(de, a, f) : FALSE;
  };
  l.CloseHandle = [](HANDLE h) -> BOOL {  // a close that fails frees the handle all the same
    const bool sigue = Sigue("CloseHandle", Ruta(h));
    return ::CloseHandle(h) && sigue;
  };
  return l;
}();
const std::string kLee = "ReadFile", kEscribe = "WriteFile", kVuelca = "FlushFileBuffers", kCierra = "CloseHandle", kMueve = "MoveFileExW", kMira = "GetFileAttributesW";
// clang-format on
constexpr int kEIO = ERROR_IO_DEVICE, kENOSPC = ERROR_DISK_FULL, kEACCES = ERROR_ACCESS_DENIED;

// Starts tests/retener.cpp on the file; returns the pipe from it once it holds the file.
static FILE* Retener(const std::string& ruta) {
  const std::string programa = std::string(RETENER[0] == '/' ? "Z:" : "") + RETENER;  // Wine's /
  FILE* tubo = _wpopen(Ancho("\"\"" + programa + "\" \"" + ruta + "\"\"").c_str(), L"r");
  char linea[16];
  if (tubo == nullptr || !std::fgets(linea, sizeof linea, tubo)) throw std::runtime_error(ruta);
  return tubo;
}
static SistemaArchivos& sistema_con_fallos = *Sistema_Win32(kConFallos).release();
#endif

namespace {

const std::string kAudio =
    ref::Proyecto(1, 3000, {{367, "Pista=voz.wav\r\n"}, {2009, ref::kCabecera}});
const std::string kPlantilla = ref::Proyecto(2, 9000);  // whole blocks to clone past the boundary

// @ is the folder, USO in stderr what --help prints; "-c" first runs the program in that shell
// line. `salida` must hold the merge. A case with a fault runs in this process.
struct Caso {
  std::vector<std::string> argumentos;
  int codigo;
  std::string out, err, salida = "";
  Fallo fallo = {};
};

const std::string kF = "Finalizado la escritura de: ", kFI = kF + "@/Importar.vip\n";
const std::string kN = "El proyecto no nombra ningún archivo de audio: ";
const std::string kS = "No se encontró la lista de parámetros (LIST mdrl) en: ";
const std::string kX = "No se pudo completar la escritura de: ", kI = kX + "@/Importar.vip (";
const std::string kU = "vipmerge-cli: ", kNo = " (no se encuentra como archivo normal)\n";
const std::string kES = kI + "Error de entrada/salida";
const std::vector<std::string> kPA = {"@/plantilla.vip", "@/audio.vip"};
// clang-format off
const Caso kCasos[] = {
    {{"-"}, 64, "", kU + "hacen falta dos proyectos: PLANTILLA y AUDIO\nUSO"},
    {{"-o"}, 64, "", kU + "-o necesita una ruta de salida\nUSO"},
    {{"-o", "x", "--output=y", "a", "b"}, 64, "", kU + "la salida se indica una sola vez\nUSO"},
    {{"--output=", "a", "b"}, 64, "", kU + "la ruta de salida está vacía\nUSO"},
    {{"--check"}, 64, "", kU + "--check necesita exactamente un proyecto AUDIO\nUSO"},
    {{"--check", "-o", "x", "a"}, 64, "", kU + "--check no escribe nada: sobra -o\nUSO"},
    {{"--nada", "a", "b"}, 64, "", kU + "opción desconocida: --nada\nUSO"},
    {{"@/P.VIP", "@/ñandú 音.vip"}, 0, kFI, "", "Importar.vip"},
    {{"--", "-o", "@/audio.vip"}, 3, "", kI + "no es un proyecto .vip: -o)\n"},  // also a template that is not a .vip
    {{"@/plantilla.vip", "@/proyecto"}, 1, "", kN + "@/proyecto (la ruta no tiene ningún \".\")\n"},
    {{"@/plantilla.vip", "@/FreezeData.vip"}, 1, "", kN + "@/FreezeData.vip (la ruta contiene \"FreezeData\")\n"},
    {{"@/plantilla.vip", "@/.oculto.vip"}, 1, "", kN + "@/.oculto.vip" + kNo},
    {{"-o", "@/" + std::string(251, 'n') + ".vip", "@/plantilla.vip", "@/audio.vip"}, 0, kF + "@/" + std::string(251, 'n') + ".vip\n", "", std::string(251, 'n') + ".vip"},  // -o, with the longest name
#ifndef _WIN32
    {{"@/plantilla.vip", "@/tubo.vip"}, 1, "", kN + "@/tubo.vip" + kNo},
    {{"-o", "@/tubo.vip", "@/plantilla.vip", "@/audio.vip"}, 3, "", kX + "@/tubo.vip (no es un archivo normal)\n"},
#endif
    {{"@/plantilla.vip", "@/cabecera-96.vip"}, 2, "", kS + "@/cabecera-96.vip\n"},
    {{"@/falta.vip", "@/audio.vip"}, 3, "", kI + "no se encuentra el proyecto: @/falta.vip)\n"},
    {{"-o", "@/no/I.vip", "@/plantilla.vip", "@/audio.vip"}, 3, "", kX + "@/no/I.vip (No existe el archivo o el directorio)\n"},
    {{"-o", "@/carpeta", "@/plantilla.vip", "@/audio.vip"}, 3, "", kX + "@/carpeta (Es un directorio)\n"},
    {{"--check", "@/audio.vip"}, 0, "valido: si\nlimite: 2000\n", ""},
    {{"--check", "@/cabecera-96.vip"}, 2, "valido: si\nlimite: 0\n", kS + "@/cabecera-96.vip\n"},
    {{"--check", "@/mudo.vip"}, 1, "valido: no\nlimite: 2000\n", kN + "@/mudo.vip\n"},
    {{"--check", "@/falta.vip"}, 1, "valido: no\nlimite: 0\n", kN + "@/falta.vip" + kNo},
    {kPA, 3, "", "Se interrumpió la escritura de: @/Importar.vip\n", "", {"señal", ""}},
    {{"--check", "@/largo.vip"}, 3, "", "", "", {"señal", ""}},  // stopped: no answer at all
    // The audio-data project is read by the check, the search and each of its two stages.
    {kPA, 3, "", "No se pudo leer: @/audio.vip (Error de entrada/salida)\n", "", {kLee, "audio.vip", 1, kEIO}},
    {{"--check", "@/audio.vip"}, 3, "valido: no\nlimite: 0\n", "No se pudo leer: @/audio.vip (Error de entrada/salida)\n", "", {kLee, "audio.vip", 1, kEIO}},
    {kPA, 3, "", kES + ": @/audio.vip)\n", "", {kLee, "audio.vip", 3, kEIO}},
    {kPA, 0, kFI, "", "Importar.vip", {kLee, "audio.vip", 4, 0, true}},
    {kPA, 3, "", kI + "No queda espacio en el dispositivo)\n", "", {kEscribe, "vipmerge-tmp", 3, kENOSPC}},
    {kPA, 0, kFI, "", "Importar.vip", {kEscribe, "vipmerge-tmp", 2, 0, true}},
    {kPA, 3, "", kES + ")\n", "", {kVuelca, "vipmerge-tmp", 1, kEIO}},
    {kPA, 3, "", kES + ")\n", "", {kCierra, "vipmerge-tmp", 1, kEIO}},
    {kPA, 3, "", kES + ")\n", "", {kMueve, "Importar.vip", 1, kEIO}},
    {kPA, 3, "", kI + "Permiso denegado)\n", "", {kMira, "Importar.vip", 1, kEACCES}},
#ifdef _WIN32
    {kPA, 3, "", "No se pudo leer: @/audio.vip (Permiso denegado)\n", "", {"CreateFileW", "audio.vip", 1, kEACCES}},
    {kPA, 3, "", kI + "No queda espacio en el dispositivo)\n", "", {"CreateFileW", "vipmerge-tmp", 1, kENOSPC}},
    {kPA, 3, "", kES + ": @/plantilla.vip)\n", "", {"GetFileSizeEx", "plantilla.vip", 1, kEIO}},
    {kPA, 0, kFI, "", "Importar.vip", {kMueve, "Importar.vip", 1, ERROR_SHARING_VIOLATION}},  // held, as Windows may say
    // Held open by another program (tests/retener.cpp) until 150 ms after the first try (the tries pause between them), or throughout.
    {kPA, 0, kFI, "", "Importar.vip", {"retener", "Importar.vip", 1}},
    {kPA, 3, "", kI + "el archivo está abierto en otro programa)\n", "", {"retener", "Importar.vip", 0}},
    {kPA, 3, "", kI + "Permiso denegado)\n", "", {kMueve, "Importar.vip", 0, kEACCES}},  // refused, held by nobody
    {{"-o", "@/solo-lectura.vip", "@/plantilla.vip", "@/audio.vip"}, 3, "", kX + "@/solo-lectura.vip (Permiso denegado)\n", "", {"CreateFileW", "vipmerge-tmp", 0, kEIO}},  // before any writing
#else  // Wine makes no symbolic links
    {{"-o", "@/enlace.vip", "@/plantilla.vip", "@/audio.vip"}, 0, kF + "@/enlace.vip\n", "", "destino.vip"},  // the link stays
    {{"@/enlace-plantilla.vip", "@/audio.vip"}, 0, kFI, "", "Importar.vip"},  // measured through the link
    {kPA, 0, kFI, "", "Importar.vip", {"pread", "audio.vip", 3, EINTR}},
    {kPA, 0, kFI, "", "Importar.vip", {"copy_file_range", "audio.vip", 2, EIO}},  // a failing copy or clone is redone by reads and writes, which name the side that fails
    {kPA, 0, kFI, "", "Importar.vip", {"ioctl", "vipmerge-tmp", 1, EIO}},
    {kPA, 3, "", kI + "No queda espacio en el dispositivo)\n", "", {"ioctl", "vipmerge-tmp", 1, ENOSPC}},  // a full disk while cloning
    {{"-c", "ulimit -f 4; exec \"$0\" \"$1\" \"$2\"", "@/plantilla.vip", "@/audio.vip"}, 3, "", kI + "Archivo demasiado grande)\n"},
    {{"-c", "exec \"$0\" \"$1\" \"$2\" >/dev/full", "--check", "@/audio.vip"}, 3, "", kX + "la salida estándar (No queda espacio en el dispositivo)\n"},
    {kPA, 3, "", kI + "No queda espacio en el dispositivo)\n", "", {"copy_file_range", "plantilla.vip", 1, ENOSPC}},  // a kernel without it (ENOSYS) goes with every pread and pwrite row
    {kPA, 0, kFI, "", "Importar.vip", {"copy_file_range", "plantilla.vip", 1, 0, true}},
    {{"-o", "@/cadena.vip", "@/plantilla.vip", "@/audio.vip"}, 0, kF + "@/cadena.vip\n", "", "destino.vip"},  // the links stay
    // Cut as its stage opens it, after it was measured.
    {kPA, 3, "", kI + "el archivo ha cambiado durante la lectura: @/plantilla.vip)\n", "", {"stat", "plantilla.vip", 3, 0, false, true}},
#endif
};
// clang-format on

std::string Con(std::string texto, const std::string& d, const std::string& uso = "") {
  for (size_t i; (i = texto.find('@')) != std::string::npos;) texto.replace(i, 1, d);
  const size_t en = texto.rfind("USO");
  return en == std::string::npos ? texto : texto.replace(en, 3, uso);
}

// The folder's files with their bytes ("" if not a regular file), and Importar.vip's mode.
std::map<std::string, std::string> Contenido(const CarpetaTemporal& d) {
  std::map<std::string, std::string> c;
  for (const std::string& n : d.Nombres())
    c[n] = fs::is_regular_file(fs::symlink_status(d / n)) ? Leer_Archivo(d / n) : "";
  c["modo"] = std::to_string(static_cast<int>(fs::status(d / "Importar.vip").permissions()));
  return c;
}

TEST(Cli, EachCaseExitsPrintsAndWritesAsAScriptExpects) {
  const Ejecucion ayuda = Ejecutar_Programa(VIPMERGE_CLI, {"--help"});
  ASSERT_EQ(ayuda.salida.rfind("Uso:\n  vipmerge-cli [-o SALIDA] PLANTILLA AUDIO\n", 0), 0u);
  for (const Caso& caso : kCasos) {
    CarpetaTemporal d;
    for (const char* n : {"plantilla.vip", "P.VIP"}) d.Escribir(n, kPlantilla);
    for (const char* n : {"audio.vip", "proyecto", "FreezeData.vip", ".oculto.vip", "ñandú 音.vip"})
      d.Escribir(n, kAudio);
    d.Escribir("mudo.vip", ref::Proyecto(3, 3000, {{2009, ref::kCabecera}}));
    d.Escribir("largo.vip", ref::Proyecto(5, 100000, {{367, "voz.wav"}}));  // read in pieces
    d.Escribir("cabecera-96.vip", ref::Proyecto(4, 3000, {{96, ref::kCabecera}, {367, "voz.wav"}}));
    d.Escribir("Importar.vip", "un Importar.vip anterior");
    fs::create_directory(d / "carpeta");
#ifdef _WIN32
    SetFileAttributesW(Ancho(d / ".oculto.vip").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(Ancho(d.Escribir("solo-lectura.vip", "")).c_str(), FILE_ATTRIBUTE_READONLY);
#else
    ::mkfifo((d / "tubo.vip").c_str(), 0600);
    fs::create_symlink(d.Escribir("destino.vip", "anterior"), d / "enlace.vip");
    fs::create_symlink("plantilla.vip", d / "enlace-plantilla.vip");
    fs::create_symlink("enlace.vip", d / "cadena.vip");  // relative, to an absolute one
#endif
    fs::permissions(d / "Importar.vip", fs::perms(0660));  // g+w: the umask would drop it
    std::map<std::string, std::string> esperado = Contenido(d);
    if (!caso.salida.empty()) esperado[caso.salida] = ref::Composicion(kAudio, kPlantilla);
    if (caso.fallo.recortar) esperado[caso.fallo.archivo].resize(kPlantilla.size() / 2);
    std::vector<std::string> argumentos;
    for (const std::string& a : caso.argumentos) argumentos.push_back(Con(a, d.ruta()));
    Ejecucion e;
    if (argumentos[0] == "-c") argumentos.insert(argumentos.begin() + 2, VIPMERGE_CLI);  // as $0
    if (caso.fallo.funcion.empty()) {
      e = Ejecutar_Programa(argumentos[0] == "-c" ? "/bin/sh" : VIPMERGE_CLI, argumentos);
    } else {
      plantado = caso.fallo;
#ifdef _WIN32
      if (caso.fallo.funcion == "retener") retenedor = Retener(d / caso.fallo.archivo);
#endif
      const volatile std::sig_atomic_t detener = caso.fallo.funcion == "señal";
      BarraTerminal barra(stderr, false, &detener);
      std::ostringstream out, err;
      e = {Ejecutar_Cli(argumentos, out, err, barra, sistema_con_fallos), out.str(), err.str()};
      EXPECT_TRUE(detener || plantado.vistas >= caso.fallo.vez) << "the fault was never reached";
      EXPECT_FALSE(barra.Visible()) << "a bar left on the terminal, before the outcome's line";
      plantado = {};
    }
    EXPECT_EQ(std::tuple(e.codigo, e.salida, e.errores, Contenido(d) == esperado),
              std::tuple(caso.codigo, Con(caso.out, d.ruta()),
                         Con(caso.err, d.ruta(), ayuda.salida), true))
        << ::testing::PrintToString(argumentos);
#ifdef _WIN32
    if (soltando.joinable()) soltando.join();
    if (retenedor != nullptr) _pclose(std::exchange(retenedor, nullptr));
    SetFileAttributesW(Ancho(d / "solo-lectura.vip").c_str(), FILE_ATTRIBUTE_NORMAL);  // to remove
#endif
  }
}

// Half-way, on terminals of 80, 26, 25 and 5 columns: never into the last column, where it wraps;
// the width is the terminal's when the bar is drawn.
TEST(Cli, TheBarDrawsOnlyOnATerminalFitsItsWidthAndIsErasedWhenHidden) {
  for (const auto& [columnas, linea] :
       {std::pair{80, "Escribiendo [####################....................]  50 %"},
        {26, "Escribiendo [##...]  50 %"},
        {25, " 50 %"},
        {5, ""}})
    EXPECT_EQ(BarraTerminal::Linea(500, 1000, columnas), linea) << columnas << " columns";
#ifndef _WIN32
  // Drawn on a pseudo-terminal of 26 columns once the bar has been shown for a moment, erased when
  // hidden; never drawn where the output is no terminal.
  int terminal = -1, lado = -1;
  const winsize tamano{0, 26, 0, 0};
  ASSERT_EQ(::openpty(&terminal, &lado, nullptr, nullptr, &tamano), 0);
  FILE *salida = ::fdopen(lado, "w"), *archivo = std::tmpfile();
  pollfd legible{terminal, POLLIN, 0};
  const auto leer = [&](int espera_ms) {  // what reached the terminal in that time
    char leidos[128];
    return ::poll(&legible, 1, espera_ms) == 1 ? std::string(leidos, ::read(terminal, leidos, 128))
                                               : std::string();
  };
  {
    BarraTerminal barra(salida, true, nullptr), en_archivo(archivo, false, nullptr);
    for (BarraTerminal* b : {&barra, &en_archivo}) b->Fijar_Maximo(1000), b->Fijar_Visible(true);
    std::string dibujado;
    for (int i = 0; i < 300 && dibujado.empty(); ++i)
      barra.Fijar_Valor(500), en_archivo.Fijar_Valor(500), dibujado = leer(10);
    barra.Fijar_Visible(false);
    EXPECT_EQ(dibujado + "|" + leer(1000), "\r\033[KEscribiendo [##...]  50 %|\r\033[K");
    EXPECT_EQ(std::ftell(archivo), 0);
  }
  std::fclose(salida), std::fclose(archivo), ::close(terminal);
#endif
}

#ifndef _WIN32
// Signalled once the moment's test holds, with an option for env (nohup: SIGHUP ignored). Its
// stdout is a full FIFO: after the rename it waits there, and a signal comes after the success.
TEST(Cli, ASignalStopsItUnlessTheOutputIsInPlace) {
  ::setenv("TMPDIR", "/var/tmp", 1);  // its sparse gigabyte is copied: on a disk, not in memory
  const std::string guion =  // $0 the program, $1 the signal, $2 the moment, $3 the folder, $4 env
      "cd \"$3\" && mkfifo tubo && exec 3<>tubo && head -c 65536 /dev/zero >&3\n"
      "env --default-signal=INT $4 \"$0\" plantilla.vip audio.vip >&3 2>/dev/null &\n"
      "timeout 20 sh -c \"until $2; do sleep 0.01; done\"; kill -$1 $!\n"
      "head -c 65536 <&3 >/dev/null; wait $!";
  const char *escribe = "ls *.vipmerge-tmp", *colocada = "[ $(wc -c <Importar.vip) != 24 ]";
  const char* nohup = "--ignore-signal=HUP";
  for (const auto& [senal, momento, env] : {std::tuple{SIGINT, escribe, ""},
                                            {SIGTERM, escribe, ""},
                                            {SIGHUP, escribe, ""},
                                            {SIGHUP, colocada, ""},
                                            {SIGHUP, escribe, nohup}}) {
    const CarpetaTemporal d;
    d.Escribir("audio.vip", ref::Proyecto(1, 3000, {{367, "voz.wav"}, {2009, ref::kCabecera}}));
    d.Escribir("Importar.vip", "un Importar.vip anterior");    // 24 bytes
    const bool detenida = momento == escribe && env != nohup;  // else it runs to its end
    const size_t largo = momento != escribe ? 6000 : detenida ? 1 << 30 : 64 << 20;
    fs::resize_file(d.Escribir("plantilla.vip", ""), largo);
    const Ejecucion e = Ejecutar_Programa(
        "/bin/sh", {"-c", guion, VIPMERGE_CLI, std::to_string(senal), momento, d.ruta(), env});
    EXPECT_EQ(e.codigo, detenida ? 128 + senal : 0) << senal;  // 128 + n: ended by n
    EXPECT_EQ(Leer_Archivo(d / "Importar.vip").size() == 24, detenida) << senal;
    EXPECT_EQ(d.Nombres().size(), 4u) << senal;  // with the FIFO, without a temporary
  }
}

// fs.protected_symlinks on while it lives, where root may set it; then as it was, also after a
// failed test.
class EnlacesProtegidos {
  const char* const ruta_ = "/proc/sys/fs/protected_symlinks";
  std::string antes_;

 public:
  EnlacesProtegidos() { std::ifstream(ruta_) >> antes_, std::ofstream(ruta_) << "1\n"; }
  ~EnlacesProtegidos() {
    if (!antes_.empty() && antes_ != "1") std::ofstream(ruta_) << antes_ << "\n";
  }
  bool Activos() const {
    std::string ahora;
    return std::ifstream(ruta_) >> ahora, ahora == "1";
  }
};

// In a folder open to all, an earlier Importar.vip of 1001:1002 keeps its group, mode less set-id
// bits, ACL and user attributes, and its owner when root merges (not when 1002 does, a member of
// that group besides its first). With the sticky bit (root's turn), a link that 1001 planted is
// one the kernel does not follow (fs.protected_symlinks): refused, the file it names untouched.
TEST(Cli, InASharedFolderTheOutputKeepsWhatItsOwnerSetAndPlantedLinksAreRefused) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give files to other users";
  const std::string acl(  // u::rwx u:1002:rw- g::rwx m::rwx o::r-x, as the kernel keeps it
      "\2\0\0\0\1\0\7\0\377\377\377\377\2\0\6\0\352\3\0\0\4\0\7\0\377\377\377\377"
      "\20\0\7\0\377\377\377\377\40\0\5\0\377\377\377\377",
      44);
  const EnlacesProtegidos enlaces_protegidos;
  for (const uid_t quien : {0, 1002}) {
    const Escena escena{kAudio, kPlantilla};
    fs::permissions(escena.carpeta.ruta(),
                    fs::perms::all | (quien ? fs::perms::none : fs::perms::sticky_bit));
    const char* salida = escena.peticion.salida.c_str();
    ::chown(salida, 1001, 1002), ::chmod(salida, 06775);  // set-id bits: to be dropped
    ::setxattr(salida, "system.posix_acl_access", acl.data(), acl.size(), 0);
    ::setxattr(salida, "user.nota", "de 1001", 8, 0);
    if (::fork() == 0) {
      if (quien != 0 && (::setgroups(1, &quien) || ::setuid(quien))) ::_exit(99);
      ::_exit(static_cast<int>(Mezclar(escena.peticion).desenlace));  // 0: written
    }
    struct stat datos = {};
    char leidos[2][64] = {};
    ::wait(nullptr), ::stat(salida, &datos);
    ::getxattr(salida, "system.posix_acl_access", leidos[0], 64);
    ::getxattr(salida, "user.nota", leidos[1], 64);
    EXPECT_EQ(std::tuple(datos.st_uid, datos.st_gid, datos.st_mode & 07777,
                         std::string(leidos[0], 44) + leidos[1],
                         Leer_Archivo(salida) == ref::Composicion(kAudio, kPlantilla)),
              std::tuple(quien ? quien : 1001, 1002, 0775, acl + "de 1001", true));
    if (quien != 0 || !enlaces_protegidos.Activos()) continue;
    Peticion plantada = escena.peticion;
    plantada.salida = escena.carpeta / "plantado.vip";
    fs::create_symlink(escena.peticion.plantilla, plantada.salida);
    ::lchown(plantada.salida.c_str(), 1001, 1001);
    EXPECT_EQ(Mensaje(plantada, Mezclar(plantada)), kX + plantada.salida + " (Permiso denegado)");
    EXPECT_EQ(Leer_Archivo(escena.peticion.plantilla), kPlantilla);
  }
  if (!enlaces_protegidos.Activos())
    GTEST_SKIP() << "fs.protected_symlinks is off and cannot be set: a planted link was not tried";
}
#endif

}  // namespace

// SPDX-License-Identifier: MIT
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// shellapi.h needs windows.h before it
#include <shellapi.h>

#include "Texto.h"
#else
#include <unistd.h>
#endif

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "BarraTerminal.h"
#include "Cli.h"

namespace {

volatile std::sig_atomic_t detener = 0;

#ifndef _WIN32
volatile std::sig_atomic_t senal_recibida = 0;

// Ctrl+C, a termination request or a closed terminal stops the merge between blocks (or when
// the final flush returns), so that its temporary file is removed; the program then ends by the
// same signal. A merge whose output is already in place has succeeded and exits 0.
extern "C" void Al_Recibir_Senal(int senal) {
  senal_recibida = senal;
  detener = 1;
}
#endif

#ifdef _WIN32
// The arguments as UTF-8 from the wide command line, so that any file name reaches the core
// as it is (argv holds them in the ANSI code page, which loses what it cannot represent).
std::vector<std::string> Argumentos() {
  int cuantos = 0;
  wchar_t** anchos = CommandLineToArgvW(GetCommandLineW(), &cuantos);
  std::vector<std::string> argumentos;
  for (int i = 1; anchos != nullptr && i < cuantos; ++i) argumentos.push_back(Estrecho(anchos[i]));
  LocalFree(anchos);
  return argumentos;
}

// The console's Ctrl+C, Ctrl+Break and the closing of the console, the end of the session or a
// shutdown stop the merge like a signal. Windows ends the process as soon as this returns from
// the last three, so it waits (up to the system's own limit) until the merge has cleaned up.
HANDLE merge_terminada = nullptr;

BOOL WINAPI Al_Recibir_Evento(DWORD evento) {
  detener = 1;
  if (evento != CTRL_C_EVENT && evento != CTRL_BREAK_EVENT && merge_terminada != nullptr) {
    WaitForSingleObject(merge_terminada, INFINITE);
  }
  return TRUE;
}

void Detener_Con_La_Consola() {
  merge_terminada = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(Al_Recibir_Evento, TRUE);
}

// Keeps the console's output code page at UTF-8 while the program runs, so that the Spanish
// texts show right there; files and pipes get the UTF-8 bytes as they are.
class ConsolaUtf8 {
 public:
  ConsolaUtf8() : anterior_(En_Consola() ? GetConsoleOutputCP() : 0) {
    if (anterior_ != 0) SetConsoleOutputCP(CP_UTF8);
  }
  ~ConsolaUtf8() {
    if (anterior_ != 0) SetConsoleOutputCP(anterior_);
  }
  ConsolaUtf8(const ConsolaUtf8&) = delete;
  ConsolaUtf8& operator=(const ConsolaUtf8&) = delete;

 private:
  static bool En_Consola() {
    return _isatty(_fileno(stdout)) != 0 || _isatty(_fileno(stderr)) != 0;
  }
  const UINT anterior_;  // 0 when nothing is written to a console
};

// The bar is redrawn with terminal control sequences, which a console takes only once asked.
bool Stderr_Es_Terminal() {
  if (_isatty(_fileno(stderr)) == 0) return false;
  const HANDLE consola = GetStdHandle(STD_ERROR_HANDLE);
  DWORD modo = 0;
  if (!GetConsoleMode(consola, &modo)) return false;
  return SetConsoleMode(consola, modo | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}
#else
std::vector<std::string> Argumentos(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

bool Stderr_Es_Terminal() {
  return ::isatty(STDERR_FILENO) == 1;
}
#endif

}  // namespace

int main([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
#ifdef _WIN32
  ConsolaUtf8 consola;
  // Lines end in "\n" as on every other system, so that scripts see the same bytes.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  const std::vector<std::string> argumentos = Argumentos();
#else
  const std::vector<std::string> argumentos = Argumentos(argc, argv);
#endif
#ifdef _WIN32
  Detener_Con_La_Consola();
#else
  // A file-size limit makes a write fail (EFBIG), an ordinary failure with its message, instead
  // of ending the program with its temporary file left behind.
  std::signal(SIGXFSZ, SIG_IGN);
  for (int senal : {SIGINT, SIGTERM, SIGHUP}) {
    // One ignored from the start stays ignored, as nohup and background jobs ask.
    if (std::signal(senal, Al_Recibir_Senal) == SIG_IGN) std::signal(senal, SIG_IGN);
  }
#endif
  BarraTerminal barra(stderr, Stderr_Es_Terminal(), &detener);
  const int codigo = Ejecutar_Cli(argumentos, std::cout, std::cerr, barra);
  std::cout.flush();
#ifdef _WIN32
  // Windows has no ending by a signal: a stopped merge ends with the failure code. A console
  // handler that waits for the clean-up may let the process end now.
  if (merge_terminada != nullptr) SetEvent(merge_terminada);
#else
  if (senal_recibida != 0 && codigo != kSalidaEscrito) {
    std::signal(senal_recibida, SIG_DFL);
    std::raise(senal_recibida);
  }
#endif
  return codigo;
}

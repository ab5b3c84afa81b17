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
volatile std::sig_atomic_t senal_recibida = 0;

// Ctrl+C or a termination request stops the merge between blocks, so that its temporary file
// is removed; the program then ends by the same signal.
extern "C" void Al_Recibir_Senal(int senal) {
  senal_recibida = senal;
  detener = 1;
}

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
  std::signal(SIGINT, Al_Recibir_Senal);
  std::signal(SIGTERM, Al_Recibir_Senal);
  BarraTerminal barra(stderr, Stderr_Es_Terminal(), &detener);
  const int codigo = Ejecutar_Cli(argumentos, std::cout, std::cerr, barra);
  std::cout.flush();
#ifndef _WIN32
  // Windows has no such ending: a stopped merge there ends with the failure code.
  if (senal_recibida != 0) {
    std::signal(senal_recibida, SIG_DFL);
    std::raise(senal_recibida);
  }
#endif
  return codigo;
}

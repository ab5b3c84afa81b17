// SPDX-License-Identifier: MIT
#include "BarraTerminal.h"

#include <algorithm>
#include <string>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace {
constexpr auto kEsperaAntesDeDibujar = std::chrono::milliseconds(300);
constexpr auto kIntervaloDeDibujo = std::chrono::milliseconds(100);
constexpr int kAncho = 40;
constexpr int kTextoSinCasillas = 20;  // "Escribiendo [] 100 %"

// The terminal's width in columns at this moment; 80 when it does not say.
int Columnas(std::FILE* terminal) {
#ifdef _WIN32
  CONSOLE_SCREEN_BUFFER_INFO datos;
  const auto consola = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(terminal)));
  if (GetConsoleScreenBufferInfo(consola, &datos))
    return datos.srWindow.Right - datos.srWindow.Left + 1;
#else
  winsize tamano{};
  if (::ioctl(::fileno(terminal), TIOCGWINSZ, &tamano) == 0 && tamano.ws_col > 0)
    return tamano.ws_col;
#endif
  return 80;
}
}  // namespace

std::string BarraTerminal::Linea(int64_t valor, int64_t maximo, int columnas) {
  // The bar shows the absolute position against the maximum, like the window's.
  const double parte =
      maximo > 0 ? std::clamp(static_cast<double>(valor) / static_cast<double>(maximo), 0.0, 1.0)
                 : 1.0;
  char porcentaje[8];
  std::snprintf(porcentaje, sizeof porcentaje, "%3d %%", static_cast<int>(parte * 100));
  // The line stays short of the last column, so that it never wraps and \r always reaches it.
  const int casillas = std::min(kAncho, columnas - 1 - kTextoSinCasillas);
  if (casillas < 5) return columnas > 5 ? porcentaje : "";
  const int llenos = static_cast<int>(parte * casillas);
  return "Escribiendo [" + std::string(llenos, '#') + std::string(casillas - llenos, '.') + "] " +
         porcentaje;
}

void BarraTerminal::Fijar_Visible(bool visible) {
  if (visible && !visible_) mostrada_ = Reloj::now();
  visible_ = visible;
  if (!visible) Borrar();
}

void BarraTerminal::Fijar_Valor(int64_t valor) {
  valor_ = valor;
  if (!dibujar_ || !visible_) return;
  const auto ahora = Reloj::now();
  if (ahora - mostrada_ < kEsperaAntesDeDibujar) return;
  if (dibujada_ && ahora - ultimo_dibujo_ < kIntervaloDeDibujo) return;
  ultimo_dibujo_ = ahora;
  Dibujar();
}

void BarraTerminal::Dibujar() {
  const std::string linea = Linea(valor_, maximo_, Columnas(terminal_));
  std::fprintf(terminal_, "\r\033[K%s", linea.c_str());
  std::fflush(terminal_);
  dibujada_ = true;
}

void BarraTerminal::Borrar() {
  if (!dibujada_) return;
  std::fputs("\r\033[K", terminal_);
  std::fflush(terminal_);
  dibujada_ = false;
}

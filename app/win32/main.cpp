// SPDX-License-Identifier: MIT
#include <windows.h>

#include <exception>

#include "FileListWin32.h"
#include "Form1.h"
#include "VentanaWin32.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int modo) {
  try {
    VentanaWin32 ventana;
    FileListWin32 fileList(ventana.Hwnd());
    Form1 form(ventana, fileList);
    ventana.Conectar(form);
    ventana.Mostrar_Ventana(modo);
    return ventana.Ejecutar();
  } catch (const std::exception& fallo) {
    // Only a window that could not be made gets here; there is nowhere to show it but the
    // debugger's output, and the exit code says it failed.
    OutputDebugStringA(fallo.what());
    return 1;
  }
}

// SPDX-License-Identifier: MIT
// Runs a program on Windows: CreateProcessW with stdin from NUL and stdout and stderr going to
// files, the command line quoted so that the program's argument parsing gives back each
// argument as it was.
#include <windows.h>

#include <stdexcept>

#include "Carpeta.h"
#include "Proceso.h"
#include "Texto.h"

namespace {

// Quotes one argument the way CommandLineToArgvW and the C runtime split a command line:
// backslashes count only before a quote, where each must be doubled.
std::wstring Entrecomillar(const std::wstring& argumento) {
  if (!argumento.empty() && argumento.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    return argumento;
  }
  std::wstring resultado = L"\"";
  size_t barras = 0;
  for (const wchar_t c : argumento) {
    if (c == L'\\') {
      ++barras;
      continue;
    }
    resultado.append(c == L'"' ? barras * 2 + 1 : barras, L'\\');
    barras = 0;
    resultado += c;
  }
  resultado.append(barras * 2, L'\\');
  return resultado + L"\"";
}

// The test programs of a cross build get the host's paths of the programs they run; under
// Wine the host's root is drive Z:.
std::string Ruta_De_Windows(const std::string& ruta) {
  return !ruta.empty() && ruta[0] == '/' ? "Z:" + ruta : ruta;
}

class Manejador {
 public:
  explicit Manejador(HANDLE manejador) : manejador_(manejador) {}
  ~Manejador() {
    if (manejador_ != INVALID_HANDLE_VALUE && manejador_ != nullptr) CloseHandle(manejador_);
  }
  Manejador(const Manejador&) = delete;
  Manejador& operator=(const Manejador&) = delete;
  HANDLE get() const { return manejador_; }

 private:
  HANDLE manejador_;
};

HANDLE Abrir_Heredable(const std::wstring& ruta, DWORD acceso, DWORD disposicion) {
  SECURITY_ATTRIBUTES heredable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const HANDLE manejador = CreateFileW(ruta.c_str(), acceso, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       &heredable, disposicion, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (manejador == INVALID_HANDLE_VALUE) {
    throw std::runtime_error("no se puede abrir para el proceso: " + Estrecho(ruta));
  }
  return manejador;
}

}  // namespace

Ejecucion Ejecutar_Programa(const std::string& programa,
                            const std::vector<std::string>& argumentos) {
  CarpetaTemporal capturas;
  const std::string salida = capturas / "stdout", errores = capturas / "stderr";
  const std::wstring ruta_programa = Ancho(Ruta_De_Windows(programa));
  std::wstring linea = Entrecomillar(ruta_programa);
  for (const std::string& argumento : argumentos) linea += L" " + Entrecomillar(Ancho(argumento));
  Ejecucion ejecucion;
  {
    Manejador entrada(Abrir_Heredable(L"NUL", GENERIC_READ, OPEN_EXISTING));
    Manejador salida_estandar(Abrir_Heredable(Ancho(salida), GENERIC_WRITE, CREATE_ALWAYS));
    Manejador errores_estandar(Abrir_Heredable(Ancho(errores), GENERIC_WRITE, CREATE_ALWAYS));
    STARTUPINFOW inicio{};
    inicio.cb = sizeof inicio;
    inicio.dwFlags = STARTF_USESTDHANDLES;
    inicio.hStdInput = entrada.get();
    inicio.hStdOutput = salida_estandar.get();
    inicio.hStdError = errores_estandar.get();
    PROCESS_INFORMATION proceso{};
    if (!CreateProcessW(ruta_programa.c_str(), linea.data(), nullptr, nullptr, TRUE,
                        CREATE_NO_WINDOW, nullptr, nullptr, &inicio, &proceso)) {
      throw std::runtime_error("no se pudo ejecutar " + programa);
    }
    Manejador hilo(proceso.hThread), manejador_proceso(proceso.hProcess);
    WaitForSingleObject(proceso.hProcess, INFINITE);
    DWORD codigo = 0;
    if (GetExitCodeProcess(proceso.hProcess, &codigo)) ejecucion.codigo = static_cast<int>(codigo);
  }
  ejecucion.salida = Leer_Archivo(salida);
  ejecucion.errores = Leer_Archivo(errores);
  return ejecucion;
}

// SPDX-License-Identifier: MIT
// The file system on Windows: sources opened read-only and shared, positional reads and writes,
// and the output composed in a temporary file that is moved over the final path.
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <random>

#include "Errores.h"
#include "SistemaArchivos.h"
#include "Texto.h"

namespace {

// One ReadFile or WriteFile moves at most this much; the callers loop for the rest.
constexpr DWORD kMaximoPorLlamada = DWORD{1} << 30;

int Errno_De(DWORD codigo) {
  switch (codigo) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_BAD_PATHNAME:
      return ENOENT;
    case ERROR_DIRECTORY:
      return ENOTDIR;
    case ERROR_ACCESS_DENIED:
    case ERROR_INVALID_ACCESS:
      return EACCES;
    case ERROR_PRIVILEGE_NOT_HELD:
      return EPERM;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_BUSY:
      return EBUSY;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_WRITE_PROTECT:
      return EROFS;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE:
    case ERROR_NOT_READY:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_NETNAME_DELETED:
    case ERROR_UNEXP_NET_ERR:
      return EIO;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_TOO_MANY_OPEN_FILES:
      return EMFILE;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_FILE_TOO_LARGE:
      return EFBIG;
    case ERROR_NOT_SAME_DEVICE:
      return EXDEV;
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_PARAMETER:
      return EINVAL;
    default:
      return 0;
  }
}

// The system's own text, in the language of the installed Windows, for the rarer errors.
std::string Texto_De_Windows(DWORD codigo) {
  wchar_t* texto = nullptr;
  const DWORD largo = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, codigo, 0, reinterpret_cast<wchar_t*>(&texto), 0, nullptr);
  std::wstring ancho(texto != nullptr ? texto : L"", largo);
  LocalFree(texto);
  while (!ancho.empty() && (ancho.back() == L'\r' || ancho.back() == L'\n' ||
                            ancho.back() == L' ' || ancho.back() == L'.')) {
    ancho.pop_back();
  }
  if (ancho.empty()) return "Error del sistema " + std::to_string(codigo);
  return Estrecho(ancho);
}

std::string Texto_Del_Error(DWORD codigo) {
  const int numero = Errno_De(codigo);
  return numero != 0 ? Texto_Del_Sistema(numero) : Texto_De_Windows(codigo);
}

[[noreturn]] void Fallar(const std::string& ruta, DWORD codigo = GetLastError()) {
  throw ErrorArchivo(ruta, Texto_Del_Error(codigo));
}

OVERLAPPED Posicion(int64_t offset) {
  OVERLAPPED posicion{};
  posicion.Offset = static_cast<DWORD>(static_cast<uint64_t>(offset) & 0xFFFFFFFFu);
  posicion.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(offset) >> 32);
  return posicion;
}

DWORD Hasta_El_Maximo(size_t n) {
  return static_cast<DWORD>(std::min<size_t>(n, kMaximoPorLlamada));
}

class FuenteWin32 : public Fuente {
 public:
  // Others may go on reading, writing, renaming or deleting the file while it is read.
  explicit FuenteWin32(std::string ruta) : ruta_(std::move(ruta)) {
    archivo_ = CreateFileW(Ancho(ruta_).c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (archivo_ == INVALID_HANDLE_VALUE) Fallar(ruta_);
  }
  ~FuenteWin32() override { CloseHandle(archivo_); }
  FuenteWin32(const FuenteWin32&) = delete;
  FuenteWin32& operator=(const FuenteWin32&) = delete;

  const std::string& ruta() const override { return ruta_; }

  size_t Leer(int64_t offset, void* datos, size_t n) override {
    OVERLAPPED posicion = Posicion(offset);
    DWORD leidos = 0;
    if (!ReadFile(archivo_, datos, Hasta_El_Maximo(n), &leidos, &posicion)) {
      if (GetLastError() == ERROR_HANDLE_EOF) return 0;
      Fallar(ruta_);
    }
    return leidos;
  }

 private:
  std::string ruta_;
  HANDLE archivo_ = INVALID_HANDLE_VALUE;
};

// "<final path>.<8 random letters or digits>" + kSufijoTemporal.
std::string Nombre_Temporal(const std::string& ruta, std::mt19937& azar) {
  static constexpr char kSimbolos[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::uniform_int_distribution<size_t> simbolo(0, sizeof kSimbolos - 2);
  std::string nombre = ruta + ".";
  for (int i = 0; i < 8; ++i) nombre += kSimbolos[simbolo(azar)];
  return nombre + kSufijoTemporal;
}

class DestinoWin32 : public Destino {
 public:
  explicit DestinoWin32(std::string ruta) : ruta_(std::move(ruta)) {
    const DWORD atributos = GetFileAttributesW(Ancho(ruta_).c_str());
    if (atributos != INVALID_FILE_ATTRIBUTES && (atributos & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      throw ErrorArchivo(ruta_, Texto_Del_Sistema(EISDIR));
    }
    // Refused now rather than by the move after the whole merge.
    if (atributos != INVALID_FILE_ATTRIBUTES && (atributos & FILE_ATTRIBUTE_READONLY) != 0) {
      throw ErrorArchivo(ruta_, Texto_Del_Sistema(EACCES));
    }
    Crear_Temporal();
  }

  ~DestinoWin32() override {
    if (archivo_ != INVALID_HANDLE_VALUE) CloseHandle(archivo_);
    if (!colocado_) DeleteFileW(Ancho(temporal_).c_str());
  }
  DestinoWin32(const DestinoWin32&) = delete;
  DestinoWin32& operator=(const DestinoWin32&) = delete;

  const std::string& ruta() const override { return ruta_; }

  void Escribir(int64_t offset, const void* datos, size_t n) override {
    const char* p = static_cast<const char*>(datos);
    while (n > 0) {
      OVERLAPPED posicion = Posicion(offset);
      DWORD escritos = 0;
      if (!WriteFile(archivo_, p, Hasta_El_Maximo(n), &escritos, &posicion)) Fallar(ruta_);
      if (escritos == 0) Fallar(ruta_, ERROR_WRITE_FAULT);  // would loop for ever
      p += escritos;
      offset += escritos;
      n -= escritos;
    }
  }

  size_t Copiar(Fuente&, int64_t, size_t) override { return 0; }

  void Volcar() override {
    if (!FlushFileBuffers(archivo_)) Fallar(ruta_);
    const HANDLE archivo = archivo_;
    archivo_ = INVALID_HANDLE_VALUE;
    if (!CloseHandle(archivo)) Fallar(ruta_);
  }

  void Colocar() override {
    if (!MoveFileExW(Ancho(temporal_).c_str(), Ancho(ruta_).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      Fallar(ruta_);
    }
    colocado_ = true;
  }

 private:
  void Crear_Temporal() {
    std::random_device semilla;
    std::mt19937 azar(semilla());
    for (int intento = 0; intento < 100; ++intento) {
      temporal_ = Nombre_Temporal(ruta_, azar);
      archivo_ = CreateFileW(Ancho(temporal_).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                             CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (archivo_ != INVALID_HANDLE_VALUE) return;
      const DWORD error = GetLastError();
      if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) Fallar(ruta_, error);
    }
    Fallar(ruta_, ERROR_FILE_EXISTS);
  }

  std::string ruta_;
  std::string temporal_;
  HANDLE archivo_ = INVALID_HANDLE_VALUE;
  bool colocado_ = false;
};

class SistemaWin32 : public SistemaArchivos {
 public:
  std::unique_ptr<Fuente> Abrir(const std::string& ruta) override {
    return std::make_unique<FuenteWin32>(ruta);
  }
  std::unique_ptr<Destino> Crear(const std::string& ruta) override {
    return std::make_unique<DestinoWin32>(ruta);
  }
  int64_t Longitud(const std::string& ruta) override {
    WIN32_FILE_ATTRIBUTE_DATA datos;
    if (!GetFileAttributesExW(Ancho(ruta).c_str(), GetFileExInfoStandard, &datos)) Fallar(ruta);
    return static_cast<int64_t>((uint64_t{datos.nFileSizeHigh} << 32) | datos.nFileSizeLow);
  }
};

}  // namespace

SistemaArchivos& Sistema_Real() {
  static SistemaWin32 sistema;
  return sistema;
}

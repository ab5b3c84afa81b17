// SPDX-License-Identifier: MIT
// The file system on Windows: sources opened read-only and shared, positional reads and writes,
// and the output composed in a temporary file that is moved over the final path. Every path
// goes to the system in the long form, so that folders nested past 260 characters work.
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <random>

#include "Errores.h"
#include "LlamadasWin32.h"
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

constexpr DWORD kCompartirTodo = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

constexpr const char* kAbiertoEnOtroPrograma = "el archivo está abierto en otro programa";

// Another program's open handle (an audio program, an antivirus or the indexer looking at a
// new file) refuses a move or a removal with one of these. A scanner lets go within tens of
// milliseconds, a program that saves within a second or so: the step is tried again after each
// of these growing pauses, about 2 s in all, before the user is told.
constexpr DWORD kPausasDeReintento[] = {20, 40, 80, 160, 320, 500, 500, 400};

bool Retenido(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED;
}

// Runs the step until it succeeds, fails for another reason, or the pauses are spent. Returns
// ERROR_SUCCESS or the last error.
template <typename Paso>
DWORD Reintentando(Paso paso) {
  for (const DWORD pausa : kPausasDeReintento) {
    if (paso()) return ERROR_SUCCESS;
    const DWORD error = GetLastError();
    if (!Retenido(error)) return error;
    Sleep(pausa);
  }
  return paso() ? ERROR_SUCCESS : GetLastError();
}

class FuenteWin32 : public Fuente {
 public:
  // Others may go on reading, writing, renaming or deleting the file while it is read.
  FuenteWin32(const LlamadasWin32& llamadas, std::string ruta)
      : w_(llamadas), ruta_(std::move(ruta)) {
    archivo_ = w_.CreateFileW(Ruta_Ancha(ruta_).c_str(), GENERIC_READ, kCompartirTodo, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (archivo_ == INVALID_HANDLE_VALUE) Fallar(ruta_);
  }
  ~FuenteWin32() override { w_.CloseHandle(archivo_); }
  FuenteWin32(const FuenteWin32&) = delete;
  FuenteWin32& operator=(const FuenteWin32&) = delete;

  const std::string& ruta() const override { return ruta_; }

  size_t Leer(int64_t offset, void* datos, size_t n) override {
    OVERLAPPED posicion = Posicion(offset);
    DWORD leidos = 0;
    if (!w_.ReadFile(archivo_, datos, Hasta_El_Maximo(n), &leidos, &posicion)) {
      if (GetLastError() == ERROR_HANDLE_EOF) return 0;
      Fallar(ruta_);
    }
    return leidos;
  }

 private:
  const LlamadasWin32 w_;
  std::string ruta_;
  HANDLE archivo_ = INVALID_HANDLE_VALUE;
};

// The longest file name that Windows' file systems take, in UTF-16 units.
constexpr size_t kMaximoNombre = 255;

// "<final path>.<8 random letters or digits>" + kSufijoTemporal, beside the final path. Its
// file name is cut where the whole would pass the limit, as on other systems, so that every
// name the output may have can be written; never between the two halves of a character.
std::wstring Nombre_Temporal(const std::wstring& objetivo, std::mt19937& azar) {
  static constexpr wchar_t kSimbolos[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
  std::uniform_int_distribution<size_t> simbolo(0, std::size(kSimbolos) - 2);
  std::wstring anadido = L".";
  for (int i = 0; i < 8; ++i) anadido += kSimbolos[simbolo(azar)];
  anadido += Ancho(kSufijoTemporal);
  const size_t inicio = objetivo.find_last_of(L"\\/") + 1;  // 0 when there is no folder
  size_t cabe = std::min(objetivo.size() - inicio, kMaximoNombre - anadido.size());
  if (cabe > 0 && IS_HIGH_SURROGATE(objetivo[inicio + cabe - 1])) --cabe;
  return objetivo.substr(0, inicio + cabe) + anadido;
}

class DestinoWin32 : public Destino {
 public:
  DestinoWin32(const LlamadasWin32& llamadas, std::string ruta)
      : w_(llamadas), ruta_(std::move(ruta)), objetivo_(Ruta_Ancha(ruta_)) {
    if (objetivo_.empty()) Fallar(ruta_, ERROR_INVALID_NAME);  // no name the system would take
    DWORD atributos = Atributos(objetivo_);
    if (atributos != INVALID_FILE_ATTRIBUTES && (atributos & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      objetivo_ = Ruta_Final(objetivo_);
      atributos = Atributos(objetivo_);
    }
    if (atributos != INVALID_FILE_ATTRIBUTES && (atributos & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      throw ErrorArchivo(ruta_, Texto_Del_Sistema(EISDIR));
    }
    // Refused now rather than by the move after the whole merge.
    if (atributos != INVALID_FILE_ATTRIBUTES && (atributos & FILE_ATTRIBUTE_READONLY) != 0) {
      throw ErrorArchivo(ruta_, Texto_Del_Sistema(EACCES));
    }
    Crear_Temporal();
  }

  // A scanner may be looking at the temporary file: its removal is tried again like the move.
  ~DestinoWin32() override {
    if (archivo_ != INVALID_HANDLE_VALUE) w_.CloseHandle(archivo_);
    if (!colocado_) Reintentando([this] { return w_.DeleteFileW(temporal_.c_str()); });
  }
  DestinoWin32(const DestinoWin32&) = delete;
  DestinoWin32& operator=(const DestinoWin32&) = delete;

  const std::string& ruta() const override { return ruta_; }

  void Escribir(int64_t offset, const void* datos, size_t n) override {
    const char* p = static_cast<const char*>(datos);
    while (n > 0) {
      OVERLAPPED posicion = Posicion(offset);
      DWORD escritos = 0;
      if (!w_.WriteFile(archivo_, p, Hasta_El_Maximo(n), &escritos, &posicion)) Fallar(ruta_);
      if (escritos == 0) Fallar(ruta_, ERROR_WRITE_FAULT);  // would loop for ever
      p += escritos;
      offset += escritos;
      n -= escritos;
    }
  }

  size_t Copiar(Fuente&, int64_t, size_t) override { return 0; }

  void Volcar() override {
    if (!w_.FlushFileBuffers(archivo_)) Fallar(ruta_);
    const HANDLE archivo = archivo_;
    archivo_ = INVALID_HANDLE_VALUE;
    if (!w_.CloseHandle(archivo)) Fallar(ruta_);
  }

  // A move that another program's handle refuses is tried again; if it is still refused, the
  // user is told that the file is open in another program when a probe confirms it, and the
  // system's reason otherwise (a file the user may not replace).
  void Colocar() override {
    const DWORD error = Reintentando([this] {
      return w_.MoveFileExW(temporal_.c_str(), objetivo_.c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    });
    if (error != ERROR_SUCCESS) {
      if (Retenido(error) && (En_Uso(objetivo_) || En_Uso(temporal_))) {
        throw ErrorArchivo(ruta_, kAbiertoEnOtroPrograma);
      }
      Fallar(ruta_, error);
    }
    colocado_ = true;
  }

 private:
  // The attributes of the file at the path; INVALID_FILE_ATTRIBUTES when there is none yet.
  DWORD Atributos(const std::wstring& ruta) {
    const DWORD atributos = w_.GetFileAttributesW(ruta.c_str());
    if (atributos == INVALID_FILE_ATTRIBUTES && GetLastError() != ERROR_FILE_NOT_FOUND) {
      Fallar(ruta_);  // a missing folder, say, is told now rather than after the merge
    }
    return atributos;
  }

  // The file that a symbolic link (or any other reparse point) leads to, so that the link stays
  // and its target is replaced, as on other systems.
  std::wstring Ruta_Final(const std::wstring& enlace) {
    const HANDLE archivo =
        w_.CreateFileW(enlace.c_str(), FILE_READ_ATTRIBUTES, kCompartirTodo, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (archivo == INVALID_HANDLE_VALUE) Fallar(ruta_);
    std::wstring final(32768, L'\0');  // the longest path Windows has
    const DWORD largo = w_.GetFinalPathNameByHandleW(
        archivo, final.data(), static_cast<DWORD>(final.size()), FILE_NAME_NORMALIZED);
    const DWORD error = GetLastError();
    w_.CloseHandle(archivo);
    if (largo == 0 || largo >= final.size()) Fallar(ruta_, error);
    final.resize(largo);
    return final;
  }

  // Whether another program holds the file open so that it cannot be removed or replaced.
  bool En_Uso(const std::wstring& ruta) {
    const HANDLE archivo = w_.CreateFileW(ruta.c_str(), DELETE, kCompartirTodo, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (archivo != INVALID_HANDLE_VALUE) w_.CloseHandle(archivo);
    return archivo == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION;
  }

  void Crear_Temporal() {
    std::random_device semilla;
    std::mt19937 azar(semilla());
    for (int intento = 0; intento < 100; ++intento) {
      temporal_ = Nombre_Temporal(objetivo_, azar);
      archivo_ = w_.CreateFileW(temporal_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (archivo_ != INVALID_HANDLE_VALUE) return;
      const DWORD error = GetLastError();
      if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) Fallar(ruta_, error);
    }
    Fallar(ruta_, ERROR_FILE_EXISTS);
  }

  const LlamadasWin32 w_;
  std::string ruta_;
  std::wstring objetivo_;  // the file that the output replaces: ruta_ with its link followed
  std::wstring temporal_;
  HANDLE archivo_ = INVALID_HANDLE_VALUE;
  bool colocado_ = false;
};

class SistemaWin32 : public SistemaArchivos {
 public:
  explicit SistemaWin32(const LlamadasWin32& llamadas) : w_(llamadas) {}

  std::unique_ptr<Fuente> Abrir(const std::string& ruta) override {
    return std::make_unique<FuenteWin32>(w_, ruta);
  }
  std::unique_ptr<Destino> Crear(const std::string& ruta) override {
    return std::make_unique<DestinoWin32>(w_, ruta);
  }
  // Taken from the opened file: the attributes of a path that is a link describe the link.
  int64_t Longitud(const std::string& ruta) override {
    const HANDLE archivo =
        w_.CreateFileW(Ruta_Ancha(ruta).c_str(), FILE_READ_ATTRIBUTES, kCompartirTodo, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (archivo == INVALID_HANDLE_VALUE) Fallar(ruta);
    LARGE_INTEGER largo{};
    const bool medido = w_.GetFileSizeEx(archivo, &largo);
    const DWORD error = GetLastError();
    w_.CloseHandle(archivo);
    if (!medido) Fallar(ruta, error);
    return static_cast<int64_t>(largo.QuadPart);
  }

 private:
  const LlamadasWin32 w_;
};

}  // namespace

std::unique_ptr<SistemaArchivos> Sistema_Win32(const LlamadasWin32& llamadas) {
  return std::make_unique<SistemaWin32>(llamadas);
}

SistemaArchivos& Sistema_Real() {
  static SistemaWin32 sistema{LlamadasWin32{}};
  return sistema;
}

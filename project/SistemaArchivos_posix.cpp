// SPDX-License-Identifier: MIT
// The file system on POSIX systems: positional reads and writes, copy_file_range where the
// kernel has it, and the output composed in a temporary file that is renamed into place.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/vfs.h>
#include <sys/xattr.h>
#endif

#include <cerrno>
#include <climits>
#include <random>

#include "Errores.h"
#include "Rutas.h"
#include "SistemaArchivos.h"

namespace {

constexpr const char* kNoEsArchivoNormal = "no es un archivo normal";

[[noreturn]] void Fallar(const std::string& ruta) {
  throw ErrorArchivo(ruta, Texto_Del_Sistema(errno));
}

std::string Carpeta_Para_Sincronizar(const std::string& ruta) {
  const auto barra = ruta.find_last_of('/');
  if (barra == std::string::npos) return ".";
  if (barra == 0) return "/";
  return ruta.substr(0, barra);
}

class FuentePosix : public Fuente {
 public:
  explicit FuentePosix(std::string ruta) : ruta_(std::move(ruta)) {
    // Without O_NONBLOCK a FIFO put in the file's place since it was looked up would hold the
    // open until a writer came; it is refused here like anything but an ordinary file.
    fd_ = ::open(ruta_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0) Fallar(ruta_);
    struct stat datos;
    const bool leida = ::fstat(fd_, &datos) == 0;
    const int numero_error = errno;
    if (leida && S_ISREG(datos.st_mode)) return;
    ::close(fd_);
    throw ErrorArchivo(ruta_, leida ? kNoEsArchivoNormal : Texto_Del_Sistema(numero_error));
  }
  ~FuentePosix() override { ::close(fd_); }
  const std::string& ruta() const override { return ruta_; }
  int fd() const { return fd_; }

  size_t Leer(int64_t offset, void* datos, size_t n) override {
    for (;;) {
      const ssize_t leidos = ::pread(fd_, datos, n, offset);
      if (leidos >= 0) return static_cast<size_t>(leidos);
      if (errno != EINTR) Fallar(ruta_);
    }
  }

 private:
  std::string ruta_;
  int fd_ = -1;
};

#ifdef __linux__
// Makes the n bytes at offset of the output share the source's blocks at the same offset, on
// file systems that clone extents. Returns 0, or the error that refused it.
int Clonar_Extensiones(int origen, int salida, int64_t offset, size_t n) {
  file_clone_range rango{};
  rango.src_fd = origen;
  rango.src_offset = static_cast<uint64_t>(offset);
  rango.src_length = n;  // never 0, which would mean "to the source's end"
  rango.dest_offset = static_cast<uint64_t>(offset);
  while (::ioctl(salida, FICLONERANGE, &rango) != 0) {
    if (errno != EINTR) return errno;
  }
  return 0;
}
#endif

// "<output name>.XXXXXX" + the suffix, beside the output, with six random letters in place of
// the Xs. The output's name is cut where the whole would pass the file-name limit, so that every
// name the system takes can be written.
std::string Nombre_Temporal(const std::string& ruta) {
  const std::string anadido = std::string(".XXXXXX") + kSufijoTemporal;
  const auto barra = ruta.find_last_of('/');
  const size_t inicio = barra == std::string::npos ? 0 : barra + 1;
  const size_t cabe = NAME_MAX - anadido.size();
  std::string nombre = ruta.substr(0, inicio) + ruta.substr(inicio, cabe) + anadido;
  constexpr char kLetras[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device azar;
  const size_t equis = nombre.size() - anadido.size() + 1;
  for (size_t i = equis; i < equis + 6; ++i) nombre[i] = kLetras[azar() % (sizeof kLetras - 1)];
  return nombre;
}

// The path that a path names once the symbolic links of its last part are followed; the path
// itself when that is no link. A link to nothing yet gives where the file will be created.
std::string Resolver_Enlace(const std::string& ruta) {
  constexpr int kMaximoDeEnlaces = 40;
  std::string actual = ruta;
  for (int saltos = 0; saltos < kMaximoDeEnlaces; ++saltos) {
    struct stat datos;
    if (::lstat(actual.c_str(), &datos) != 0 || !S_ISLNK(datos.st_mode)) return actual;
    char destino[PATH_MAX];
    const ssize_t largo = ::readlink(actual.c_str(), destino, sizeof destino);
    if (largo < 0) Fallar(ruta);
    if (largo == sizeof destino) throw ErrorArchivo(ruta, Texto_Del_Sistema(ENAMETOOLONG));
    const std::string siguiente(destino, static_cast<size_t>(largo));
    actual =
        !siguiente.empty() && siguiente.front() == '/' ? siguiente : Carpeta_De(actual) + siguiente;
  }
  throw ErrorArchivo(ruta, Texto_Del_Sistema(ELOOP));
}

std::string Ruta_Del_Descriptor(int fd) {
  return "/proc/self/fd/" + std::to_string(fd);
}

// The file that the output replaces, with the links of its path followed by the kernel, so that
// a link it refuses to follow (fs.protected_symlinks: one planted by another user in a shared
// folder) is refused here too. Held by an O_PATH descriptor, which reads the file's attributes
// without the right to read the file; -1 while there is no file.
class Objetivo {
 public:
  explicit Objetivo(const std::string& ruta) : fd_(::open(ruta.c_str(), O_PATH | O_CLOEXEC)) {
    if (fd_ < 0) {
      // The kernel has allowed every link on the way: a link to nothing yet gives where the
      // file will be created, a path without links the path itself.
      if (errno != ENOENT) Fallar(ruta);
      ruta_ = Resolver_Enlace(ruta);
      return;
    }
    char destino[PATH_MAX];
    const ssize_t largo = ::readlink(Ruta_Del_Descriptor(fd_).c_str(), destino, sizeof destino);
    // Without /proc the links are followed here, to the file that the kernel opened.
    ruta_ = largo > 0 && largo < static_cast<ssize_t>(sizeof destino)
                ? std::string(destino, static_cast<size_t>(largo))
                : Resolver_Enlace(ruta);
  }
  ~Objetivo() {
    if (fd_ >= 0) ::close(fd_);
  }
  Objetivo(const Objetivo&) = delete;
  Objetivo& operator=(const Objetivo&) = delete;

  const std::string& ruta() const { return ruta_; }
  int fd() const { return fd_; }

 private:
  int fd_;
  std::string ruta_;
};

// The temporary file that the output is composed in, beside the file it replaces, created with
// the given mode less the umask like any new file there (and given the folder's default ACL).
// Unless it was put in place it is removed, and its descriptor closed, however the output ends.
class Temporal {
 public:
  Temporal(const std::string& objetivo, mode_t modo, const std::string& ruta_salida) {
    constexpr int kIntentos = 100;
    for (int intento = 0; intento < kIntentos && fd_ < 0; ++intento) {
      ruta_ = Nombre_Temporal(objetivo);
      fd_ = ::open(ruta_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, modo);
      if (fd_ < 0 && errno != EEXIST) Fallar(ruta_salida);
    }
    if (fd_ < 0) Fallar(ruta_salida);
  }
  ~Temporal() {
    if (fd_ >= 0) ::close(fd_);
    if (!colocado_) ::unlink(ruta_.c_str());
  }
  Temporal(const Temporal&) = delete;
  Temporal& operator=(const Temporal&) = delete;

  const std::string& ruta() const { return ruta_; }
  int fd() const { return fd_; }
  // Closes the descriptor; false, with errno set, when the system reports a failure.
  bool Cerrar() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }
  void Marcar_Colocado() { colocado_ = true; }

 private:
  std::string ruta_;
  int fd_ = -1;
  bool colocado_ = false;
};

// What the earlier file at the output's path holds, when there is one (st_mode 0 otherwise): it
// must be an ordinary file that the user may write. The rename needs only the right to write
// the folder: a file the user may not write would be replaced all the same.
struct stat Datos_Del_Anterior(const Objetivo& objetivo, const std::string& ruta_salida) {
  struct stat datos = {};
  if (objetivo.fd() < 0) return datos;
  if (::fstat(objetivo.fd(), &datos) != 0) Fallar(ruta_salida);
  if (S_ISDIR(datos.st_mode)) throw ErrorArchivo(ruta_salida, Texto_Del_Sistema(EISDIR));
  if (!S_ISREG(datos.st_mode)) throw ErrorArchivo(ruta_salida, kNoEsArchivoNormal);
  if (::access(objetivo.ruta().c_str(), W_OK) != 0) Fallar(ruta_salida);
  return datos;
}

// The earlier file's permission bits without the set-id ones: the output may change owner, and
// its bytes come from other files.
mode_t Permisos_De(const struct stat& datos) {
  return datos.st_mode & 07777 & ~mode_t{S_ISUID | S_ISGID};
}

#ifdef __linux__
// A value of varying size: its size is asked first, then it is read. False when either fails.
template <typename Leer>
bool Leer_Valor(Leer leer, std::string& valor) {
  const ssize_t largo = leer(nullptr, 0);
  if (largo < 0) return false;
  valor.assign(static_cast<size_t>(largo), '\0');
  const ssize_t leidos = leer(valor.data(), valor.size());
  if (leidos < 0) return false;
  valor.resize(static_cast<size_t>(leidos));
  return true;
}

// The POSIX ACL and the user's own extended attributes of the file at desde.
void Copiar_Atributos_Extendidos(const std::string& desde, int hacia) {
  std::string nombres, valor;
  if (!Leer_Valor([&](char* b, size_t n) { return ::listxattr(desde.c_str(), b, n); }, nombres))
    return;
  for (size_t i = 0; i < nombres.size(); i = nombres.find('\0', i) + 1) {
    const std::string nombre = nombres.c_str() + i;
    if (nombre.rfind("user.", 0) != 0 && nombre != "system.posix_acl_access") continue;
    const auto leer = [&](char* b, size_t n) {
      return ::getxattr(desde.c_str(), nombre.c_str(), b, n);
    };
    if (Leer_Valor(leer, valor)) ::fsetxattr(hacia, nombre.c_str(), valor.data(), valor.size(), 0);
  }
}
#endif

// Gives the output what the user set on the earlier file, as far as this user and this medium
// allow: owner and group (the group alone when the file cannot be given away), mode, ACL and
// user attributes. Each is best effort, as cp does it: a FAT-like medium refuses chmod, a user
// may not give a file away, and none of it is a reason to lose the merge.
void Conservar_Atributos(const Objetivo& objetivo, const struct stat& datos, int temporal) {
  if (::fchown(temporal, datos.st_uid, datos.st_gid) != 0) {
    [[maybe_unused]] const int solo_grupo =
        ::fchown(temporal, static_cast<uid_t>(-1), datos.st_gid);
  }
  ::fchmod(temporal, Permisos_De(datos));
#ifdef __linux__
  // The ACL after the mode: setting it sets the mode's group bits to its mask.
  Copiar_Atributos_Extendidos(Ruta_Del_Descriptor(objetivo.fd()), temporal);
#else
  (void)objetivo;
#endif
}

class DestinoPosix : public Destino {
 public:
  explicit DestinoPosix(std::string ruta)
      : ruta_(std::move(ruta)),
        objetivo_(ruta_),
        anterior_(Datos_Del_Anterior(objetivo_, ruta_)),
        // Never more open than the earlier file, even before its mode is given.
        temporal_(objetivo_.ruta(), Hay_Anterior() ? Permisos_De(anterior_) & 0777 : 0666, ruta_) {
    if (Hay_Anterior()) Conservar_Atributos(objetivo_, anterior_, temporal_.fd());
  }

  const std::string& ruta() const override { return ruta_; }

  void Escribir(int64_t offset, const void* datos, size_t n) override {
    const char* p = static_cast<const char*>(datos);
    while (n > 0) {
      const ssize_t escritos = ::pwrite(temporal_.fd(), p, n, offset);
      if (escritos < 0) {
        if (errno == EINTR) continue;
        Fallar(ruta_);
      }
      p += escritos;
      offset += escritos;
      n -= static_cast<size_t>(escritos);
    }
  }

  size_t Copiar(Fuente& fuente, int64_t offset, size_t n) override {
#ifdef __linux__
    auto* posix = dynamic_cast<FuentePosix*>(&fuente);
    if (posix == nullptr || !copia_en_nucleo_) return 0;
    loff_t desde = offset, hasta = offset;
    for (;;) {
      const ssize_t copiados = ::copy_file_range(posix->fd(), &desde, temporal_.fd(), &hasta, n, 0);
      if (copiados >= 0) return static_cast<size_t>(copiados);
      if (errno == EINTR) continue;
      // Kernels, file systems and sandboxes that cannot do it: read and write from now on.
      if (errno == ENOSYS || errno == EXDEV || errno == EINVAL || errno == EOPNOTSUPP ||
          errno == EPERM || errno == EBADF) {
        copia_en_nucleo_ = false;
        return 0;
      }
      // A failing disk: the piece is read and written instead, so that the side that fails
      // names itself.
      if (errno == EIO) return 0;
      Fallar(ruta_);
    }
#else
    (void)fuente, (void)offset, (void)n;
    return 0;
#endif
  }

  size_t Bloque_De_Clonado() override {
#ifdef __linux__
    struct statfs datos;
    if (::fstatfs(temporal_.fd(), &datos) == 0 && datos.f_bsize > 0)
      return static_cast<size_t>(datos.f_bsize);
#endif
    return 0;
  }

  bool Clonar(Fuente& fuente, int64_t offset, size_t n) override {
#ifdef __linux__
    auto* posix = dynamic_cast<FuentePosix*>(&fuente);
    if (posix == nullptr || n == 0) return false;
    const int error = Clonar_Extensiones(posix->fd(), temporal_.fd(), offset, n);
    // A full disk would fail the copy as well; anything else (another file system, one that
    // cannot clone, a range it will not take, a failing disk, which the copy then names) leaves
    // the bytes to the copy.
    if (error == ENOSPC || error == EDQUOT) throw ErrorArchivo(ruta_, Texto_Del_Sistema(error));
    return error == 0;
#else
    (void)fuente, (void)offset, (void)n;
    return false;
#endif
  }

  void Volcar() override {
    if (::fsync(temporal_.fd()) != 0) Fallar(ruta_);
    if (!temporal_.Cerrar()) Fallar(ruta_);
  }

  void Colocar() override {
    if (::rename(temporal_.ruta().c_str(), objetivo_.ruta().c_str()) != 0) Fallar(ruta_);
    temporal_.Marcar_Colocado();
    // Make the rename itself durable; the data is already safe, so a failure here is ignored.
    const int carpeta =
        ::open(Carpeta_Para_Sincronizar(objetivo_.ruta()).c_str(), O_RDONLY | O_CLOEXEC);
    if (carpeta >= 0) {
      ::fsync(carpeta);
      ::close(carpeta);
    }
  }

 private:
  bool Hay_Anterior() const {
    return anterior_.st_mode != 0;
  }

  std::string ruta_;
  Objetivo objetivo_;  // the file that the output replaces: ruta_ with its links followed
  struct stat anterior_;
  Temporal temporal_;
  bool copia_en_nucleo_ = true;
};

class SistemaPosix : public SistemaArchivos {
 public:
  std::unique_ptr<Fuente> Abrir(const std::string& ruta) override {
    return std::make_unique<FuentePosix>(ruta);
  }
  std::unique_ptr<Destino> Crear(const std::string& ruta) override {
    return std::make_unique<DestinoPosix>(ruta);
  }
  int64_t Longitud(const std::string& ruta) override {
    struct stat datos;
    if (::stat(ruta.c_str(), &datos) != 0) Fallar(ruta);
    return static_cast<int64_t>(datos.st_size);
  }
};

}  // namespace

SistemaArchivos& Sistema_Real() {
  static SistemaPosix sistema;
  return sistema;
}

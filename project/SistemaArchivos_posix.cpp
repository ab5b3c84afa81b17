// SPDX-License-Identifier: MIT
// The file system on POSIX systems: positional reads and writes, copy_file_range where the
// kernel has it, and the output composed in a temporary file that is renamed into place.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

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

// The mode new files get: 0666 less the umask.
mode_t Modo_Nuevo() {
  const mode_t mascara = ::umask(0);
  ::umask(mascara);
  return 0666 & ~mascara;
}

// "<output name>.XXXXXX" + the suffix, beside the output. The output's name is cut where the
// whole would pass the file-name limit, so that every name the system takes can be written.
std::string Plantilla_Temporal(const std::string& ruta) {
  const std::string anadido = std::string(".XXXXXX") + kSufijoTemporal;
  const auto barra = ruta.find_last_of('/');
  const size_t inicio = barra == std::string::npos ? 0 : barra + 1;
  const size_t cabe = NAME_MAX - anadido.size();
  return ruta.substr(0, inicio) + ruta.substr(inicio, cabe) + anadido;
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

class DestinoPosix : public Destino {
 public:
  explicit DestinoPosix(std::string ruta)
      : ruta_(std::move(ruta)), objetivo_(Resolver_Enlace(ruta_)) {
    // A replaced file keeps its mode; a new one gets the usual mode.
    mode_t modo = 0;
    struct stat datos;
    if (::stat(objetivo_.c_str(), &datos) == 0) {
      if (S_ISDIR(datos.st_mode)) throw ErrorArchivo(ruta_, Texto_Del_Sistema(EISDIR));
      if (!S_ISREG(datos.st_mode)) throw ErrorArchivo(ruta_, kNoEsArchivoNormal);
      // The rename needs only the right to write the folder: a file the user may not write
      // would be replaced all the same.
      if (::access(objetivo_.c_str(), W_OK) != 0) Fallar(ruta_);
      modo = datos.st_mode & 07777;
    } else if (errno == ENOENT) {
      modo = Modo_Nuevo();
    } else {
      Fallar(ruta_);  // a name over the limit, say, is told now rather than after the merge
    }
    std::string plantilla = Plantilla_Temporal(objetivo_);
    std::vector<char> nombre(plantilla.begin(), plantilla.end());
    nombre.push_back('\0');
    fd_ = ::mkstemps(nombre.data(),
                     static_cast<int>(std::char_traits<char>::length(kSufijoTemporal)));
    if (fd_ < 0) Fallar(ruta_);
    temporal_ = nombre.data();
    ::fcntl(fd_, F_SETFD, FD_CLOEXEC);
    if (::fchmod(fd_, modo) != 0) Fallar(ruta_);
  }

  ~DestinoPosix() override {
    if (fd_ >= 0) ::close(fd_);
    if (!colocado_) ::unlink(temporal_.c_str());
  }

  const std::string& ruta() const override { return ruta_; }

  void Escribir(int64_t offset, const void* datos, size_t n) override {
    const char* p = static_cast<const char*>(datos);
    while (n > 0) {
      const ssize_t escritos = ::pwrite(fd_, p, n, offset);
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
      const ssize_t copiados = ::copy_file_range(posix->fd(), &desde, fd_, &hasta, n, 0);
      if (copiados >= 0) return static_cast<size_t>(copiados);
      if (errno == EINTR) continue;
      // Kernels, file systems and sandboxes that cannot do it: read and write from now on.
      if (errno == ENOSYS || errno == EXDEV || errno == EINVAL || errno == EOPNOTSUPP ||
          errno == EPERM || errno == EBADF) {
        copia_en_nucleo_ = false;
        return 0;
      }
      if (errno == EIO) Fallar(fuente.ruta());
      Fallar(ruta_);
    }
#else
    (void)fuente, (void)offset, (void)n;
    return 0;
#endif
  }

  void Volcar() override {
    if (::fsync(fd_) != 0) Fallar(ruta_);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) Fallar(ruta_);
  }

  void Colocar() override {
    if (::rename(temporal_.c_str(), objetivo_.c_str()) != 0) Fallar(ruta_);
    colocado_ = true;
    // Make the rename itself durable; the data is already safe, so a failure here is ignored.
    const int carpeta = ::open(Carpeta_Para_Sincronizar(objetivo_).c_str(), O_RDONLY | O_CLOEXEC);
    if (carpeta >= 0) {
      ::fsync(carpeta);
      ::close(carpeta);
    }
  }

 private:
  std::string ruta_;
  std::string objetivo_;  // the file that the output replaces: ruta_ with its link followed
  std::string temporal_;
  int fd_ = -1;
  bool colocado_ = false;
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

// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Offsets here are 0-based; the operations built on top speak in 1-based positions.
// Every method reports a failure by throwing ErrorArchivo.

// A source project, opened read-only.
class Fuente {
 public:
  virtual ~Fuente() = default;
  virtual const std::string& ruta() const = 0;
  // Reads up to n bytes at offset; fewer only at the end of the file, 0 past it.
  virtual size_t Leer(int64_t offset, void* datos, size_t n) = 0;
};

// The output project while it is written: a temporary file beside the final path that takes
// that path only on Colocar(). Destroyed before that, it removes the temporary file, so an
// earlier file at the final path stays as it was. A final path that is a symbolic link keeps
// the link: the file it points to is the one replaced, by a temporary file beside it.
class Destino {
 public:
  virtual ~Destino() = default;
  virtual const std::string& ruta() const = 0;  // the final path
  virtual void Escribir(int64_t offset, const void* datos, size_t n) = 0;
  // Copies up to n bytes of the source at offset to the same offset of the output without
  // passing them through this process where the platform can. Returns the bytes copied;
  // 0 means "read and write them instead" (no such copy here, or the source ends).
  virtual size_t Copiar(Fuente& fuente, int64_t offset, size_t n) = 0;
  // Flushes everything to disk. This and Colocar, one after the other, may run on other
  // threads than the rest.
  virtual void Volcar() = 0;
  // Puts the flushed file in place of the final path, durably where the system can.
  virtual void Colocar() = 0;

  // The block size at which the output can share the source's blocks instead of copying them
  // (on file systems that clone extents); 0 when it cannot, or once a clone has been refused.
  size_t Bloque_Compartido() { return compartir_ ? Bloque_De_Clonado() : 0; }
  // Makes the n bytes at offset share the source's blocks at the same offset; both are
  // multiples of Bloque_Compartido() and lie within the source. False when the file system
  // cannot do it here: the bytes are then to be copied, and Bloque_Compartido() is 0 from now.
  bool Compartir(Fuente& fuente, int64_t offset, size_t n) {
    compartir_ = Clonar(fuente, offset, n);
    return compartir_;
  }

 protected:
  virtual size_t Bloque_De_Clonado() { return 0; }
  // False for "cannot clone here"; a failure of the disk itself throws ErrorArchivo.
  virtual bool Clonar(Fuente&, int64_t, size_t) { return false; }

 private:
  bool compartir_ = true;
};

// The seam between the merge and the file system, so that tests can make any step fail.
class SistemaArchivos {
 public:
  virtual ~SistemaArchivos() = default;
  virtual std::unique_ptr<Fuente> Abrir(const std::string& ruta) = 0;
  virtual std::unique_ptr<Destino> Crear(const std::string& ruta) = 0;
  // The length in bytes of the file the path leads to.
  virtual int64_t Longitud(const std::string& ruta) = 0;
};

SistemaArchivos& Sistema_Real();

// Marks the temporary files of Destino: "<output name>.<random>" + this suffix.
inline constexpr const char* kSufijoTemporal = ".vipmerge-tmp";

// Reads until n bytes are in or the source ends; returns the bytes read.
size_t Leer_Completo(Fuente& fuente, int64_t offset, void* datos, size_t n);

// SPDX-License-Identifier: MIT
// What the fuzz targets share: a folder in memory for the files the core must find on disk,
// the reading of a fuzz input, and the plain byte-at-a-time rules the fast code must match.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Escaneos.h"

namespace fuzz {

// A folder on tmpfs, removed when the fuzzer ends.
inline const std::string& Carpeta(const char* objetivo) {
  // Never destroyed, so that the removal at exit still has it.
  static const std::string* const ruta = [objetivo] {
    const std::filesystem::path base =
        std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    auto* carpeta = new std::string(
        (base / ("vipmerge-fuzz-" + std::string(objetivo) + "-" + std::to_string(::getpid())))
            .string());
    std::filesystem::create_directories(*carpeta);
    return carpeta;
  }();
  static const bool quitar_al_salir = std::atexit([] { std::filesystem::remove_all(*ruta); }) == 0;
  (void)quitar_al_salir;
  return *ruta;
}

inline void Escribir(const std::string& ruta, const std::string& bytes) {
  std::ofstream(ruta, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string Leer(const std::string& ruta) {
  std::ifstream archivo(ruta, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(archivo), {});
}

[[noreturn]] inline void Diferencia(const char* que) {
  std::fprintf(stderr, "fast and plain disagree: %s\n", que);
  std::abort();
}

// Takes bytes off the front of the fuzz input.
class Lector {
 public:
  Lector(const uint8_t* datos, size_t n) : datos_(datos), n_(n) {}
  uint8_t Byte() { return i_ < n_ ? datos_[i_++] : 0; }
  uint16_t U16() { return static_cast<uint16_t>(Byte() | (Byte() << 8)); }
  std::string Resto() { return Tomar(n_ - i_); }
  std::string Tomar(size_t n) {
    n = std::min(n, n_ - i_);
    std::string bytes(reinterpret_cast<const char*>(datos_ + i_), n);
    i_ += n;
    return bytes;
  }
  size_t Quedan() const { return n_ - i_; }

 private:
  const uint8_t* datos_;
  size_t n_;
  size_t i_ = 0;
};

// Block sizes: mostly 1 to 64 bytes, so that headers and format names fall across block
// boundaries; one in sixteen longer than any input, and rarely the real size (each run then
// allocates and clears a block of that size, which costs more than the rest of the run).
inline size_t Bloque_De(uint8_t byte) {
  if (byte == 0) return kTamBloque;
  if (byte % 16 == 0) return 8192;
  return size_t{1} + byte % 64;
}

// The boundary: p - 9 for the lowest 1-based p >= inicio at which "LIST", any four bytes and
// "mdrl" lie wholly inside the file; 0 when there is none.
inline int64_t Limite_Simple(const std::string& archivo, int64_t inicio) {
  const int64_t largo = static_cast<int64_t>(archivo.size());
  for (int64_t p = std::max<int64_t>(inicio, 1); p + 11 <= largo; ++p) {
    const size_t i = static_cast<size_t>(p - 1);
    if (archivo[i] == 'L' && archivo[i + 1] == 'I' && archivo[i + 2] == 'S' &&
        archivo[i + 3] == 'T' && archivo[i + 8] == 'm' && archivo[i + 9] == 'd' &&
        archivo[i + 10] == 'r' && archivo[i + 11] == 'l') {
      return p - 9;
    }
  }
  return 0;
}

// The lines from byte 367 on, each ended by CR or CRLF; a line that names one of the five
// formats in lower case accepts the project.
inline bool Nombra_Audio_Simple(const std::string& archivo) {
  std::vector<std::string> lineas(1);
  for (size_t i = 366; i < archivo.size(); ++i) {
    if (archivo[i] == '\r') {
      if (i + 1 < archivo.size() && archivo[i + 1] == '\n') ++i;
      lineas.emplace_back();
    } else {
      lineas.back() += archivo[i];
    }
  }
  if (archivo.size() <= 366) return false;
  for (const std::string& linea : lineas) {
    for (const char* formato : {"wav", "mp3", "aif", "ogg", "flac"}) {
      if (linea.find(formato) != std::string::npos) return true;
    }
  }
  return false;
}

}  // namespace fuzz

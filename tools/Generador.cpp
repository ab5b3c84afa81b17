// SPDX-License-Identifier: MIT
#include "Generador.h"

#include <algorithm>
#include <sstream>

namespace {

constexpr uint64_t kLargoCabeza = 96;
constexpr uint64_t kInicioTexto = 366;  // 0-based offset of byte 367
constexpr uint64_t kLargoPreCabecera = 8;

std::string Texto_De(const DescripcionVip& descripcion) {
  std::string texto;
  for (const std::string& linea : descripcion.lineas) texto += linea + "\r\n";
  return texto;
}

uint64_t Inicio_Audio(const DescripcionVip& descripcion) {
  return kInicioTexto + Texto_De(descripcion).size();
}

void Poner_U32(std::string& datos, size_t offset, uint32_t valor) {
  for (int i = 0; i < 4; ++i) datos[offset + i] = static_cast<char>((valor >> (8 * i)) & 0xFF);
}

std::string Cabeza(const DescripcionVip& descripcion) {
  std::string cabeza(kLargoCabeza, '\0');
  cabeza.replace(0, 4, "VIPP");
  Poner_U32(cabeza, 4, 3);
  Poner_U32(cabeza, 8, static_cast<uint32_t>(Longitud_De(descripcion)));
  Poner_U32(cabeza, 12, descripcion.semilla);
  for (size_t i = 16; i < kLargoCabeza; ++i)
    cabeza[i] = static_cast<char>('a' + (i + descripcion.semilla) % 26);
  return cabeza;
}

// Audio data that is different for every seed. Like real audio it holds the byte "L" about
// once in 256 bytes, so the boundary search meets many false starts.
void Escribir_Audio(std::ostream& salida, const DescripcionVip& descripcion) {
  uint64_t estado = 0x9E3779B97F4A7C15ull ^ descripcion.semilla;
  std::string bloque;
  for (uint64_t restantes = descripcion.bytes_audio; restantes > 0;) {
    const uint64_t n = std::min<uint64_t>(restantes, uint64_t{1} << 20);
    bloque.resize(n);
    for (uint64_t i = 0; i < n; ++i) {
      estado ^= estado << 13;
      estado ^= estado >> 7;
      estado ^= estado << 17;
      bloque[i] = static_cast<char>(estado >> 32);
    }
    salida.write(bloque.data(), static_cast<std::streamsize>(n));
    restantes -= n;
  }
}

std::string Parametros(const DescripcionVip& descripcion) {
  std::string parametros = "PARM";
  parametros.append(4, '\0');
  Poner_U32(parametros, 4, static_cast<uint32_t>(12 + descripcion.bytes_parametros));
  if (descripcion.con_lista) {
    parametros += "LIST";
    parametros.append(4, '\0');
    Poner_U32(parametros, 12, static_cast<uint32_t>(4 + descripcion.bytes_parametros));
    parametros += "mdrl";
  }
  for (uint64_t i = 0; i < descripcion.bytes_parametros; ++i) {
    parametros += static_cast<char>('0' + (i * 7 + descripcion.semilla) % 43);
  }
  return parametros;
}

}  // namespace

int64_t Limite_De(const DescripcionVip& descripcion) {
  if (!descripcion.con_lista) return 0;
  return static_cast<int64_t>(Inicio_Audio(descripcion) + descripcion.bytes_audio);
}

uint64_t Longitud_De(const DescripcionVip& descripcion) {
  return Inicio_Audio(descripcion) + descripcion.bytes_audio + kLargoPreCabecera +
         (descripcion.con_lista ? 12 : 0) + descripcion.bytes_parametros;
}

void Escribir_Vip(std::ostream& salida, const DescripcionVip& descripcion) {
  salida << Cabeza(descripcion) << std::string(kInicioTexto - kLargoCabeza, '\0')
         << Texto_De(descripcion);
  Escribir_Audio(salida, descripcion);
  salida << Parametros(descripcion);
}

std::string Generar_Vip(const DescripcionVip& descripcion) {
  std::ostringstream salida;
  Escribir_Vip(salida, descripcion);
  return salida.str();
}

// SPDX-License-Identifier: MIT
// The merge against the three stages composed position by position. Input: a block-size byte,
// a flags byte (1: the whole merge with its check, else the writing alone; 2: an earlier
// output exists; 4: a line naming a wav file at byte 367 of the audio-data project; 8: an
// output that clones blocks of 8 bytes, or of 16 with 16), the audio-data project's length
// (16 bits, cut to what is there), the audio-data project, and the template as the rest.
#include <algorithm>
#include <filesystem>

#include "../support/SistemaQueClona.h"
#include "Entrada.h"
#include "Mezcla.h"

namespace {

const std::string kAnterior = "un Importar.vip anterior";

// 1 to 96 and 97 to B from the audio-data project, B + 1 to the template's end from the
// template; a later stage wins, positions past a source's end are 0.
std::string Composicion(const std::string& audio, const std::string& plantilla, int64_t limite) {
  const int64_t largo = std::max<int64_t>({96, limite, static_cast<int64_t>(plantilla.size())});
  std::string salida(static_cast<size_t>(largo), '\0');
  auto etapa = [&salida](const std::string& fuente, int64_t desde, int64_t hasta) {
    for (int64_t p = desde; p <= hasta; ++p) {
      const size_t i = static_cast<size_t>(p - 1);
      salida[i] = i < fuente.size() ? fuente[i] : '\0';
    }
  };
  etapa(audio, 1, 96);
  etapa(audio, 97, limite);
  etapa(plantilla, limite + 1, static_cast<int64_t>(plantilla.size()));
  return salida;
}

std::vector<std::string> Nombres(const std::string& carpeta) {
  std::vector<std::string> nombres;
  for (const auto& entrada : std::filesystem::directory_iterator(carpeta)) {
    nombres.push_back(entrada.path().filename().string());
  }
  std::sort(nombres.begin(), nombres.end());
  return nombres;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t n) {
  static const std::string carpeta = fuzz::Carpeta("mezcla");
  const Peticion peticion{carpeta + "/plantilla.vip", carpeta + "/audio.vip",
                          carpeta + "/Importar.vip"};
  fuzz::Lector lector(datos, n);
  const size_t bloque = fuzz::Bloque_De(lector.Byte());
  const uint8_t banderas = lector.Byte();
  std::string audio = lector.Tomar(lector.U16());
  const std::string plantilla = lector.Resto();
  if (banderas & 4) {
    if (audio.size() < 366) audio.resize(366, '\0');
    audio.insert(366, "pista.wav\r\n");
  }
  std::filesystem::remove(peticion.salida);
  fuzz::Escribir(peticion.audio, audio);
  fuzz::Escribir(peticion.plantilla, plantilla);
  if (banderas & 2) fuzz::Escribir(peticion.salida, kAnterior);

  SistemaQueClona clona(banderas & 16 ? 16 : 8);
  SistemaArchivos& sistema = banderas & 8 ? clona : Sistema_Real();
  const bool completa = banderas & 1;
  const Resultado resultado = completa ? Mezclar(peticion, Sin_Progreso(), sistema, bloque)
                                       : Componer(peticion, Sin_Progreso(), sistema, bloque);
  const int64_t limite = fuzz::Limite_Simple(audio, 97);
  Desenlace esperado = limite == 0 ? Desenlace::SinLimite : Desenlace::Escrito;
  if (completa && !fuzz::Nombra_Audio_Simple(audio)) esperado = Desenlace::NoValido;
  if (resultado.desenlace != esperado) fuzz::Diferencia("outcome");

  const bool escrito = esperado == Desenlace::Escrito;
  if (escrito && resultado.limite != limite) fuzz::Diferencia("boundary");
  if (escrito && fuzz::Leer(peticion.salida) != Composicion(audio, plantilla, limite)) {
    fuzz::Diferencia("output");
  }
  if (!escrito && (banderas & 2) && fuzz::Leer(peticion.salida) != kAnterior) {
    fuzz::Diferencia("earlier output replaced");
  }
  std::vector<std::string> quedan{"audio.vip", "plantilla.vip"};
  if (escrito || (banderas & 2)) quedan.insert(quedan.begin(), "Importar.vip");
  if (Nombres(carpeta) != quedan) fuzz::Diferencia("files left in the folder");
  if (fuzz::Leer(peticion.audio) != audio || fuzz::Leer(peticion.plantilla) != plantilla) {
    fuzz::Diferencia("a source changed");
  }
  return 0;
}

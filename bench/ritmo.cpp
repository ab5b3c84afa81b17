// SPDX-License-Identifier: MIT
// How long the caller waits between two pumps when the output goes to slow media: a merge of a
// 40 MiB audio-data project into a destination that writes at the given speed (MB/s) and takes
// a second to flush. Prints the longest pause and the number of pumps.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "Generador.h"
#include "Mezcla.h"

namespace {

using Reloj = std::chrono::steady_clock;

class DestinoLento : public Destino {
 public:
  DestinoLento(std::unique_ptr<Destino> real, double bytes_por_segundo)
      : real_(std::move(real)), bytes_por_segundo_(bytes_por_segundo) {}
  const std::string& ruta() const override { return real_->ruta(); }
  void Escribir(int64_t offset, const void* datos, size_t n) override {
    std::this_thread::sleep_for(std::chrono::duration<double>(n / bytes_por_segundo_));
    real_->Escribir(offset, datos, n);
  }
  size_t Copiar(Fuente&, int64_t, size_t) override { return 0; }  // every byte through Escribir
  void Volcar() override {
    std::this_thread::sleep_for(std::chrono::seconds(1));
    real_->Volcar();
  }
  void Colocar() override { real_->Colocar(); }

 private:
  std::unique_ptr<Destino> real_;
  double bytes_por_segundo_;
};

class SistemaLento : public SistemaArchivos {
 public:
  explicit SistemaLento(double bytes_por_segundo) : bytes_por_segundo_(bytes_por_segundo) {}
  std::unique_ptr<Fuente> Abrir(const std::string& ruta) override {
    return Sistema_Real().Abrir(ruta);
  }
  std::unique_ptr<Destino> Crear(const std::string& ruta) override {
    return std::make_unique<DestinoLento>(Sistema_Real().Crear(ruta), bytes_por_segundo_);
  }
  int64_t Longitud(const std::string& ruta) override { return Sistema_Real().Longitud(ruta); }

 private:
  double bytes_por_segundo_;
};

class PausaMayor : public Progreso {
 public:
  bool Bombear() override {
    const auto ahora = Reloj::now();
    mayor = std::max(mayor, std::chrono::duration<double, std::milli>(ahora - ultimo_).count());
    ultimo_ = ahora;
    ++bombeos;
    return true;
  }
  double mayor = 0;
  int bombeos = 0;

 private:
  Reloj::time_point ultimo_ = Reloj::now();
};

void Escribir(const std::string& ruta, const DescripcionVip& descripcion) {
  std::ofstream archivo(ruta, std::ios::binary);
  Escribir_Vip(archivo, descripcion);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: vipmerge-ritmo MB_PER_SECOND FOLDER\n");
    return 64;
  }
  const double bytes_por_segundo = std::atof(argv[1]) * 1e6;
  const std::string carpeta = std::string(argv[2]) + "/";
  DescripcionVip audio, plantilla;
  audio.bytes_audio = 40 << 20;
  plantilla.semilla = 2;
  Escribir(carpeta + "ritmo-audio.vip", audio);
  Escribir(carpeta + "ritmo-plantilla.vip", plantilla);
  SistemaLento sistema(bytes_por_segundo);
  PausaMayor progreso;
  const Peticion peticion{carpeta + "ritmo-plantilla.vip", carpeta + "ritmo-audio.vip",
                          carpeta + "ritmo-Importar.vip"};
  const Resultado resultado = Componer(peticion, progreso, sistema);
  if (resultado.desenlace != Desenlace::Escrito) {
    std::fprintf(stderr, "%s\n", Mensaje(peticion, resultado).c_str());
    return 1;
  }
  std::printf("media at %3.0f MB/s:  longest pause between pumps %.0f ms (%d pumps)\n",
              bytes_por_segundo / 1e6, progreso.mayor, progreso.bombeos);
  return 0;
}

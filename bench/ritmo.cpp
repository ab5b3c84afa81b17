// SPDX-License-Identifier: MIT
// How long the caller waits between two pumps on slow media: a whole merge (the check, the
// search, the three stages, the flush and the rename) of an audio-data project read at the given
// speed into an output written at the given speed (MB/s), whose flush takes a second, its rename
// 50 ms and the flush of its folder 300 ms, up to the outcome. Prints the longest pause of each
// phase, attributed to the phase in which it ends, and the number of pumps.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "Generador.h"
#include "Mezcla.h"

namespace {

using Reloj = std::chrono::steady_clock;

constexpr const char* kFases[] = {"check",     "head",     "search", "audio data",
                                  "(between)", "template", "flush",  "rename"};
constexpr int kFaseVolcado = 6, kFaseColocacion = 7;
std::atomic<int> fase{0};

void Esperar(double segundos) {
  std::this_thread::sleep_for(std::chrono::duration<double>(segundos));
}

class FuenteLenta : public Fuente {
 public:
  FuenteLenta(std::unique_ptr<Fuente> real, double bytes_por_segundo)
      : real_(std::move(real)), bytes_por_segundo_(bytes_por_segundo) {}
  const std::string& ruta() const override { return real_->ruta(); }
  size_t Leer(int64_t offset, void* datos, size_t n) override {
    const size_t leidos = real_->Leer(offset, datos, n);
    Esperar(leidos / bytes_por_segundo_);  // a read at the end costs only what it returns
    return leidos;
  }

 private:
  std::unique_ptr<Fuente> real_;
  double bytes_por_segundo_;
};

class DestinoLento : public Destino {
 public:
  DestinoLento(std::unique_ptr<Destino> real, double bytes_por_segundo)
      : real_(std::move(real)), bytes_por_segundo_(bytes_por_segundo) {}
  const std::string& ruta() const override { return real_->ruta(); }
  void Escribir(int64_t offset, const void* datos, size_t n) override {
    Esperar(n / bytes_por_segundo_);
    real_->Escribir(offset, datos, n);
  }
  size_t Copiar(Fuente&, int64_t, size_t) override { return 0; }  // every byte through Escribir
  void Volcar() override {
    fase = kFaseVolcado;
    Esperar(1);
    real_->Volcar();
  }
  void Colocar() override {
    fase = kFaseColocacion;
    Esperar(0.05);  // the rename
    real_->Colocar();
    Esperar(0.3);  // the folder's flush
  }

 private:
  std::unique_ptr<Destino> real_;
  double bytes_por_segundo_;
};

class SistemaLento : public SistemaArchivos {
 public:
  SistemaLento(double lectura, double escritura) : lectura_(lectura), escritura_(escritura) {}
  std::unique_ptr<Fuente> Abrir(const std::string& ruta) override {
    return std::make_unique<FuenteLenta>(Sistema_Real().Abrir(ruta), lectura_);
  }
  std::unique_ptr<Destino> Crear(const std::string& ruta) override {
    return std::make_unique<DestinoLento>(Sistema_Real().Crear(ruta), escritura_);
  }
  int64_t Longitud(const std::string& ruta) override { return Sistema_Real().Longitud(ruta); }

 private:
  double lectura_, escritura_;
};

// Each time the bar is shown or hidden a new phase begins.
class PausaMayor : public Progreso {
 public:
  void Fijar_Visible(bool) override { ++fase; }
  bool Bombear() override {
    const auto ahora = Reloj::now();
    double& mayor = mayores[std::min(fase.load(), kFaseColocacion)];
    mayor = std::max(mayor, std::chrono::duration<double, std::milli>(ahora - ultimo_).count());
    ultimo_ = ahora;
    ++bombeos;
    return true;
  }
  double mayores[kFaseColocacion + 1] = {};
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
  if (argc != 5) {
    std::fprintf(stderr, "usage: vipmerge-ritmo READ_MB_PER_S WRITE_MB_PER_S AUDIO_MIB FOLDER\n");
    return 64;
  }
  const double lectura = std::atof(argv[1]) * 1e6, escritura = std::atof(argv[2]) * 1e6;
  const std::string carpeta = std::string(argv[4]) + "/";
  DescripcionVip audio, plantilla;
  audio.bytes_audio = std::strtoull(argv[3], nullptr, 10) << 20;
  plantilla.semilla = 2;
  Escribir(carpeta + "ritmo-audio.vip", audio);
  Escribir(carpeta + "ritmo-plantilla.vip", plantilla);
  SistemaLento sistema(lectura, escritura);
  PausaMayor progreso;
  const Peticion peticion{carpeta + "ritmo-plantilla.vip", carpeta + "ritmo-audio.vip",
                          carpeta + "ritmo-Importar.vip"};
  const Resultado resultado = Mezclar(peticion, progreso, sistema);
  progreso.Bombear();  // the window's next turn, when it shows the outcome
  if (resultado.desenlace != Desenlace::Escrito) {
    std::fprintf(stderr, "%s\n", Mensaje(peticion, resultado).c_str());
    return 1;
  }
  const double mayor = *std::max_element(std::begin(progreso.mayores), std::end(progreso.mayores));
  std::printf(
      "%s MiB read at %s MB/s, written at %s MB/s: longest pause between pumps %.0f ms"
      " (%d pumps)\n   ",
      argv[3], argv[1], argv[2], mayor, progreso.bombeos);
  for (int i = 0; i <= kFaseColocacion; ++i)
    std::printf(" %s %.0f", kFases[i], progreso.mayores[i]);
  std::printf(" ms\n");
  return 0;
}

// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

#include "Progreso.h"

// Records what the work reports, as lines such as "maximo 991", "visible 1", "valor 500", and
// can ask the work to stop at a given pump.
class ProgresoGrabado : public Progreso {
 public:
  std::vector<std::string> eventos;
  std::vector<int64_t> valores;
  int bombeos = 0;
  int detener_en_bombeo = -1;  // 1 = the first pump answers "stop"

  void Fijar_Maximo(int64_t maximo) override {
    eventos.push_back("maximo " + std::to_string(maximo));
  }
  void Fijar_Valor(int64_t valor) override { valores.push_back(valor); }
  void Fijar_Visible(bool visible) override {
    eventos.push_back(visible ? "visible 1" : "visible 0");
  }
  bool Bombear() override { return ++bombeos != detener_en_bombeo; }
};

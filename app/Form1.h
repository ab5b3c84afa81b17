// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "Escaneos.h"
#include "Progreso.h"
#include "SistemaArchivos.h"
#include "Vista.h"

class FileList;
struct Peticion;
struct Resultado;

// The program's one window, without its toolkit: pick a template project and an audio-data
// project, press "Comenzar..." and get Importar.vip beside the audio-data project. The whole
// merge runs inside the click on cmdOpen and keeps the window responsive by handling events
// between blocks. The view shows the controls and delivers the three clicks; closing the
// window, and every way the program is asked to stop, is a click on Command1.
//
// Paths are the program's path text: UTF-8 on Windows, the file system's bytes elsewhere.
class Form1 {
 public:
  Form1(Vista& vista, FileList& fileList, SistemaArchivos& sistema = Sistema_Real(),
        size_t bloque = kTamBloque);

  void cmdOpen_Click();
  void cmdIni_Click();
  void Command1_Click();

 private:
  bool Elegir_Proyectos();
  bool Preparar_Salida();
  bool Esperar_Comienzo();
  void Escribir_Salida();
  void Mostrar_Desenlace(const Peticion& peticion, const Resultado& resultado);
  void Poner_Estado(const std::string& texto, unsigned color);

  Vista& vista_;
  FileList& FileList_;
  SistemaArchivos& sistema_;
  const size_t bloque_;

  std::string DirVip;
  std::string Path;
  bool esperar = false;

  bool en_curso_ = false;  // a run is between its first dialog and its end
  bool detener_ = false;   // "Salir" was asked: the run stops at its next chance
};

// Shows the core's progress on ProgressBar1 and keeps the window responsive: every pump
// handles the pending events, then asks whether the work may go on.
class ProgresoVista : public Progreso {
 public:
  ProgresoVista(Vista& vista, const bool& detener) : vista_(vista), detener_(detener) {}

  void Fijar_Maximo(int64_t maximo) override;
  void Fijar_Valor(int64_t valor) override;
  void Fijar_Visible(bool visible) override;
  bool Bombear() override;

 private:
  void Mostrar_Barra();

  Vista& vista_;
  const bool& detener_;
  // File positions; the bar gets them scaled to its int steps.
  int64_t maximo_ = 100;
  int64_t valor_ = 0;
};

// ProgressBar1 holds int steps: file positions up to `maximo` are divided by this to fit.
int64_t Escala_Para(int64_t maximo);

// SPDX-License-Identifier: MIT
#pragma once

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Carpeta.h"
#include "FileListGuion.h"
#include "Form1.h"
#include "Generador.h"
#include "SistemaConFallos.h"
#include "Ventana.h"

// A fresh folder with a template and an audio-data project, and a shown window whose dialogs
// answer from a script. Small blocks make the window pump and move its bar many times per run.
struct EscenaVentana {
  CarpetaTemporal carpeta;
  DescripcionVip descripcion_audio;
  std::string audio_bytes, plantilla_bytes;
  QString audio, plantilla, salida;
  FileListGuion guion;
  SistemaConFallos sistema;  // the real file system until a test asks for a fault
  std::unique_ptr<Form1> ventana;

  explicit EscenaVentana(DescripcionVip audio_d = {}, size_t bloque = 64)
      : descripcion_audio(std::move(audio_d)) {
    DescripcionVip plantilla_d;
    plantilla_d.semilla = 2;
    plantilla_d.bytes_audio = 6000;
    plantilla_d.bytes_parametros = 700;
    audio_bytes = Generar_Vip(descripcion_audio);
    plantilla_bytes = Generar_Vip(plantilla_d);
    audio = QString::fromStdString(carpeta.Escribir("audio.vip", audio_bytes));
    plantilla = QString::fromStdString(carpeta.Escribir("plantilla.vip", plantilla_bytes));
    salida = QString::fromStdString(carpeta / "Importar.vip");
    ventana = std::make_unique<Form1>(guion, sistema, bloque);
    ventana->show();
  }

  // Both dialogs of the next run answer with the two projects.
  void Elegir() { guion.respuestas = {plantilla, audio}; }

  // A whole run on the two projects: during the wait the action runs, then "Comenzar..." is
  // clicked. Returns whether the run reached the wait.
  bool Ejecutar(const std::function<void()>& en_la_espera = [] {}) {
    Elegir();
    AlMostrarse espera(boton("cmdIni"), [&] {
      en_la_espera();
      Pulsar(boton("cmdIni"));
    });
    Pulsar(boton("cmdOpen"));
    return espera.hecho();
  }

  QPushButton* boton(const char* nombre) const { return Buscar<QPushButton>(*ventana, nombre); }
  QLineEdit* caja(const char* nombre) const { return Buscar<QLineEdit>(*ventana, nombre); }
  QProgressBar* barra() const { return Buscar<QProgressBar>(*ventana, "ProgressBar1"); }

  int64_t Limite() const { return Limite_De(descripcion_audio); }
  // The audio-data project up to the boundary, then the template's bytes after it.
  std::string Esperado() const {
    const size_t limite = static_cast<size_t>(Limite());
    return audio_bytes.substr(0, limite) + plantilla_bytes.substr(limite);
  }
  std::vector<std::string> Nombres() const { return carpeta.Nombres(); }
  std::string Leer_Salida() const { return Leer_Archivo(salida.toStdString()); }
  bool Hay_Temporal() const {
    for (const std::string& nombre : carpeta.Nombres()) {
      if (nombre.find(kSufijoTemporal) != std::string::npos) return true;
    }
    return false;
  }
};

// Longer than any output here, so that stale trailing bytes would show.
inline const std::string kAnterior = "un Importar.vip anterior" + std::string(20000, 'z');

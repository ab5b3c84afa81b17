// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QWidget>
#include <cstddef>

#include "Escaneos.h"
#include "SistemaArchivos.h"

class FileList;
class QEventLoop;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
struct Peticion;
struct Resultado;

// The program's one window: pick a template project and an audio-data project, press
// "Comenzar..." and get Importar.vip beside the audio-data project. The whole merge runs inside
// the click on cmdOpen and keeps the window responsive by processing events as it goes.
class Form1 : public QWidget {
  Q_OBJECT

 public:
  explicit Form1(FileList& fileList, SistemaArchivos& sistema = Sistema_Real(),
                 size_t bloque = kTamBloque, QWidget* parent = nullptr);

 protected:
  // Closing by the frame does what "Salir" does.
  void closeEvent(QCloseEvent* evento) override;

 private:
  // Built in Form1Diseno.cpp.
  void Crear_Controles();
  void Crear_Botones();
  void Crear_Cajas();
  void Crear_Etiquetas();
  void Fijar_Orden_De_Tabulacion();

  void cmdOpen_Click();
  void cmdIni_Click();
  void Command1_Click();

  bool Elegir_Proyectos();
  bool Preparar_Salida();
  bool Esperar_Comienzo();
  void Escribir_Salida();
  void Mostrar_Desenlace(const Peticion& peticion, const Resultado& resultado);
  void Poner_Estado(const QString& texto, unsigned color);
  void Salir();

  FileList& FileList_;
  SistemaArchivos& sistema_;
  const size_t bloque_;

  QPushButton* cmdOpen = nullptr;
  QPushButton* cmdIni = nullptr;
  QPushButton* Command1 = nullptr;
  QLineEdit* TextZorvalina = nullptr;
  QLineEdit* TextImportar = nullptr;
  QLineEdit* TextDestino = nullptr;
  QLineEdit* Text1 = nullptr;
  QProgressBar* ProgressBar1 = nullptr;

  QString DirVip;
  QString Path;
  bool esperar = false;

  bool en_curso_ = false;  // a run is between its first dialog and its end
  bool detener_ = false;   // "Salir" was asked: the run stops at its next chance
  QEventLoop* espera_ = nullptr;
};

// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>
#include <array>
#include <cstddef>
#include <string>

#include "Diseno.h"
#include "Form1.h"

class QEventLoop;

// Form1 in Qt: the designed controls, each named as in the layout table and named for screen
// readers, over the workflow. Closing the window does what "Salir" does.
class Form1Qt : public QWidget, public Vista {
 public:
  explicit Form1Qt(FileList& fileList, SistemaArchivos& sistema = Sistema_Real(),
                   size_t bloque = kTamBloque);

  void Mostrar(Control control, bool visible) override;
  void Poner_Texto(Control control, const std::string& texto) override;
  std::string Texto(Control control) const override;
  void Poner_Fondo(Control control, unsigned bgr) override;
  void Fijar_Barra(int maximo, int valor) override;
  void Anunciar(Control control) override;
  void Procesar_Eventos() override;
  void Esperar() override;
  void Terminar_Espera() override;
  void Cerrar() override;

 protected:
  void closeEvent(QCloseEvent* evento) override;

 private:
  QWidget* Crear(const Diseno_Control& diseno);
  void Fijar_Orden_De_Tabulacion();
  void Nombrar_Para_Lectores();
  template <class Clase>
  Clase* De(Control control) const;

  std::array<QWidget*, kDiseno.size()> controles_{};  // by the value of Control
  std::array<std::string, kDiseno.size()> textos_;    // the workflow's texts, byte for byte
  QEventLoop* espera_ = nullptr;
  Form1 form1_;
};

// SIGINT, SIGTERM and SIGHUP (Ctrl+C, the end of the session) close the window, which does
// what "Salir" does, from the event loop and wherever the window is in its run.
void Cerrar_Con_Senales(QWidget& ventana);

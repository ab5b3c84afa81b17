// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <map>
#include <stdexcept>

#include "Diseno.h"
#include "FileList.h"
#include "Form1.h"

// Form1 without a toolkit, its dialog answering from a script ("" = cancelled). At each new moment
// of a run (elige, comprueba, espera, escribe, fin) it notes what is shown, "O" cmdOpen, "I"
// cmdIni, "B" the bar, "V"/"R" Text1 light green or not, and the test may act. Left alone, the wait
// presses "Comenzar...". A hidden button clicked, a bar out of range, an endless wait or a run
// going on after "Salir" throw.
struct VistaFalsa : Vista, FileList {
  std::vector<std::string> respuestas;
  std::map<Control, bool> visible;
  std::map<Control, std::string> texto;
  unsigned fondo = kRojoClaro;  // of Text1
  std::string dialogos, estados, momento;
  std::function<void(const std::string& momento)> al_actuar = [](const std::string&) {};
  int barra_maximo = 0, barra_valor = 0;
  bool esperando = false, cerrada = false;
  Form1 form;

  explicit VistaFalsa(SistemaArchivos& s = Sistema_Real()) : form(*this, *this, s, 64) {
    for (const Diseno_Control& d : kDiseno) visible[d.control] = d.visible;
  }
  void Pulsar(Control boton) {
    if (!visible[boton]) throw std::logic_error(Diseno_De(boton).nombre + std::string(" oculto"));
    if (boton == Control::cmdIni) form.cmdIni_Click();
    if (boton == Control::Command1) form.Command1_Click();
    if (boton == Control::cmdOpen) form.cmdOpen_Click(), Actuar("fin");
  }
  void ShowOpen() override {
    dialogos += DialogTitle + "|" + Filter + "|" + std::to_string(CancelError) + "\n";
    Actuar("elige");
    FileName = respuestas.empty() ? "" : respuestas.front();
    if (!respuestas.empty()) respuestas.erase(respuestas.begin());
  }
  void Mostrar(Control c, bool si) override { visible[c] = si; }
  void Poner_Texto(Control c, const std::string& t) override { texto[c] = t; }
  std::string Texto(Control c) const override { return texto.at(c); }
  void Poner_Fondo(Control, unsigned bgr) override { fondo = bgr; }
  void Fijar_Barra(int maximo, int valor) override {
    if (maximo < 1 || valor < 0 || valor > maximo) throw std::logic_error("barra fuera de rango");
    barra_maximo = maximo, barra_valor = valor;
  }
  void Procesar_Eventos() override { Actuar(visible[Control::cmdOpen] ? "comprueba" : "escribe"); }
  void Esperar() override {
    esperando = true;
    Actuar("espera");
    if (esperando && !cerrada) Pulsar(Control::cmdIni);
    if (esperando) throw std::logic_error("la espera no termina");
  }
  void Terminar_Espera() override { esperando = false; }
  void Cerrar() override { cerrada = true; }
  std::string Si(Control c, const char* letra) { return visible[c] ? letra : ""; }
  void Actuar(const std::string& ahora) {
    if (cerrada && ahora != "fin") throw std::logic_error("la ejecución sigue tras Salir");
    if (ahora == momento && ahora != "fin") return;
    estados += (estados.empty() ? "" : ", ") + (momento = ahora) + " " + Si(Control::cmdOpen, "O") +
               Si(Control::cmdIni, "I") + Si(Control::ProgressBar1, "B") +
               Si(Control::Text1, fondo == 0x80FF80 ? "V" : "R");
    al_actuar(ahora);
  }
};

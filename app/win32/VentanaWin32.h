// SPDX-License-Identifier: MIT
#pragma once

#include <windows.h>

#include <array>

#include "Diseno.h"
#include "Gdi.h"
#include "Vista.h"

class Form1;

// Form1's window in plain Win32: the controls of the layout table, placed and lettered at the
// window's own dpi, and the event loops that the workflow asks for. Clicks, closing the window
// and the end of the session go to the Form1 given to Conectar.
class VentanaWin32 : public Vista {
 public:
  VentanaWin32();  // throws std::system_error when the window cannot be made
  ~VentanaWin32() override;
  VentanaWin32(const VentanaWin32&) = delete;
  VentanaWin32& operator=(const VentanaWin32&) = delete;

  void Conectar(Form1& form) { form_ = &form; }
  HWND Hwnd() const { return hwnd_; }
  HWND Hwnd(Control control) const;

  // Shows the window, with the focus in the first box.
  void Mostrar_Ventana(int modo);
  // Handles events until the program ends; returns its exit code.
  int Ejecutar();

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

 private:
  static LRESULT CALLBACK Procedimiento(HWND hwnd, UINT mensaje, WPARAM w, LPARAM l);
  LRESULT Atender(UINT mensaje, WPARAM w, LPARAM l);
  void Crear_Controles();
  void Crear_Control(const Diseno_Control& diseno);
  void Crear_Nombre_Oculto(const char* nombre);
  void Aplicar_Dpi(UINT dpi);
  void Colocar_Controles(UINT dpi);
  RECT Rectangulo_De(const Diseno_Control& diseno, HDC dc, UINT dpi) const;
  LRESULT Colorear(UINT mensaje, HWND control, HDC dc);
  void Clic(int id);
  void Activar(WPARAM w);
  void Despachar(MSG& mensaje);
  void Fin_Pedido_Desde_Fuera(const MSG& quit);

  HWND hwnd_ = nullptr;
  std::array<HWND, kDiseno.size()> controles_{};
  std::array<COLORREF, kDiseno.size()> fondos_{};
  std::array<Pincel, kDiseno.size()> pinceles_;
  Tipografia normal_;
  Tipografia negrita_;
  HWND foco_ = nullptr;  // the control that had the focus when the window was last deactivated
  Form1* form_ = nullptr;
  bool esperando_ = false;
  bool cerrando_ = false;
};

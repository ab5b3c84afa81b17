// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// The controls of Form1 that the workflow and the layout name.
enum class Control {
  cmdOpen,
  cmdIni,
  Command1,
  TextZorvalina,
  TextImportar,
  TextDestino,
  Text1,
  ProgressBar1,
  Label1,
  Label2,
  Label3,
  Label4_0,
  Label4_1,
  Label4_2,
  Label5,
};

// What the workflow needs of a window toolkit. Every text is UTF-8; paths are the program's
// own path text (see Form1). Each view shows the controls of the layout table.
class Vista {
 public:
  virtual ~Vista() = default;
  virtual void Mostrar(Control control, bool visible) = 0;
  virtual void Poner_Texto(Control control, const std::string& texto) = 0;
  virtual std::string Texto(Control control) const = 0;
  // Background colour of a text box, packed 0x00BBGGRR; its text is then kTextoEstado in every
  // theme.
  virtual void Poner_Fondo(Control control, unsigned bgr) = 0;
  // ProgressBar1 with the range 0 to maximo (at least 1) and the value valor in it.
  virtual void Fijar_Barra(int maximo, int valor) = 0;
  // Gives the focus to a shown control so that screen readers speak its name and text; in a
  // window the user has left, it gets the focus when the window is active again.
  virtual void Anunciar(Control control) = 0;
  // Handles the window events that are pending; a click runs its handler inside.
  virtual void Procesar_Eventos() = 0;
  // Handles window events, sleeping while none come, until Terminar_Espera() is called.
  virtual void Esperar() = 0;
  virtual void Terminar_Espera() = 0;
  // Ends the program as soon as the running handler, if any, has returned.
  virtual void Cerrar() = 0;
};

// SPDX-License-Identifier: MIT
#pragma once

#include <array>

#include "Vista.h"

// The designed form of Form1, in twips (1/1440 inch; 15 to a pixel at 96 dpi), relative to the
// client area. Every view builds its controls from this one table.

inline constexpr int kTwipsPorPixel = 15;
inline constexpr int kAnchoCliente = 8550;  // 570 pixels at 96 dpi
inline constexpr int kAltoCliente = 4410;   // 294 pixels at 96 dpi
inline constexpr const char* kTituloVentana =
    "Exportar los parámetros de un proyecto Vip a otro proyecto Vip";
// The design face: 8.25 point, a 13-pixel line at 96 dpi.
inline constexpr const char* kFuenteVentana = "MS Sans Serif";
inline constexpr double kPuntosFuente = 8.25;

// Status colours packed as 0x00BBGGRR (red in the lowest byte).
inline constexpr unsigned kRojoClaro = 0x8080FF;   // writing in progress, or it failed
inline constexpr unsigned kVerdeClaro = 0x80FF80;  // the output is in place
// Text1's text on either status colour, whatever the theme: black gives 8.6:1 on light red and
// 16.5:1 on light green, where a dark or high-contrast theme's light text would be unreadable.
inline constexpr unsigned kTextoEstado = 0x000000;

enum class Tipo {
  Boton,
  Caja,         // single-line text box the user may edit
  CajaLectura,  // single-line text box the user may select in but not change
  Etiqueta,     // a label that takes the size of its caption on one line
  Barra,        // progress bar, range 0 to 100 at start
};

struct Diseno_Control {
  Control control;
  const char* nombre;  // the control's name, as views and tests address it
  Tipo tipo;
  const char* texto;             // caption or starting text, UTF-8
  int left, top, width, height;  // twips; a label's width and height are its design-font size
  int tabulacion;                // position in the tab order, 0 to 14
  bool visible;                  // at start
  bool negrita;                  // the step markers
};

// In reading order.
extern const std::array<Diseno_Control, 15> kDiseno;

const Diseno_Control& Diseno_De(Control control);

// What screen readers call the controls that show no caption of their own. A path box is named
// by its caption and labelled by its step marker too.
struct Rotulos {
  Control caja;
  Control numero;   // the step marker
  Control leyenda;  // the caption, whose text names the box
};
extern const std::array<Rotulos, 3> kRotulos;

// Text1 and ProgressBar1 have no label: they get names of their own.
struct Nombre_Propio {
  Control control;
  const char* nombre;  // UTF-8
};
extern const std::array<Nombre_Propio, 2> kNombresPropios;

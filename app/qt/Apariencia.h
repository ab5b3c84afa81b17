// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QFont>

class QWidget;

// Status colours packed as 0x00BBGGRR (red in the lowest byte).
inline constexpr unsigned kRojoClaro = 0x8080FF;   // writing in progress, or it failed
inline constexpr unsigned kVerdeClaro = 0x80FF80;  // the output is in place

QColor Color_De(unsigned bgr);
// Gives a text box the background colour.
void Poner_Color(QWidget& caja, unsigned bgr);

// The window's face: 8.25 point with a 13-pixel line, the size the layout was made for.
QFont Fuente_Ventana();

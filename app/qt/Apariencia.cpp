// SPDX-License-Identifier: MIT
#include "Apariencia.h"

#include <QPalette>
#include <QWidget>

QColor Color_De(unsigned bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

void Poner_Color(QWidget& caja, unsigned bgr) {
  QPalette paleta = caja.palette();
  paleta.setColor(QPalette::Base, Color_De(bgr));
  caja.setPalette(paleta);
}

QFont Fuente_Ventana() {
  QFont fuente;
  // Where the designed face is missing, the condensed DejaVu face has its 13-pixel line and
  // keeps the longest caption inside the window.
  fuente.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("DejaVu Sans Condensed")});
  fuente.setPointSizeF(8.25);
  fuente.setStyleHint(QFont::SansSerif);
  return fuente;
}

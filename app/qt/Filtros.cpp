// SPDX-License-Identifier: MIT
#include "FileList.h"

QStringList Filtros_De(const QString& filter) {
  const QStringList partes = filter.split(QLatin1Char('|'));
  QStringList filtros;
  for (int i = 0; i + 1 < partes.size(); i += 2) {
    const QString descripcion = partes[i].trimmed();
    const QString patrones = partes[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(' ');
    // The dialog selects by the patterns in the last parentheses of a filter's text.
    const QString entre_parentesis = QLatin1Char('(') + patrones + QLatin1Char(')');
    filtros << (descripcion.endsWith(entre_parentesis)
                    ? descripcion
                    : descripcion + QLatin1Char(' ') + entre_parentesis);
  }
  return filtros;
}

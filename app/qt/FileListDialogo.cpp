// SPDX-License-Identifier: MIT
#include "FileListDialogo.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

namespace {

// "description|patterns|..." pairs as the dialog's name filters, which select by the patterns
// in the last parentheses of each filter's text.
QStringList Filtros_De(const QString& filter) {
  const QStringList partes = filter.split(QLatin1Char('|'));
  QStringList filtros;
  for (int i = 0; i + 1 < partes.size(); i += 2) {
    const QString descripcion = partes[i].trimmed();
    const QString patrones = partes[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(' ');
    const QString entre_parentesis = QLatin1Char('(') + patrones + QLatin1Char(')');
    filtros << (descripcion.endsWith(entre_parentesis)
                    ? descripcion
                    : descripcion + QLatin1Char(' ') + entre_parentesis);
  }
  return filtros;
}

}  // namespace

void FileListDialogo::ShowOpen() {
  QFileDialog dialogo(QApplication::activeWindow(), QString::fromStdString(DialogTitle));
  dialogo.setFileMode(QFileDialog::ExistingFile);
  dialogo.setAcceptMode(QFileDialog::AcceptOpen);
  const QStringList filtros = Filtros_De(QString::fromStdString(Filter));
  if (!filtros.isEmpty()) dialogo.setNameFilters(filtros);
  // The next dialog of a run opens where the last file was chosen.
  const QString anterior = QFile::decodeName(QByteArray::fromStdString(FileName));
  if (!anterior.isEmpty()) dialogo.setDirectory(QFileInfo(anterior).absolutePath());

  const bool elegido = dialogo.exec() == QDialog::Accepted && !dialogo.selectedFiles().isEmpty();
  FileName = elegido ? QFile::encodeName(dialogo.selectedFiles().constFirst()).toStdString()
                     : std::string();
  if (!elegido && CancelError) throw Cancelado();
}

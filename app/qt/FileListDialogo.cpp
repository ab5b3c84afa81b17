// SPDX-License-Identifier: MIT
#include "FileListDialogo.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

void FileListDialogo::ShowOpen() {
  QFileDialog dialogo(QApplication::activeWindow(), DialogTitle);
  dialogo.setFileMode(QFileDialog::ExistingFile);
  dialogo.setAcceptMode(QFileDialog::AcceptOpen);
  const QStringList filtros = Filtros_De(Filter);
  if (!filtros.isEmpty()) dialogo.setNameFilters(filtros);
  // The next dialog of a run opens where the last file was chosen.
  if (!FileName.isEmpty()) dialogo.setDirectory(QFileInfo(FileName).absolutePath());

  const bool elegido = dialogo.exec() == QDialog::Accepted && !dialogo.selectedFiles().isEmpty();
  FileName = elegido ? QDir::toNativeSeparators(dialogo.selectedFiles().constFirst()) : QString();
  if (!elegido && CancelError) throw Cancelado();
}

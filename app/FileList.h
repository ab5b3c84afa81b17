// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <stdexcept>

// The open-file dialog as the window uses it: set the title, the filter and the cancel
// behaviour, show it, then read the chosen file name. One instance serves every dialog of a
// run, so FileName keeps the last choice until a later dialog replaces it.
class FileList {
 public:
  // Thrown by ShowOpen on a cancelled dialog when CancelError is set.
  class Cancelado : public std::runtime_error {
   public:
    Cancelado() : std::runtime_error("diálogo cancelado") {}
  };

  virtual ~FileList() = default;

  bool CancelError = false;
  QString DialogTitle;
  QString Filter;  // pairs "description|pattern", separated by "|"
  QString FileName;

  // Modal; returns when the dialog is closed. A cancelled dialog leaves FileName empty.
  virtual void ShowOpen() = 0;
};

// The "description|pattern|description|pattern" filter as name filters that show each
// description and select by its patterns (patterns separated by ";").
QStringList Filtros_De(const QString& filter);

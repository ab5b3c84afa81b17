// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "FileList.h"

// A dialog that answers from a script instead of asking anyone: each ShowOpen takes the next
// answer ("" = cancelled, also when the script has run out) and records how it was set up.
class FileListGuion : public FileList {
 public:
  struct Mostrado {
    QString titulo, filtro;
    bool cancel_error;
  };

  QStringList respuestas;
  std::vector<Mostrado> mostrados;

  void ShowOpen() override {
    mostrados.push_back({DialogTitle, Filter, CancelError});
    FileName = respuestas.isEmpty() ? QString() : respuestas.takeFirst();
  }
};

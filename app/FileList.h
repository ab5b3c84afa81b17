// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>
#include <string>

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
  std::string DialogTitle;  // UTF-8
  std::string Filter;       // pairs "description|pattern", separated by "|"
  std::string FileName;     // the chosen path; empty after a cancel

  // Modal; returns when the dialog is closed.
  virtual void ShowOpen() = 0;
};

// SPDX-License-Identifier: MIT
#pragma once

#include <windows.h>

#include "FileList.h"

// FileList over the system's open-file dialog, owned by the given window.
class FileListWin32 : public FileList {
 public:
  explicit FileListWin32(HWND propietario) : propietario_(propietario) {}

  void ShowOpen() override;

 private:
  HWND propietario_;
};

// "description|pattern|..." as the dialog takes it: each part ends in a NUL, the list in two.
std::wstring Lista_De_Filtros(const std::string& filter);

// SPDX-License-Identifier: MIT
#pragma once

#include "FileList.h"

// FileList over Qt's open-file dialog.
class FileListDialogo : public FileList {
 public:
  void ShowOpen() override;
};

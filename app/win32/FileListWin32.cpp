// SPDX-License-Identifier: MIT
#include "FileListWin32.h"

#include <commdlg.h>

#include <algorithm>

#include "Texto.h"

std::wstring Lista_De_Filtros(const std::string& filter) {
  std::wstring lista = Ancho(filter);
  std::replace(lista.begin(), lista.end(), L'|', L'\0');
  lista.append(2, L'\0');
  return lista;
}

void FileListWin32::ShowOpen() {
  // Room for long paths as well, beyond the old 260 characters.
  std::wstring nombre(32768, L'\0');
  const std::wstring titulo = Ancho(DialogTitle);
  const std::wstring filtros = Lista_De_Filtros(Filter);
  OPENFILENAMEW dialogo{};
  dialogo.lStructSize = sizeof dialogo;
  dialogo.hwndOwner = propietario_;
  dialogo.lpstrFilter = Filter.empty() ? nullptr : filtros.c_str();
  dialogo.nFilterIndex = 1;
  dialogo.lpstrFile = nombre.data();
  dialogo.nMaxFile = static_cast<DWORD>(nombre.size());
  dialogo.lpstrTitle = titulo.empty() ? nullptr : titulo.c_str();
  dialogo.Flags =
      OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (GetOpenFileNameW(&dialogo)) {
    FileName = Estrecho(nombre.c_str());
    return;
  }
  // A dialog that could not be shown ends the run like a cancel: the workflow treats an
  // empty name as the user's "no", and shows no message boxes.
  FileName.clear();
  if (CancelError) throw Cancelado();
}

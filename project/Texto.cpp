// SPDX-License-Identifier: MIT
#include "Texto.h"

#include <windows.h>

#include <climits>

std::wstring Ancho(const std::string& utf8) {
  if (utf8.empty() || utf8.size() > INT_MAX || utf8.find('\0') != std::string::npos) return {};
  const int largo_utf8 = static_cast<int>(utf8.size());
  const int largo =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), largo_utf8, nullptr, 0);
  if (largo <= 0) return {};
  std::wstring ancho(static_cast<size_t>(largo), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), largo_utf8, ancho.data(), largo);
  return ancho;
}

std::string Estrecho(const std::wstring& utf16) {
  if (utf16.empty() || utf16.size() > INT_MAX) return {};
  const int largo_utf16 = static_cast<int>(utf16.size());
  const int largo =
      WideCharToMultiByte(CP_UTF8, 0, utf16.data(), largo_utf16, nullptr, 0, nullptr, nullptr);
  if (largo <= 0) return {};
  std::string estrecho(static_cast<size_t>(largo), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), largo_utf16, estrecho.data(), largo, nullptr,
                      nullptr);
  return estrecho;
}

std::wstring Ruta_Ancha(const std::string& ruta) {
  const std::wstring ancho = Ancho(ruta);
  if (ancho.empty() || ancho.rfind(L"\\\\?\\", 0) == 0) return ancho;
  // Separators, "." and ".." are resolved here: the "\\?\" form passes names on untouched.
  std::wstring completa(GetFullPathNameW(ancho.c_str(), 0, nullptr, nullptr), L'\0');
  const DWORD largo = GetFullPathNameW(ancho.c_str(), static_cast<DWORD>(completa.size()),
                                       completa.data(), nullptr);
  if (largo == 0 || largo >= completa.size()) return ancho;
  completa.resize(largo);
  if (completa.rfind(L"\\\\.\\", 0) == 0) return completa;  // a device, such as NUL
  if (completa.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + completa.substr(2);
  return L"\\\\?\\" + completa;
}

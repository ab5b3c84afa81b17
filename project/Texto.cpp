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

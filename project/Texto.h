// SPDX-License-Identifier: MIT
#pragma once

// The program holds every text, paths included, as UTF-8; Windows' wide functions take UTF-16.
#ifdef _WIN32
#include <string>

// UTF-8 to UTF-16. Text that is no valid UTF-8, or that holds a NUL character, gives the empty
// text: the wide functions would otherwise see a different name (a replacement character, or
// the name cut at the NUL) and could open some other file than the one meant.
std::wstring Ancho(const std::string& utf8);

// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string Estrecho(const std::wstring& utf16);

// The path as the wide file calls take it past 260 characters, whether or not Windows has
// long paths enabled: made absolute, then "\\?\" + the path, or "\\?\UNC\" + server and
// share for a network path. Device names and paths already in that form stay as they are.
std::wstring Ruta_Ancha(const std::string& ruta);
#endif

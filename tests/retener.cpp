// SPDX-License-Identifier: MIT
// Holds the file named by its argument open, so that it can be neither removed nor replaced,
// and says so on stdout until the reader closes the pipe.
#include <windows.h>

#include <cstdio>

int wmain(int, wchar_t** argv) {
  const HANDLE archivo =
      CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (archivo == INVALID_HANDLE_VALUE) return 1;
  while (std::fputs("retenido\n", stdout) >= 0 && std::fflush(stdout) == 0) {
  }
  return 0;
}

// SPDX-License-Identifier: MIT
#pragma once

// The Win32 calls that the Windows file layer makes, reached through this table so that a test
// can make any of them fail the way the system would, and the layer's own checks run.
#ifdef _WIN32
#include <windows.h>

#include <memory>

#include "SistemaArchivos.h"

struct LlamadasWin32 {
  decltype(&::CreateFileW) CreateFileW = ::CreateFileW;
  decltype(&::ReadFile) ReadFile = ::ReadFile;
  decltype(&::WriteFile) WriteFile = ::WriteFile;
  decltype(&::FlushFileBuffers) FlushFileBuffers = ::FlushFileBuffers;
  decltype(&::CloseHandle) CloseHandle = ::CloseHandle;
  decltype(&::GetFileSizeEx) GetFileSizeEx = ::GetFileSizeEx;
  decltype(&::GetFileAttributesW) GetFileAttributesW = ::GetFileAttributesW;
  decltype(&::GetFinalPathNameByHandleW) GetFinalPathNameByHandleW = ::GetFinalPathNameByHandleW;
  decltype(&::MoveFileExW) MoveFileExW = ::MoveFileExW;
  decltype(&::DeleteFileW) DeleteFileW = ::DeleteFileW;
};

// The Windows file system, making its calls through the given table.
std::unique_ptr<SistemaArchivos> Sistema_Win32(const LlamadasWin32& llamadas);
#endif

#pragma once
// Full paths of loaded modules, read whole whatever their length.

#include <windows.h>

#include <string>

namespace win32 {

// The path of `module` (the program itself for nullptr); empty on failure.
std::wstring ModulePath(HMODULE module = nullptr);

}  // namespace win32

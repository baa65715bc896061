#pragma once
// The system's own description of a failure code.

#include <windows.h>

#include <string>

namespace toolkit {

// The system's text for an HRESULT or Win32 error code, without the trailing
// line break and full stop (the error report adds the full stop back); a
// code the system cannot describe gives "OLE error XXXXXXXX" (hexadecimal).
std::string SystemErrorMessage(DWORD code);

// Throws Exception with SystemErrorMessage when `result` is a failure.
void OleCheck(HRESULT result);

}  // namespace toolkit

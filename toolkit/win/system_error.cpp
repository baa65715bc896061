#include "toolkit/win/system_error.h"

#include <cstdio>

#include "toolkit/core/exception.h"

namespace toolkit {

std::string SystemErrorMessage(DWORD code) {
    char* buffer = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text;
    if (length && buffer) text.assign(buffer, length);
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.')) text.pop_back();
    if (text.empty()) {
        char fallback[32];
        std::snprintf(fallback, sizeof fallback, "OLE error %08lX", static_cast<unsigned long>(code));
        text = fallback;
    }
    return text;
}

void OleCheck(HRESULT result) {
    if (FAILED(result)) throw Exception(SystemErrorMessage(static_cast<DWORD>(result)));
}

}  // namespace toolkit

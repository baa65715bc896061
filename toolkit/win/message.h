#pragma once
// A window message as handlers see it, with the result they set.

#include <windows.h>

namespace toolkit {

struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};

}  // namespace toolkit

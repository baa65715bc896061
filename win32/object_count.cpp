#include "win32/object_count.h"

#include <algorithm>
#include <atomic>

namespace win32 {

namespace {

std::atomic<long> g_live[2];

std::atomic<long>& Counter(CountedObject kind) { return g_live[kind == CountedObject::Gdi ? 0 : 1]; }

WORD Clamped(long count) { return static_cast<WORD>(std::clamp(count, 0L, 0xFFFFL)); }

}  // namespace

void CountCreated(CountedObject kind) { ++Counter(kind); }

void CountFreed(CountedObject kind) { --Counter(kind); }

long LiveObjects(CountedObject kind) { return Counter(kind).load(); }

UINT LiveObjectsMessage() {
    static const UINT message = RegisterWindowMessageW(L"GuideLiveObjectCount");
    return message;
}

LRESULT LiveObjectsAnswer() {
    return MAKELRESULT(Clamped(LiveObjects(CountedObject::Gdi)), Clamped(LiveObjects(CountedObject::User)));
}

}  // namespace win32

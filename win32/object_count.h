#pragma once
// Live GDI and USER objects this module made, counted by their owners. The
// system's own count (GetGuiResources) is not available everywhere, and a leak
// of ours shows here as a count that grows across repeated work.

#include <windows.h>

namespace win32 {

enum class CountedObject { Gdi, User };

void CountCreated(CountedObject kind);
void CountFreed(CountedObject kind);
long LiveObjects(CountedObject kind);

// A window of this module answers this registered message with its module's
// live counts: GDI objects in the low word, USER objects in the high word.
UINT LiveObjectsMessage();
LRESULT LiveObjectsAnswer();

}  // namespace win32

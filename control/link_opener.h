#pragma once

#include <string>

namespace control {

// Opens a web or mail link with the system's default handler. The shell is
// loaded on the first link rather than with the control: most movies never
// open one, and loading it costs every start-up of the control.
void OpenLinkWithShell(const std::wstring& url);

}  // namespace control

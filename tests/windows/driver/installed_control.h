#pragma once
// What the machine holds of the player control: its registration and the
// package file that start-up extracts and removes again.

#include <string>

namespace driver {

inline constexpr char kControlClassKey[] = "CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}";

// A text value of the control's InprocServer32 key ("" is the default value,
// the server's path); empty when there is none.
std::string RegisteredServerValue(const char* name = "");
// The registered server's path names an existing file.
bool ControlInstalled();
// Where start-up writes the package: \temp\flash8.msi on the system drive.
std::string ExtractedPackagePath();

}  // namespace driver

#pragma once
// How the main form first appears, from the show state the process was
// started with (its start-up record's show command, when one is given).

namespace toolkit {

enum class TStartupShow { Normal, Minimized, Maximized };

// `showCommand` is an SW_ value; it counts only when `given` (the start-up
// record says it uses its show command). Hiding is not honoured: a program
// whose one window never shows could only be ended from outside.
TStartupShow StartupShowFor(bool given, unsigned showCommand);

}  // namespace toolkit

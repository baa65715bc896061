// desktop_keeper: holds the test prefix's desktop open for the whole run.
// Wine ends the desktop process a few seconds after the last program on that
// desktop has gone. A test program that starts it again hands it CTest's
// output pipes, and CTest then waits for it to end before it counts the test
// as finished: every windowed test would pay for the desktop's start and end.

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Asking for the desktop window connects this process to the desktop
    // (and starts the desktop process when there is none).
    if (!GetDesktopWindow()) return 1;
    // Ended with the prefix's server when the run is over.
    Sleep(INFINITE);
    return 0;
}

#pragma once
// Set-ups for tests that run the real program: a folder of its own holding a
// copy of it with a settings file beside it, and a backdrop of one colour.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace driver {

class ProgramFolder {
public:
    // Paths and names are UTF-8.
    // A fresh folder `name` in the temporary folder with the program copied
    // in as `exeName`; the settings file <base>_Page_img\Page_var.txt holds
    // `settings` unless it is nothing (then there is no settings file).
    ProgramFolder(const std::string& name, const std::string& program, const std::string& exeName,
                  const std::optional<std::string>& settings);
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    // Copies `source` into the folder as `name` (which may name a file in
    // the settings folder); it is removed with the folder.
    bool CopyIn(const std::string& source, const std::string& name);

    const std::string& Folder() const { return folder_; }
    const std::string& Exe() const { return exe_; }
    bool Ready() const { return ready_; }

private:
    std::string folder_;
    std::string exe_;
    std::string settingsFolder_;
    std::vector<std::string> copies_;
    bool ready_ = false;
};

// A window of one colour over the whole screen, below what opens later.
class Backdrop {
public:
    explicit Backdrop(COLORREF color);
    ~Backdrop();
    Backdrop(const Backdrop&) = delete;
    Backdrop& operator=(const Backdrop&) = delete;

private:
    HWND window_ = nullptr;
    HBRUSH brush_ = nullptr;
};

}  // namespace driver

// Reliability figures of the real program under Wine, printed as text tables.
//   reliability_driver cycles PROGRAM.EXE MOVIE.SWF COUNT
//     COUNT move/resize cycles (title bar, band, grip) with real mouse input;
//     the process's handle, GDI and USER counts and private bytes before and
//     after.
//   reliability_driver movies PROGRAM.EXE FOLDER
//     every .swf of FOLDER through the program: does the window open and
//     answer, how busy and how large is the process, how does it end.
// PROGRAM.EXE is a packed program: its first start installs the control when
// the machine has none.

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/windows/driver/gui_driver.h"
#include "tests/windows/driver/program_folder.h"

namespace {

using namespace driver;

constexpr char kSettings[] = "&title=Reliability&\r\n&width=640&\r\n&height=480&\r\n";

struct Usage {
    DWORD handles = 0;
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
    SIZE_T privateBytes = 0;
    bool known = false;
};

Usage UsageOf(const Process& program) {
    Usage usage;
    HANDLE process = program.Handle();
    if (!process) return usage;
    usage.known = GetProcessHandleCount(process, &usage.handles) != 0;
    usage.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
    usage.userObjects = GetGuiResources(process, GR_USEROBJECTS);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
        usage.privateBytes = memory.PrivateUsage;
    }
    return usage;
}

// The live GDI and USER objects the program's own code holds, as a window of
// each module (the program's form, the control's window) counts them.
struct OwnCounts {
    bool known = false;
    unsigned gdi = 0;
    unsigned user = 0;
};

OwnCounts OwnCountsOf(HWND window) {
    OwnCounts counts;
    const UINT message = RegisterWindowMessageW(L"GuideLiveObjectCount");
    DWORD_PTR answer = 0;
    if (window && SendMessageTimeoutW(window, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer)) {
        counts = {true, LOWORD(answer), HIWORD(answer)};
    }
    return counts;
}

// The control's window, somewhere below the player form.
HWND ControlWindowIn(HWND player) {
    HWND found = nullptr;
    EnumChildWindows(
        player,
        [](HWND child, LPARAM out) -> BOOL {
            wchar_t name[64] = {};
            GetClassNameW(child, name, 64);
            if (lstrcmpW(name, L"GuidePlayerControlWindow") != 0) return TRUE;
            *reinterpret_cast<HWND*>(out) = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void PrintOwnCounts(const char* when, const OwnCounts& program, const OwnCounts& control) {
    auto cell = [](bool known, unsigned value) { return known ? std::to_string(value) : std::string("?"); };
    std::printf("| %-6s | %11s | %12s | %11s | %12s |\n", when, cell(program.known, program.gdi).c_str(),
                cell(program.known, program.user).c_str(), cell(control.known, control.gdi).c_str(),
                cell(control.known, control.user).c_str());
}

void PrintUsage(const char* when, const Usage& usage) {
    std::printf("| %-6s | %7lu | %11lu | %12lu | %13.1f |\n", when, usage.handles, usage.gdiObjects, usage.userObjects,
                usage.privateBytes / (1024.0 * 1024.0));
}

void Mouse(DWORD flags, int x, int y) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    // The centre of the pixel in the 0..65535 range of absolute input.
    input.mi.dx = static_cast<LONG>((2LL * x + 1) * 65536 / (2LL * GetSystemMetrics(SM_CXSCREEN)));
    input.mi.dy = static_cast<LONG>((2LL * y + 1) * 65536 / (2LL * GetSystemMetrics(SM_CYSCREEN)));
    SendInput(1, &input, sizeof input);
    Pause(std::chrono::milliseconds(25));
}

// A drag with real input, quicker than the tests' own: the size and move
// loops follow the pointer whatever the pace.
void QuickDrag(POINT from, POINT to) {
    Mouse(0, from.x, from.y);
    Mouse(MOUSEEVENTF_LEFTDOWN, from.x, from.y);
    constexpr int kSteps = 3;
    for (int step = 1; step <= kSteps; ++step) {
        Mouse(0, from.x + (to.x - from.x) * step / kSteps, from.y + (to.y - from.y) * step / kSteps);
    }
    Mouse(MOUSEEVENTF_LEFTUP, to.x, to.y);
    Pause(std::chrono::milliseconds(40));
}

HWND WaitForPlayer(const Process& program, std::chrono::seconds timeout, std::optional<MessageBoxInfo>* box) {
    return WaitFor(
        [&]() -> HWND {
            if (box && !*box) {
                if (HWND dialog = FindWindowOf(program.Id(), "#32770")) *box = ReadMessageBox(dialog);
            }
            return FindWindowOf(program.Id(), "TPlayerForm");
        },
        timeout);
}

int RunCycles(const std::string& program, const std::string& movie, int count) {
    ProgramFolder folder("reliability_cycles", program, "Guide.exe", std::string(kSettings));
    if (!folder.Ready() || !folder.CopyIn(movie, "Guide.swf")) {
        std::fprintf(stderr, "cannot set up the program folder\n");
        return 1;
    }
    Process process(folder.Exe());
    std::optional<MessageBoxInfo> box;
    HWND player = WaitForPlayer(process, std::chrono::seconds(180), &box);
    if (!player) {
        std::fprintf(stderr, "the player window did not open%s%s\n", box ? ": " : "", box ? box->text.c_str() : "");
        return 1;
    }
    Pause(std::chrono::seconds(2));
    const Usage before = UsageOf(process);
    const OwnCounts programBefore = OwnCountsOf(player), controlBefore = OwnCountsOf(ControlWindowIn(player));
    // Wine reports no handle or memory counts of other processes: the host
    // side samples the process when it reads this line.
    std::printf("@sample before\n");
    std::fflush(stdout);
    Pause(std::chrono::seconds(2));

    const auto started = std::chrono::steady_clock::now();
    for (int cycle = 0; cycle < count; ++cycle) {
        const int sign = cycle % 2 == 0 ? 1 : -1;
        RECT r = BoundsOf(player);
        QuickDrag({r.left + 100, r.top + 15}, {r.left + 100 + 30 * sign, r.top + 15 + 20 * sign});  // title bar
        r = BoundsOf(player);
        const int middle = (r.left + r.right) / 2;
        QuickDrag({middle, r.bottom - 2}, {middle, r.bottom - 2 + 25 * sign});  // band below the movie
        if (HWND grip = FindWindowOf(process.Id(), "THandleForm")) {
            const RECT g = BoundsOf(grip);
            QuickDrag({g.left + 6, g.top + 6}, {g.left + 6 + 20 * sign, g.top + 6 + 15 * sign});  // grip
        }
        if (!IsWindow(player)) {
            std::fprintf(stderr, "the player window went away in cycle %d\n", cycle + 1);
            return 1;
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    Pause(std::chrono::seconds(2));
    const Usage after = UsageOf(process);
    std::printf("@sample after\n");
    std::fflush(stdout);
    Pause(std::chrono::seconds(2));

    DWORD_PTR answer = 0;
    const bool answers = SendMessageTimeoutA(player, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer) != 0;
    std::printf("%d move/resize cycles (title bar, band, grip) in %.0f s; window answers afterwards: %s\n\n", count,
                seconds, answers ? "yes" : "no");
    std::printf("As the system reports them (this Wine answers 0 for another process):\n\n");
    std::printf("| when   | handles | GDI objects | USER objects | private bytes (MiB) |\n");
    std::printf("|--------|---------|-------------|--------------|---------------|\n");
    PrintUsage("before", before);
    PrintUsage("after", after);
    std::printf(
        "\nLive objects our own code holds (counted by its owners; program = forms and skin, control = the "
        "player control):\n\n");
    std::printf("| when   | program GDI | program USER | control GDI | control USER |\n");
    std::printf("|--------|-------------|--------------|-------------|--------------|\n");
    PrintOwnCounts("before", programBefore, controlBefore);
    PrintOwnCounts("after", OwnCountsOf(player), OwnCountsOf(ControlWindowIn(player)));
    PostMessageA(player, WM_CLOSE, 0, 0);
    const auto code = process.WaitForExit(std::chrono::seconds(30));
    std::printf("\nexit code: %s\n", code ? std::to_string(*code).c_str() : "none (did not end)");
    return answers && code && *code == 0 ? 0 : 1;
}

std::string Row(const std::string& movie, const std::string& program) {
    ProgramFolder folder("reliability_movie", program, "Guide.exe", std::string(kSettings));
    if (!folder.Ready() || !folder.CopyIn(movie, "Guide.swf")) return "set-up failed";
    Process process(folder.Exe());
    std::optional<MessageBoxInfo> box;
    HWND player = WaitForPlayer(process, std::chrono::seconds(60), &box);
    std::string boxText = box ? box->text : "";
    if (!player) {
        if (box) PressOk(*box);
        player = WaitForPlayer(process, std::chrono::seconds(10), nullptr);
    }
    const std::string name = std::filesystem::path(movie).stem().string();
    const auto cpuStart = process.CpuTime();
    std::printf("@sample %s, at once\n", name.c_str());
    std::fflush(stdout);
    Pause(std::chrono::seconds(4));
    std::printf("@sample %s, 4 s later\n", name.c_str());
    std::fflush(stdout);
    const double cpu = 100.0 * (process.CpuTime() - cpuStart).count() / 4000.0;
    Pause(std::chrono::seconds(1));

    DWORD_PTR answer = 0;
    const bool answers = player && SendMessageTimeoutA(player, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer) != 0;
    std::string ending;
    if (player) {
        PostMessageA(player, WM_CLOSE, 0, 0);
        const auto code = process.WaitForExit(std::chrono::seconds(20));
        ending = code ? "exit " + std::to_string(*code) : "did not end (killed)";
    } else {
        const auto code = process.WaitForExit(std::chrono::seconds(5));
        ending = code ? "exit " + std::to_string(*code) : "no window, killed";
    }
    if (!ending.empty() && ending != "exit 0") process.Kill();

    char row[512];
    std::snprintf(row, sizeof row, "| %-30s | %-4s | %-4s | %5.1f %% | %-22s | %s |", name.c_str(),
                  player ? "yes" : "no", answers ? "yes" : "no", cpu, ending.c_str(),
                  boxText.empty() ? "-" : boxText.c_str());
    return row;
}

int RunMovies(const std::string& program, const std::string& folderPath) {
    std::vector<std::string> movies;
    for (const auto& entry : std::filesystem::directory_iterator(folderPath)) {
        if (entry.path().extension() == ".swf") movies.push_back(entry.path().string());
    }
    std::sort(movies.begin(), movies.end());
    std::printf("| movie | window | answers | CPU over 4 s | end | report |\n");
    std::printf("|---|---|---|---|---|---|\n");
    for (const std::string& movie : movies) {
        std::printf("%s\n", Row(movie, program).c_str());
        std::fflush(stdout);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "cycles" && argc == 5) return RunCycles(argv[2], argv[3], std::max(1, std::atoi(argv[4])));
    if (mode == "movies" && argc == 4) return RunMovies(argv[2], argv[3]);
    std::fprintf(stderr,
                 "usage: reliability_driver cycles PROGRAM.EXE MOVIE.SWF COUNT\n"
                 "       reliability_driver movies PROGRAM.EXE FOLDER\n");
    return 2;
}

#include "toolkit/core/startup_show.h"

namespace toolkit {

namespace {

// The show commands as the window system numbers them.
constexpr unsigned kShowMinimized = 2, kShowMaximized = 3, kMinimize = 6, kShowMinNoActive = 7, kForceMinimize = 11;

}  // namespace

TStartupShow StartupShowFor(bool given, unsigned showCommand) {
    if (!given) return TStartupShow::Normal;
    switch (showCommand) {
    case kShowMinimized:
    case kMinimize:
    case kShowMinNoActive:
    case kForceMinimize: return TStartupShow::Minimized;
    case kShowMaximized: return TStartupShow::Maximized;
    default: return TStartupShow::Normal;
    }
}

}  // namespace toolkit

// setInterval, clearInterval, setTimeout, clearTimeout. The callbacks run from
// Vm::AdvanceTimers, against the clock the player gives it.

#include <cmath>

#include "swf/actions/builtins/builtins.h"

namespace swf::actions {

namespace {

bool IsFunction(const Value& v) { return v.AsObject() && v.AsObject()->kind == ObjectKind::Function; }

// (function, delay, args...) or (object, "method", delay, args...); 0 when the
// arguments name nothing to call.
Value AddTimer(CallContext& c, bool repeat) {
    Vm::Timer timer;
    timer.repeat = repeat;
    std::size_t delayArg = 1;
    if (IsFunction(c.Arg(0))) {
        timer.function = c.Arg(0);
    } else if (c.Arg(0).IsObject() && c.args.size() >= 3) {
        timer.function = c.Arg(0);
        timer.method = ArgText(c, 1);
        delayArg = 2;
    } else {
        return Value();
    }
    double delay = ArgNumber(c, delayArg);
    timer.interval = std::isfinite(delay) && delay > 0 ? delay : 0;
    timer.due = c.interpreter.vm().TimerClock() + timer.interval;
    if (c.args.size() > delayArg + 1)
        timer.args.assign(c.args.begin() + static_cast<std::ptrdiff_t>(delayArg + 1), c.args.end());
    int id = c.interpreter.vm().AddTimer(std::move(timer));
    return id ? Value::Number(id) : Value();
}

Value SetInterval(CallContext& c) { return AddTimer(c, true); }
Value SetTimeout(CallContext& c) { return AddTimer(c, false); }

Value ClearTimer(CallContext& c) {
    double id = ArgNumber(c, 0);
    if (std::isfinite(id) && id >= 1 && id <= 2147483647.0) c.interpreter.vm().RemoveTimer(static_cast<int>(id));
    return Value();
}

}  // namespace

void InstallTimerBuiltins(Installer& in) {
    Object* g = in.vm().global();
    in.Method(g, "setInterval", SetInterval);
    in.Method(g, "clearInterval", ClearTimer);
    in.Method(g, "setTimeout", SetTimeout);
    in.Method(g, "clearTimeout", ClearTimer);
}

}  // namespace swf::actions

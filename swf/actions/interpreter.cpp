// The decode-and-dispatch loop: reads each action record, hands it to its
// handler through the table made from the op list, and unwinds try blocks.

#include "swf/actions/interpreter.h"

#include <array>
#include <cstdio>

#include "swf/actions/action_codes.h"
#include "swf/actions/interpreter_detail.h"

namespace swf::actions {

namespace {

constexpr unsigned kStepsPerClockRead = 64;

}  // namespace

Interpreter::Interpreter(Vm& vm, ActionHost& host)
    : vm_(vm), host_(host), actionsLeft_(vm.stepsLeft()), ignoreCase_(vm.swfVersion() <= 6) {}

void Interpreter::Fail(RunStatus status) {
    if (status_ == RunStatus::Completed) status_ = status;
}

RunStatus Interpreter::RunBlock(std::span<const std::uint8_t> code, Object* clip) {
    Frame f;
    f.code = code;
    static const std::vector<Value> kNoConstants;
    f.constants = &kNoConstants;
    f.registers.resize(4);
    f.home = clip;
    f.clip = clip;
    f.self = Value::Obj(clip);
    Execute(f);
    if (throwing_) Fail(RunStatus::Thrown);
    return status_;
}

RunStatus Interpreter::RunTimer(const Vm::Timer& timer) {
    if (timer.method.empty()) {
        Call(timer.function, Value(), timer.args);
    } else {
        Object* holder = nullptr;
        Value method = GetMember(timer.function, timer.method, &holder);
        Call(method, timer.function, timer.args, holder);
    }
    if (throwing_) Fail(RunStatus::Thrown);
    return status_;
}

void Interpreter::Throw(Value value) {
    if (throwing_ || status_ != RunStatus::Completed) return;
    throwing_ = true;
    thrown_ = std::move(value);
}

std::size_t Interpreter::Malformed(Frame& f) {
    Fail(RunStatus::Malformed);
    return f.code.size();
}

// ---- the dispatch loop -----------------------------------------------------------

bool Interpreter::FollowTry(Frame& f, std::size_t& pc) {
    using Phase = Frame::TryBlock::Phase;
    using Pending = Frame::TryBlock::Pending;
    Frame::TryBlock& t = f.tries.back();
    if (t.phase == Phase::Try && pc == t.tryEnd) {
        // The try block finished: skip the catch block, run the finally block.
        t.phase = Phase::Finally;
        pc = t.catchEnd;
        return true;
    }
    if (t.phase == Phase::Catch && pc == t.catchEnd) {
        t.phase = Phase::Finally;
        return true;
    }
    if (t.phase == Phase::Finally && pc == t.finallyEnd) {
        Pending pending = t.pending;
        Value value = std::move(t.pendingValue);
        f.tries.pop_back();
        if (pending == Pending::Throw) {
            throwing_ = true;
            thrown_ = std::move(value);
        } else if (pending == Pending::Return) {
            f.returned = true;
            f.result = std::move(value);
        }
        return true;
    }
    std::size_t from = t.phase == Phase::Try ? t.start : t.phase == Phase::Catch ? t.tryEnd : t.catchEnd;
    std::size_t to = t.phase == Phase::Try ? t.tryEnd : t.phase == Phase::Catch ? t.catchEnd : t.finallyEnd;
    if (pc < from || pc > to) {
        // A jump left the statement (break, continue): it is no longer open.
        f.tries.pop_back();
        return true;
    }
    return false;
}

bool Interpreter::Unwind(Frame& f, std::size_t& pc) {
    using Phase = Frame::TryBlock::Phase;
    using Pending = Frame::TryBlock::Pending;
    while (!f.tries.empty()) {
        Frame::TryBlock& t = f.tries.back();
        bool hasFinally = t.finallyEnd > t.catchEnd;
        if (throwing_ && t.phase == Phase::Try && t.hasCatch) {
            throwing_ = false;
            t.phase = Phase::Catch;
            pc = t.tryEnd;
            if (t.catchInRegister) {
                if (t.catchRegister < f.registers.size()) f.registers[t.catchRegister] = std::move(thrown_);
            } else if (Object* locals = Locals(f)) {
                locals->Set(t.catchName, std::move(thrown_), ignoreCase_);
            } else {
                SetVariable(f, t.catchName, std::move(thrown_));
            }
            thrown_ = Value();
            return true;
        }
        if (t.phase != Phase::Finally && hasFinally) {
            // Run the finally block first, then carry on throwing or returning.
            t.pending = throwing_ ? Pending::Throw : Pending::Return;
            t.pendingValue = throwing_ ? std::move(thrown_) : std::move(f.result);
            throwing_ = false;
            f.returned = false;
            t.phase = Phase::Finally;
            pc = t.catchEnd;
            return true;
        }
        f.tries.pop_back();
    }
    return false;
}

void Interpreter::Execute(Frame& f) {
    const std::size_t size = f.code.size();
    std::size_t pc = 0;
    while (status_ == RunStatus::Completed) {
        if (throwing_ || f.returned) {
            if (!Unwind(f, pc)) return;
            continue;
        }
        if (!f.tries.empty() && FollowTry(f, pc)) continue;
        if (pc >= size) return;
        // Leave `with` blocks that control has left.
        while (!f.withs.empty() && (pc >= f.withs.back().end || pc < f.withs.back().start)) {
            f.withs.pop_back();
            f.scope.pop_back();
        }
        // Reading the clock costs more than a step; every few dozen is enough.
        if (++stepsSinceClock_ >= kStepsPerClockRead) {
            stepsSinceClock_ = 0;
            vm_.OutOfTime();
        }
        if (actionsLeft_ == 0) {
            Fail(RunStatus::ActionLimit);
            return;
        }
        --actionsLeft_;
        std::uint8_t op = f.code[pc];
        if (op == 0) return;
        std::span<const std::uint8_t> payload;
        std::size_t next = pc + 1;
        if (op >= 0x80) {
            if (pc + 3 > size) {
                Fail(RunStatus::Malformed);
                return;
            }
            std::size_t length = f.code[pc + 1] | (f.code[pc + 2] << 8);
            if (pc + 3 + length > size) {
                Fail(RunStatus::Malformed);
                return;
            }
            payload = f.code.subspan(pc + 3, length);
            next = pc + 3 + length;
        }
        pc = Step(f, op, payload, next);
    }
}

const std::array<Interpreter::Handler, 256> Interpreter::kHandlers = [] {
    std::array<Handler, 256> table{};
#define SWF_ACTION_HANDLER_ENTRY(name, code) table[code] = &Interpreter::Do##name;
    SWF_ACTION_OPS(SWF_ACTION_HANDLER_ENTRY)
#undef SWF_ACTION_HANDLER_ENTRY
    return table;
}();

std::size_t Interpreter::Step(Frame& f, std::uint8_t code, std::span<const std::uint8_t> payload, std::size_t next) {
    const Handler handler = kHandlers[code];
    if (!handler) return Unknown(code, next);
    return (this->*handler)(f, payload, next);
}

std::size_t Interpreter::Unknown(std::uint8_t code, std::size_t next) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(code));
    vm_.NoteUnsupported(std::string("action ") + text + " is not known to this player and is skipped");
    return next;
}

}  // namespace swf::actions

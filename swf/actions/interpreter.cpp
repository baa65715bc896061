// The decode-and-dispatch loop: reads each action record, hands it to the
// member function of its family (interpreter_stack.cpp, _variables.cpp,
// _objects.cpp, _timeline.cpp) and unwinds try blocks.

#include "swf/actions/interpreter.h"

#include <array>

#include "swf/actions/action_codes.h"
#include "swf/actions/interpreter_detail.h"

namespace swf::actions {

namespace {

enum class Family : std::uint8_t { Stack, Variables, Objects, Timeline };

constexpr unsigned kStepsPerClockRead = 64;

constexpr Family FamilyOf(Op op) {
    switch (op) {
    case Op::NextFrame: case Op::PrevFrame: case Op::Play: case Op::Stop:
    case Op::GotoFrame: case Op::GoToLabel: case Op::GotoFrame2:
    case Op::SetTarget: case Op::SetTarget2: case Op::WaitForFrame: case Op::WaitForFrame2:
    case Op::Call: case Op::GetProperty: case Op::SetProperty: case Op::TargetPath:
    case Op::CloneSprite: case Op::RemoveSprite:
    case Op::GetURL: case Op::GetURL2: case Op::Trace: case Op::StartDrag: case Op::EndDrag:
        return Family::Timeline;
    case Op::GetVariable: case Op::SetVariable: case Op::DefineLocal: case Op::DefineLocal2:
    case Op::Delete2: case Op::With:
        return Family::Variables;
    case Op::Delete: case Op::GetMember: case Op::SetMember: case Op::InitArray: case Op::InitObject:
    case Op::Enumerate: case Op::Enumerate2: case Op::Try: case Op::Throw: case Op::Extends:
    case Op::ImplementsOp: case Op::CastOp: case Op::DefineFunction: case Op::DefineFunction2:
    case Op::CallFunction: case Op::CallMethod: case Op::NewObject: case Op::NewMethod: case Op::Return:
        return Family::Objects;
    default:
        return Family::Stack;
    }
}

constexpr std::array<Family, 256> kFamilies = [] {
    std::array<Family, 256> table{};
    for (int code = 0; code < 256; ++code) table[code] = FamilyOf(static_cast<Op>(code));
    return table;
}();

}  // namespace

Interpreter::Interpreter(Vm& vm, ActionHost& host)
    : vm_(vm), host_(host), actionsLeft_(vm.stepsLeft_), ignoreCase_(vm.swfVersion_ <= 6) {}

void Interpreter::Fail(RunStatus status) {
    if (status_ == RunStatus::Completed) status_ = status;
}

RunStatus Interpreter::RunBlock(std::span<const std::uint8_t> code, Object* clip) {
    Frame f;
    f.code = code;
    f.constants = std::make_shared<const std::vector<std::string>>();
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
            } else if (f.locals) {
                f.locals->Set(t.catchName, std::move(thrown_), ignoreCase_);
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

std::size_t Interpreter::Step(Frame& f, std::uint8_t code, std::span<const std::uint8_t> payload,
                              std::size_t next) {
    const Op op = static_cast<Op>(code);
    switch (kFamilies[code]) {
    case Family::Stack: return StepStack(f, op, payload, next);
    case Family::Variables: return StepVariables(f, op, payload, next);
    case Family::Objects: return StepObjects(f, op, payload, next);
    case Family::Timeline: return StepTimeline(f, op, payload, next);
    }
    return next;
}

}  // namespace swf::actions

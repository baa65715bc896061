#pragma once
// Executes action code for one Vm::Run: the decode-and-dispatch loop, the
// scope chain, function calls and member access. Lives only for that Run.

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "swf/actions/action_codes.h"
#include "swf/actions/conversions.h"
#include "swf/actions/vm.h"

namespace swf::actions {

class Interpreter;

// "_x", "_Alpha", ...: the display property a member name stands for (case ignored).
bool DisplayPropertyNamed(const std::string& name, DisplayProperty* out);

// What a built-in function sees.
struct CallContext {
    Interpreter& interpreter;
    Value self;
    std::vector<Value>& args;
    bool construct = false;

    Value Arg(std::size_t i) const { return i < args.size() ? args[i] : Value(); }
};

// One activation of a code block: the block itself or a function body.
struct Frame {
    std::span<const std::uint8_t> code;
    // The constant pool in effect: the one the code declared, else its function's.
    const std::vector<Value>* constants = nullptr;
    std::shared_ptr<const std::vector<Value>> declaredConstants;
    std::vector<Value> registers;
    std::vector<Object*> scope;   // activation and `with` objects, innermost last
    Object* locals = nullptr;     // a function's own activation (DefineLocal goes here), once made
    std::size_t localsAt = 0;     // where in `scope` the activation goes
    Object* home = nullptr;       // the timeline the code belongs to
    Object* clip = nullptr;       // current target; null after SetTarget to an unknown clip
    Value self;                   // `this`
    Object* function = nullptr;   // the running function; null for a timeline block
    Object* superHome = nullptr;  // the prototype holding the running method (super looks past it)
    Object* superObject = nullptr;
    bool superSuppressed = false;
    std::vector<Value> stack;
    Value result;
    bool returned = false;
    // Open `with` blocks: the [start, end) code range of each, one scope entry apiece.
    struct WithBlock {
        std::size_t start, end;
    };
    std::vector<WithBlock> withs;
    // Open `try` statements, innermost last. The catch block is [tryEnd,
    // catchEnd), the finally block [catchEnd, finallyEnd).
    struct TryBlock {
        std::size_t start, tryEnd, catchEnd, finallyEnd;
        bool hasCatch = false;
        bool catchInRegister = false;
        std::uint8_t catchRegister = 0;
        std::string catchName;
        enum class Phase { Try, Catch, Finally } phase = Phase::Try;
        // What the finally block interrupted, resumed when it ends.
        enum class Pending { None, Throw, Return } pending = Pending::None;
        Value pendingValue;
    };
    std::vector<TryBlock> tries;
};

class Interpreter : public PrimitiveHook {
public:
    Interpreter(Vm& vm, ActionHost& host);

    RunStatus RunBlock(std::span<const std::uint8_t> code, Object* clip);
    // One setInterval/setTimeout callback.
    RunStatus RunTimer(const Vm::Timer& timer);

    // `home` is the object the method was found on (what `super` starts from);
    // null takes the prototype of `self`.
    Value Call(const Value& function, const Value& self, std::vector<Value> args, Object* home = nullptr);
    Value Construct(const Value& constructor, std::vector<Value> args);
    // Runs a constructor on an existing object (new, super()).
    Value Initialize(const Value& constructor, const Value& self, std::vector<Value> args, Object* home);
    // Getters run; `holder` receives the object in the chain that had the member.
    Value GetMember(const Value& object, const std::string& name, Object** holder = nullptr);
    // Setters and watchers run; read-only members stay.
    void SetMember(const Value& object, const std::string& name, Value value);
    // False for a member that may not be deleted (or is missing).
    bool DeleteMember(Object* o, const std::string& name);
    bool InstanceOf(const Value& object, const Value& constructor);
    // A script exception, as the Throw action raises it.
    void Throw(Value value);
    // Whether names ignore case (movies of version 6 and below).
    bool IgnoreCase() const { return ignoreCase_; }

    // Stops the run when no more objects may be made (count or memory).
    void CheckRoomForObject();
    Object* NewPlain();
    Object* NewObject(Object* proto);
    Object* NewArray(std::vector<Value> elements);
    // Conversions draw their work from the run's step budget.
    std::string Text(const Value& v);
    double Number(const Value& v);
    WorkBudget Budget() { return WorkBudget(&actionsLeft_); }
    // A new string value, or undefined (and the block stopped) when too long.
    Value MakeString(std::string s);
    // gotoAndPlay / gotoAndStop on a timeline: a 1-based frame number or a label.
    void Goto(ActionTarget* target, const Value& frame, bool play, std::uint32_t bias = 0);

    // The timeline a load names: a clip object, "_levelN" or the main
    // timeline (*level set, the result null), or a path from the current
    // timeline (from the main one without a frame); null when there is none.
    ActionTarget* LoadTarget(Frame* f, const Value& target, int* level);

    Vm& vm() { return vm_; }
    ActionHost& host() { return host_; }
    void Fail(RunStatus status);
    // How the run went so far: a stop, an exception still unwinding, or Completed.
    RunStatus Status() const {
        if (status_ != RunStatus::Completed) return status_;
        return throwing_ ? RunStatus::Thrown : RunStatus::Completed;
    }
    // False once the run was stopped or while an exception is unwinding.
    bool ok() const { return status_ == RunStatus::Completed && !throwing_; }

    // Display properties (clip_properties.cpp): per object through its
    // DisplayTarget, player-wide ones from the VM's settings.
    Value GetDisplayProperty(Object* clip, DisplayProperty property);
    void SetDisplayProperty(Object* clip, DisplayProperty property, const Value& value);
    // "_level0.a.b" (dots) or "/a/b" (slashes, as _target reads).
    std::string TargetPathOf(Object* clip, bool slashes);
    // ECMAScript ToPrimitive without a hint: valueOf, else the text (Dates: the text).
    Value Primitive(const Value& v);
    // toString / valueOf defined by script, for conversions.
    bool ToPrimitive(Object& o, bool preferString, Value& out) override;

    // The host's requests (host_calls.cpp), read as the main timeline's
    // scripts read them: a variable by path, setting one (false when the
    // path's owner is missing), the clip a target path names, and
    // GetProperty / SetProperty on it.
    Value HostGetVariable(const std::string& path);
    bool HostSetVariable(const std::string& path, Value value);
    Object* HostTarget(const std::string& path);
    Value HostGetProperty(const std::string& path, int index);
    bool HostSetProperty(const std::string& path, int index, const Value& value);

private:
    void Execute(Frame& f);
    // Control reaching the end of a try, catch or finally block; true when it moved pc.
    bool FollowTry(Frame& f, std::size_t& pc);
    // An exception or a return leaving try blocks; false when it leaves the frame.
    bool Unwind(Frame& f, std::size_t& pc);
    Value SuperFor(Frame& f);
    // Runs one action record through the handler table; returns the offset
    // of the next action to run.
    std::size_t Step(Frame& f, std::uint8_t code, std::span<const std::uint8_t> payload, std::size_t next);
    // A code the op list lacks: told once per code, then skipped.
    std::size_t Unknown(std::uint8_t code, std::size_t next);

    // One handler per action (interpreter_stack.cpp, _variables.cpp,
    // _objects.cpp, _timeline.cpp): each gets the action's payload and the
    // offset after it, and returns the offset to run next.
#define SWF_DECLARE_ACTION_HANDLER(name, code) \
    std::size_t Do##name(Frame& f, std::span<const std::uint8_t> payload, std::size_t next);
    SWF_ACTION_OPS(SWF_DECLARE_ACTION_HANDLER)
#undef SWF_DECLARE_ACTION_HANDLER
    using Handler = std::size_t (Interpreter::*)(Frame&, std::span<const std::uint8_t>, std::size_t);
    static const std::array<Handler, 256> kHandlers;

    // Shared steps of the handlers.
    std::size_t JumpTo(Frame& f, std::size_t next, std::int16_t offset);
    template <class Fn>
    void BinaryNumber(Frame& f, Fn fn);
    template <class Fn>
    void Bitwise(Frame& f, Fn fn);
    void Compare(Frame& f, bool greater);
    void PushEnumerableNames(Frame& f, const Value& v);
    // Stops the run on a malformed action; the offset that ends the frame.
    std::size_t Malformed(Frame& f);

    // Inline: nearly every action pops or pushes.
    Value Pop(Frame& f) {
        // Popping an empty stack yields undefined; AVM1 scripts rely on that.
        if (f.stack.empty()) return Value();
        Value v = std::move(f.stack.back());
        f.stack.pop_back();
        return v;
    }
    // A name taken from the stack as a string value: a string keeps its own
    // shared text, anything else is converted.
    Value PopName(Frame& f);
    void Push(Frame& f, Value v) {
        if (f.stack.size() >= vm_.limits().maxStackDepth) {
            Fail(RunStatus::ResourceLimit);
            return;
        }
        f.stack.push_back(std::move(v));
    }
    std::vector<Value> PopArgs(Frame& f);
    std::size_t PopCount(Frame& f, std::size_t perItem);

    // `self` is what getters see as `this`.
    bool Lookup(Object* o, const std::string& name, Value& out, Object** holder = nullptr, const Value* self = nullptr);
    // A display object's named children and _parent, read as its members.
    bool LookupRelative(Object* o, const std::string& name, Value& out);
    Value GetVariable(Frame& f, const std::string& name);
    // "path:name", "a.b.c" and names without either.
    Value GetPathVariable(Frame& f, const std::string& name);
    Value GetPlainVariable(Frame& f, const std::string& name);
    // Tells the Vm when an undefined name is a player class this player lacks.
    void NoteMissingClass(const std::string& name);
    // Tells the Vm when a method called on `object` and not found is one its
    // player class is documented to have.
    void NoteMissingMethod(const Value& object, const std::string& method);
    void SetVariable(Frame& f, const std::string& name, Value v);
    void DefineLocal(Frame& f, const std::string& name, Value v);
    bool DeleteVariable(Frame& f, const std::string& name);
    Object* ResolveTarget(Frame& f, const std::string& path);
    Object* RootClip(Frame& f);
    // _levelN's timeline, or null when nothing is loaded there.
    Object* LevelClip(Frame& f, int level);
    ActionTarget* TimelineOf(Frame& f);
    void SetTargetPath(Frame& f, const Value& target);
    void HandleUrl(const std::string& url, const std::string& target);
    // GetURL and GetURL2 with their flags: loads into timelines and levels,
    // otherwise HandleUrl (loading.cpp).
    void HandleGetUrl(Frame& f, const std::string& url, const Value& target, std::uint8_t flags);

    // The constant pool in effect, to keep in a function defined there.
    std::shared_ptr<const std::vector<Value>> SharedConstants(const Frame& f);
    // A function frame's activation object, made on first use; null outside functions.
    Object* Locals(Frame& f);
    // A script function's body in a frame of its own (Call has checked the depth).
    Value CallScript(Object* fn, const Value& self, std::vector<Value>& args, Object* home);
    void BindFunction2Arguments(Frame& f, const ScriptFunction& script, Object* argumentsArray,
                                std::vector<Value>& args);
    std::size_t DefineFunction(Frame& f, bool v2, std::span<const std::uint8_t> payload, std::size_t next);
    Value GetProperty(Frame& f, const Value& target, int index);
    void SetProperty(Frame& f, const Value& target, int index, const Value& value);
    // The clip a GetProperty/SetProperty target names: a clip object or a path.
    Object* PropertyTarget(Frame& f, const Value& target);
    // A block's frame on the main timeline, for the host's requests.
    Frame HostFrame();

    // Value vectors of finished calls (operand stacks, registers, argument
    // lists), cleared and kept for the next calls: a call then allocates nothing.
    std::vector<Value> SpareValues();
    void KeepSpare(std::vector<Value> values);

    Vm& vm_;
    ActionHost& host_;
    std::vector<std::vector<Value>> spareValues_;
    RunStatus status_ = RunStatus::Completed;
    // The budget every interpreter of the frame draws on (the Vm's).
    std::uint64_t& actionsLeft_;
    // Steps since the clock was last read.
    unsigned stepsSinceClock_ = 0;
    int depth_ = 0;
    bool ignoreCase_;
    bool throwing_ = false;
    Value thrown_;
    Object* currentFunction_ = nullptr;
};

}  // namespace swf::actions

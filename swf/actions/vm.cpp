#include "swf/actions/vm.h"

#include <algorithm>
#include <utility>

#include "swf/actions/conversions.h"
#include "swf/actions/interpreter.h"
#include "swf/actions/local_time_zone.h"
#include "swf/actions/player_version.h"

namespace swf::actions {

namespace {

// Collect once the heap has grown this much beyond what survived the last time,
// in objects or in bytes (at least kCollectBytes, else half of what lived).
constexpr std::size_t kCollectSlack = 1024;
constexpr std::size_t kCollectBytes = 16u << 20;
// Over the memory limit, collect again only once this much more was made.
constexpr std::size_t kOverLimitCollectBytes = 1u << 20;
// Timers alive at once.
constexpr std::size_t kMaxTimers = 1000;

}  // namespace

Vm::Vm(int swfVersion, VmLimits limits) : swfVersion_(swfVersion), limits_(limits) {
    timeZone_ = LocalTimeZoneOffset;
    InstallBuiltins(*this, builtins_);
    liveAfterCollect_ = heap_.Count();
}

Vm::~Vm() = default;

Vm::Entry::Entry(Vm& vm) : vm_(vm), outermost_(vm.runDepth_ == 0) {
    if (outermost_) {
        if (!vm_.frameOpen_) {
            vm_.stepsLeft_ = vm_.limits_.maxActions;
            vm_.hasDeadline_ = vm_.limits_.maxMilliseconds > 0;
            if (vm_.hasDeadline_) {
                vm_.deadline_ = std::chrono::steady_clock::now() +
                                std::chrono::microseconds(static_cast<long long>(vm_.limits_.maxMilliseconds * 1000));
            }
        }
        vm_.entryStatus_ = RunStatus::Completed;
        stepsAtStart_ = vm_.stepsLeft_;
    }
    ++vm_.runDepth_;
}

void Vm::Entry::Finish(RunStatus status) {
    if (vm_.entryStatus_ == RunStatus::Completed) vm_.entryStatus_ = status;
}

Vm::Entry::~Entry() {
    --vm_.runDepth_;
    if (!outermost_) return;
    vm_.stepsUsed_ += stepsAtStart_ - vm_.stepsLeft_;
    vm_.lastStatus_ = vm_.entryStatus_;
    try {
        vm_.CollectIfIdle();
    } catch (const std::bad_alloc&) {
        vm_.lastStatus_ = RunStatus::MemoryLimit;  // the mark stack could not grow; collect later
    }
}

void Vm::BeginFrame() {
    frameOpen_ = true;
    stepsLeft_ = limits_.maxActions;
    hasDeadline_ = limits_.maxMilliseconds > 0;
    if (hasDeadline_) {
        deadline_ = std::chrono::steady_clock::now() +
                    std::chrono::microseconds(static_cast<long long>(limits_.maxMilliseconds * 1000));
    }
}

bool Vm::EndFrame() {
    const bool spent = stepsLeft_ == 0;
    frameOpen_ = false;
    return spent;
}

void Vm::NoteUnsupported(const std::string& what) {
    // Bounded: a movie naming endless distinct things must not grow the set.
    if (unsupportedSeen_.size() < 256 && unsupportedSeen_.insert(what).second) unsupported_.push_back(what);
}

std::vector<std::string> Vm::TakeUnsupported() { return std::exchange(unsupported_, {}); }

bool Vm::Spend(std::uint64_t steps) {
    if (!frameOpen_) return true;  // nothing to draw on outside a frame
    if (OutOfTime() || stepsLeft_ < steps) {
        stepsLeft_ = 0;
        return false;
    }
    stepsLeft_ -= steps;
    return true;
}

bool Vm::OutOfTime() {
    if (!hasDeadline_ || std::chrono::steady_clock::now() < deadline_) return false;
    stepsLeft_ = 0;
    return true;
}

void Vm::ApplyScriptLimits(int maxRecursionDepth, int timeoutSeconds) {
    if (maxRecursionDepth > 0) limits_.maxCallDepth = std::min(limits_.maxCallDepth, maxRecursionDepth);
    if (timeoutSeconds > 0) {
        const double ms = timeoutSeconds * 1000.0;
        limits_.maxMilliseconds = limits_.maxMilliseconds > 0 ? std::min(limits_.maxMilliseconds, ms) : ms;
    }
}

RunStatus Vm::Run(std::span<const std::uint8_t> code, ActionTarget& target, ActionHost& host) {
    return Enter([&] {
        Interpreter interpreter(*this, host);
        return interpreter.RunBlock(code, ObjectFor(&target));
    });
}

Value Vm::CallMethod(const Value& object, const std::string& name, std::vector<Value> args, ActionHost& host) {
    Value result;
    Enter([&] {
        Interpreter interpreter(*this, host);
        result = interpreter.Call(interpreter.GetMember(object, name), object, std::move(args));
        return interpreter.Status();
    });
    return result;
}

void Vm::StreamCall(std::uint32_t stream, const std::string& handler, std::vector<Value> args, ActionHost& host) {
    const auto it = netStreams_.find(stream);
    if (it != netStreams_.end()) CallMethod(Value::Obj(it->second), handler, std::move(args), host);
}

bool Vm::ConstructAs(DisplayTarget& clip, const std::string& symbol, ActionHost& host) {
    Object* constructor = RegisteredClass(symbol);
    if (constructor == nullptr) return false;
    Object* self = ObjectFor(&clip);
    Enter([&] {
        Interpreter interpreter(*this, host);
        if (Object* proto = interpreter.GetMember(Value::Obj(constructor), "prototype").AsObject()) self->proto = proto;
        interpreter.Initialize(Value::Obj(constructor), Value::Obj(self), {}, self->proto);
        return interpreter.Status();
    });
    return true;
}

void Vm::SetRoot(ActionTarget* root) {
    root_ = root;
    // _level0 carries the player's version for scripts written before System.capabilities.
    if (root != nullptr) ObjectFor(root)->Define("$version", Value::String(kPlayerVersion), kDontEnum);
}

void Vm::Forget(DisplayTarget& object) {
    ActionTarget* const timeline = object.AsTimeline();
    auto it = clips_.find(&object);
    if (it != clips_.end()) {
        it->second->target = nullptr;
        it->second->display = nullptr;
        clips_.erase(it);
    }
    if (timeline == nullptr) return;
    if (root_ == timeline) root_ = nullptr;
    std::erase_if(levels_, [&](const auto& level) { return level.second == timeline; });
    for (auto* loads : {&pendingLoads_, &activeLoads_}) {
        for (LoadRequest& request : *loads) {
            if (request.target == timeline) {
                request.target = nullptr;
                request.targetGone = true;
            }
        }
    }
}

void Vm::SetLevel(int level, ActionTarget* target) {
    if (target == nullptr) {
        levels_.erase(level);
    } else {
        levels_[level] = target;
    }
}

ActionTarget* Vm::Level(int level) const {
    if (level == 0) return root_;
    const auto it = levels_.find(level);
    return it == levels_.end() ? nullptr : it->second;
}

Object* Vm::ObjectFor(DisplayTarget* object) {
    auto it = clips_.find(object);
    if (it != clips_.end()) return it->second;
    Object* clip = heap_.New(ObjectKind::Clip);
    clip->target = object->AsTimeline();
    clip->display = object;
    if (clip->target != nullptr)
        clip->proto = builtins_.clipProto;
    else if (object->AsTextField() != nullptr)
        clip->proto = textFieldProto_;
    else if (object->AsVideo() != nullptr)
        clip->proto = videoProto_;
    else
        clip->proto = buttonProto_;
    clips_.emplace(object, clip);
    return clip;
}

Value Vm::GetVariable(ActionTarget& target, const std::string& name) {
    Object* clip = ObjectFor(&target);
    if (Value* v = clip->Find(name)) return *v;
    if (Value* v = builtins_.global->Find(name)) return *v;
    return Value();
}

void Vm::SetVariable(ActionTarget& target, const std::string& name, const Value& value) {
    ObjectFor(&target)->Set(name, value);
}

std::string Vm::ToText(const Value& value) const {
    std::uint64_t units = limits_.maxActions;  // as much as one script may spend
    return ToString(value, swfVersion_, WorkBudget(&units));
}

void Vm::SetTraceHandler(std::function<void(const std::string&)> handler) { trace_ = std::move(handler); }

double Vm::ElapsedMs() const {
    using namespace std::chrono;
    return static_cast<double>(duration_cast<milliseconds>(steady_clock::now() - started_).count());
}

double Vm::Random() {
    std::uint32_t x = randomState_;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    randomState_ = x;
    return x / 4294967296.0;
}

Object* Vm::RegisteredClass(const std::string& symbol) const {
    auto it = registeredClasses_.find(symbol);
    if (it != registeredClasses_.end()) return it->second;
    // Linkage names match ignoring case, as attachMovie finds them.
    for (const auto& [name, constructor] : registeredClasses_)
        if (NamesEqual(name, symbol, true)) return constructor;
    return nullptr;
}

void Vm::RegisterClass(const std::string& symbol, Object* constructor) {
    if (constructor)
        registeredClasses_[symbol] = constructor;
    else
        registeredClasses_.erase(symbol);
}

int Vm::AddTimer(Timer timer) {
    // Scripts that start timers without end must not grow the list without end.
    if (timers_.size() >= kMaxTimers) return 0;
    timer.id = nextTimerId_++;
    timers_.push_back(std::move(timer));
    return timers_.back().id;
}

bool Vm::RemoveTimer(int id) {
    return std::erase_if(timers_, [id](const Timer& t) { return t.id == id; }) > 0;
}

RunStatus Vm::AdvanceTimers(double nowMs, ActionHost& host) {
    if (nowMs > clockMs_) clockMs_ = nowMs;
    // Decide which timers run before running any: callbacks may add or clear timers.
    std::vector<int> due;
    for (const Timer& t : timers_)
        if (t.due <= clockMs_) due.push_back(t.id);
    if (due.empty()) return RunStatus::Completed;
    return Enter([&] { return RunTimers(due, host); });
}

RunStatus Vm::RunTimers(const std::vector<int>& due, ActionHost& host) {
    RunStatus status = RunStatus::Completed;
    for (int id : due) {
        if (stepsLeft_ == 0) return RunStatus::ActionLimit;
        auto it = std::find_if(timers_.begin(), timers_.end(), [id](const Timer& t) { return t.id == id; });
        if (it == timers_.end()) continue;  // cleared by an earlier callback
        Timer timer = *it;
        if (timer.repeat) {
            double next = timer.due + timer.interval;
            it->due = next <= clockMs_ ? clockMs_ + timer.interval : next;  // fell behind: skip missed beats
        } else {
            timers_.erase(it);
        }
        Interpreter interpreter(*this, host);
        RunStatus s = interpreter.RunTimer(timer);
        if (status == RunStatus::Completed) status = s;
    }
    return status;
}

void Vm::CollectIfIdle() {
    if (runDepth_ != 0) return;
    const std::size_t made = heap_.BytesMadeSinceCollect();
    const bool manyObjects = heap_.Count() > liveAfterCollect_ + kCollectSlack;
    const bool manyBytes = made > kCollectBytes && made > (heap_.Bytes() - made) / 2;
    if (manyObjects || manyBytes || (OverMemoryLimit() && made > kOverLimitCollectBytes)) CollectGarbage();
}

void Vm::CollectGarbage() {
    std::vector<Object*> roots = {builtins_.global,
                                  builtins_.objectProto,
                                  builtins_.arrayProto,
                                  builtins_.stringProto,
                                  builtins_.clipProto,
                                  builtins_.functionProto,
                                  builtins_.numberProto,
                                  builtins_.booleanProto,
                                  builtins_.dateProto,
                                  builtins_.xmlNodeProto,
                                  builtins_.loadVarsProto,
                                  builtins_.clipLoaderProto,
                                  builtins_.soundProto,
                                  textFieldProto_,
                                  buttonProto_,
                                  builtins_.flashPackage,
                                  videoProto_};
    for (const auto& [stream, netStream] : netStreams_) roots.push_back(netStream);
    for (const auto* loads : {&pendingLoads_, &activeLoads_}) {
        for (const LoadRequest& request : *loads) roots.push_back(request.receiver);
    }
    for (const auto& [target, clip] : clips_) roots.push_back(clip);
    for (const auto& [symbol, constructor] : registeredClasses_) roots.push_back(constructor);
    for (const auto& [voice, sound] : playingSounds_) roots.push_back(sound);
    for (const auto& [name, callback] : hostCallbacks_) {
        roots.push_back(callback.function.AsObject());
        roots.push_back(callback.instance.AsObject());
    }
    for (const Timer& t : timers_) {
        roots.push_back(t.function.AsObject());
        for (const Value& v : t.args) roots.push_back(v.AsObject());
    }
    heap_.Collect(roots);
    liveAfterCollect_ = heap_.Count();
}

}  // namespace swf::actions

#include "vm.h"

#include "conversions.h"
#include "interpreter.h"

namespace swf::actions {

namespace {

// Collect once the heap has grown this much beyond what survived the last time.
constexpr std::size_t kCollectSlack = 1024;

}  // namespace

Vm::Vm(int swfVersion, VmLimits limits) : swfVersion_(swfVersion), limits_(limits) {
    InstallBuiltins(*this);
    liveAfterCollect_ = heap_.Count();
}

Vm::~Vm() = default;

RunStatus Vm::Run(std::span<const std::uint8_t> code, ActionTarget& target, ActionHost& host) {
    ++runDepth_;
    Interpreter interpreter(*this, host);
    RunStatus status = interpreter.RunBlock(code, ClipFor(&target));
    --runDepth_;
    CollectIfIdle();
    return status;
}

Value Vm::CallMethod(const Value& object, const std::string& name, std::vector<Value> args, ActionHost& host) {
    ++runDepth_;
    Interpreter interpreter(*this, host);
    Value result = interpreter.Call(interpreter.GetMember(object, name), object, std::move(args));
    --runDepth_;
    CollectIfIdle();
    return result;
}

void Vm::SetRoot(ActionTarget* root) { root_ = root; }

void Vm::Forget(ActionTarget& target) {
    auto it = clips_.find(&target);
    if (it != clips_.end()) {
        it->second->target = nullptr;
        clips_.erase(it);
    }
    if (root_ == &target) root_ = nullptr;
    std::erase_if(levels_, [&](const auto& level) { return level.second == &target; });
    for (auto* loads : {&pendingLoads_, &activeLoads_}) {
        for (LoadRequest& request : *loads) {
            if (request.target == &target) {
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

Object* Vm::ClipFor(ActionTarget* target) {
    auto it = clips_.find(target);
    if (it != clips_.end()) return it->second;
    Object* clip = heap_.New(ObjectKind::Clip);
    clip->proto = clipProto_;
    clip->target = target;
    clips_.emplace(target, clip);
    return clip;
}

Value Vm::GetVariable(ActionTarget& target, const std::string& name) {
    Object* clip = ClipFor(&target);
    if (Value* v = clip->Find(name)) return *v;
    if (Value* v = global_->Find(name)) return *v;
    return Value();
}

void Vm::SetVariable(ActionTarget& target, const std::string& name, const Value& value) {
    ClipFor(&target)->Set(name, value);
}

std::string Vm::ToText(const Value& value) const {
    std::uint64_t units = limits_.maxActions;  // as much as one script may spend
    return ToString(value, swfVersion_, WorkBudget(&units));
}

void Vm::SetTraceHandler(std::function<void(const std::string&)> handler) { trace_ = std::move(handler); }

void Vm::CollectIfIdle() {
    if (runDepth_ == 0 && heap_.Count() > liveAfterCollect_ + kCollectSlack) CollectGarbage();
}

void Vm::CollectGarbage() {
    std::vector<Object*> roots = {global_,        objectProto_,  arrayProto_,    stringProto_,
                                  clipProto_,     functionProto_, loadVarsProto_, clipLoaderProto_};
    for (const auto& [target, clip] : clips_) roots.push_back(clip);
    for (const auto* loads : {&pendingLoads_, &activeLoads_}) {
        for (const LoadRequest& request : *loads) roots.push_back(request.receiver);
    }
    heap_.Collect(roots);
    liveAfterCollect_ = heap_.Count();
}

}  // namespace swf::actions

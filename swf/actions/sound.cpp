// The Sound class: sounds a movie exports, started, stopped and placed by
// script through the player's SoundHost. A Sound made for a clip controls
// the sounds it starts for that clip; one made without controls all of them.

#include <algorithm>
#include <cmath>

#include "swf/actions/builtins/builtins.h"
#include "swf/actions/conversions.h"
#include "swf/actions/interpreter.h"
#include "swf/actions/load_request.h"
#include "swf/actions/sound_host.h"
#include "swf/actions/vm.h"

namespace swf::actions {

namespace {

Object* SelfSound(CallContext& c) {
    Object* o = c.self.AsObject();
    return o != nullptr && o->FindInternal("sound") != nullptr ? o : nullptr;
}

// The clip the Sound was made for; null for the whole movie (or a clip that has gone).
ActionTarget* Owner(Object* sound) {
    const Value* target = sound->FindInternal("target");
    Object* clip = target != nullptr ? target->AsObject() : nullptr;
    return clip != nullptr && clip->kind == ObjectKind::Clip ? clip->target : nullptr;
}

double Internal(Object* sound, const char* name, double fallback) {
    const Value* v = sound->FindInternal(name);
    return v != nullptr && v->IsNumber() ? v->AsNumber() : fallback;
}

// Volume and pan make a transform as setVolume and setPan describe them:
// panning to one side lowers the other.
SoundTransform VolumeAndPan(double volume, double pan) {
    pan = std::clamp(pan, -100.0, 100.0);
    SoundTransform t;
    t.ll = volume * (pan > 0 ? (100 - pan) / 100 : 1);
    t.rr = volume * (pan < 0 ? (100 + pan) / 100 : 1);
    t.lr = t.rl = 0;
    return t;
}

void Apply(CallContext& c, Object* sound, const SoundTransform& transform) {
    sound->SetInternal("ll", Value::Number(transform.ll));
    sound->SetInternal("lr", Value::Number(transform.lr));
    sound->SetInternal("rl", Value::Number(transform.rl));
    sound->SetInternal("rr", Value::Number(transform.rr));
    if (SoundHost* host = c.interpreter.vm().soundHost()) host->SetTransform(Owner(sound), transform);
}

Value SoundConstructor(CallContext& c) {
    if (!c.construct) return Value();
    Object* o = c.interpreter.NewPlain();
    o->proto = c.interpreter.vm().soundPrototype();
    o->SetInternal("sound", Value::Bool(true));
    if (!c.args.empty() && !c.args[0].IsUndefined() && !c.args[0].IsNull()) {
        int level = -1;
        ActionTarget* target = c.interpreter.LoadTarget(nullptr, c.args[0], &level);
        if (target == nullptr && level >= 0) target = c.interpreter.vm().Level(level);
        if (target != nullptr) o->SetInternal("target", Value::Obj(c.interpreter.vm().ObjectFor(target)));
    }
    return Value::Obj(o);
}

Value SoundAttach(CallContext& c) {
    Object* self = SelfSound(c);
    SoundHost* host = c.interpreter.vm().soundHost();
    if (self == nullptr || host == nullptr || c.args.empty()) return Value();
    const std::uint32_t id = host->FindSound(Owner(self), c.interpreter.Text(c.args[0]));
    self->SetInternal("soundId", Value::Number(id));
    return Value();
}

Value SoundStart(CallContext& c) {
    Object* self = SelfSound(c);
    SoundHost* host = c.interpreter.vm().soundHost();
    if (self == nullptr || host == nullptr) return Value();
    const auto id = static_cast<std::uint32_t>(Internal(self, "soundId", 0));
    if (id == 0) return Value();
    double offset = c.args.empty() ? 0 : c.interpreter.Number(c.args[0]);
    if (!std::isfinite(offset) || offset < 0) offset = 0;
    const double loops = c.args.size() < 2 ? 1 : c.interpreter.Number(c.args[1]);
    const int times = std::isfinite(loops) && loops >= 1 ? static_cast<int>(std::min(loops, 32767.0)) : 1;
    const std::uint32_t voice = host->StartSound(Owner(self), id, offset, times);
    if (voice != 0) {
        self->SetInternal("voice", Value::Number(voice));
        c.interpreter.vm().SoundStarted(voice, self);
    }
    return Value();
}

Value SoundStop(CallContext& c) {
    Object* self = SelfSound(c);
    SoundHost* host = c.interpreter.vm().soundHost();
    if (self == nullptr || host == nullptr) return Value();
    std::uint32_t id = 0;
    if (!c.args.empty()) {
        id = host->FindSound(Owner(self), c.interpreter.Text(c.args[0]));
        if (id == 0) return Value();  // a name that is no sound stops nothing
    }
    host->StopSounds(Owner(self), id);
    return Value();
}

Value SoundSetVolume(CallContext& c) {
    Object* self = SelfSound(c);
    if (self == nullptr || c.args.empty()) return Value();
    const double volume = c.interpreter.Number(c.args[0]);
    if (!std::isfinite(volume)) return Value();
    self->SetInternal("volume", Value::Number(volume));
    Apply(c, self, VolumeAndPan(volume, Internal(self, "pan", 0)));
    return Value();
}

Value SoundGetVolume(CallContext& c) {
    Object* self = SelfSound(c);
    return self != nullptr ? Value::Number(Internal(self, "volume", 100)) : Value();
}

Value SoundSetPan(CallContext& c) {
    Object* self = SelfSound(c);
    if (self == nullptr || c.args.empty()) return Value();
    const double pan = c.interpreter.Number(c.args[0]);
    if (!std::isfinite(pan)) return Value();
    self->SetInternal("pan", Value::Number(pan));
    Apply(c, self, VolumeAndPan(Internal(self, "volume", 100), pan));
    return Value();
}

Value SoundGetPan(CallContext& c) {
    Object* self = SelfSound(c);
    return self != nullptr ? Value::Number(Internal(self, "pan", 0)) : Value();
}

// setTransform({ll, lr, rl, rr}): members it leaves out keep their values.
Value SoundSetTransform(CallContext& c) {
    Object* self = SelfSound(c);
    Object* given = c.Arg(0).AsObject();
    if (self == nullptr || given == nullptr) return Value();
    SoundTransform t{Internal(self, "ll", 100), Internal(self, "lr", 0), Internal(self, "rl", 0),
                     Internal(self, "rr", 100)};
    const auto member = [&](const char* name, double& field) {
        const Value v = c.interpreter.GetMember(Value::Obj(given), name);
        if (v.IsUndefined()) return;
        const double n = c.interpreter.Number(v);
        if (std::isfinite(n)) field = n;
    };
    member("ll", t.ll);
    member("lr", t.lr);
    member("rl", t.rl);
    member("rr", t.rr);
    Apply(c, self, t);
    return Value();
}

Value SoundGetTransform(CallContext& c) {
    Object* self = SelfSound(c);
    if (self == nullptr) return Value();
    Object* t = c.interpreter.NewPlain();
    t->Set("ll", Value::Number(Internal(self, "ll", 100)));
    t->Set("lr", Value::Number(Internal(self, "lr", 0)));
    t->Set("rl", Value::Number(Internal(self, "rl", 0)));
    t->Set("rr", Value::Number(Internal(self, "rr", 100)));
    return Value::Obj(t);
}

// duration and position, in milliseconds (0 before a sound is attached or started).
Value SoundDuration(CallContext& c) {
    Object* self = SelfSound(c);
    SoundHost* host = c.interpreter.vm().soundHost();
    if (self == nullptr || host == nullptr) return Value::Number(0);
    const auto id = static_cast<std::uint32_t>(Internal(self, "soundId", 0));
    return Value::Number(id != 0 ? std::round(host->DurationMs(id)) : 0);
}

Value SoundPosition(CallContext& c) {
    Object* self = SelfSound(c);
    SoundHost* host = c.interpreter.vm().soundHost();
    if (self == nullptr || host == nullptr) return Value::Number(0);
    const auto voice = static_cast<std::uint32_t>(Internal(self, "voice", 0));
    return Value::Number(voice != 0 ? std::round(host->PositionMs(voice)) : 0);
}

// loadSound(url, isStreaming): the MP3 file comes from the movie's folder on
// a later frame; a streaming sound starts as soon as it is there.
Value SoundLoad(CallContext& c) {
    Object* self = SelfSound(c);
    if (self == nullptr || c.args.empty()) return Value();
    LoadRequest request;
    request.kind = LoadKind::Sound;
    request.url = c.interpreter.Text(c.args[0]);
    request.receiver = self;
    self->SetInternal("streaming", Value::Bool(ToBoolean(c.Arg(1), c.interpreter.vm().swfVersion())));
    self->SetInternal("bytesLoaded", Value::Number(0));
    self->SetInternal("bytesTotal", Value());
    c.interpreter.vm().QueueLoad(std::move(request));
    return Value();
}

Value SoundBytesLoaded(CallContext& c) {
    Object* self = SelfSound(c);
    return self != nullptr ? Value::Number(Internal(self, "bytesLoaded", 0)) : Value();
}

// Undefined until a load has told the file's size.
Value SoundBytesTotal(CallContext& c) {
    Object* self = SelfSound(c);
    const Value* total = self != nullptr ? self->FindInternal("bytesTotal") : nullptr;
    return total != nullptr ? *total : Value();
}

Value SoundIgnored(CallContext&) { return Value(); }

}  // namespace

void InstallSoundBuiltins(Vm& vm, BuiltinObjects& objects) {
    Installer in(vm);
    Object* proto = in.NewObject(objects.objectProto);
    objects.soundProto = proto;
    in.Method(proto, "attachSound", SoundAttach);
    in.Method(proto, "start", SoundStart);
    in.Method(proto, "stop", SoundStop);
    in.Method(proto, "setVolume", SoundSetVolume);
    in.Method(proto, "getVolume", SoundGetVolume);
    in.Method(proto, "setPan", SoundSetPan);
    in.Method(proto, "getPan", SoundGetPan);
    in.Method(proto, "setTransform", SoundSetTransform);
    in.Method(proto, "getTransform", SoundGetTransform);
    in.Method(proto, "loadSound", SoundLoad);
    in.Method(proto, "getBytesLoaded", SoundBytesLoaded);
    in.Method(proto, "getBytesTotal", SoundBytesTotal);
    in.Method(proto, "checkPolicyFile", SoundIgnored);
    const std::pair<const char*, NativeFunction> getters[] = {{"duration", SoundDuration}, {"position", SoundPosition}};
    for (const auto& [name, getter] : getters) {
        Property property{name, Value(), kDontEnum};
        property.getter = in.NewFunction(getter);
        proto->properties.push_back(std::move(property));
    }
    in.Class("Sound", SoundConstructor, proto);
}

void Vm::SoundStarted(std::uint32_t voice, Object* sound) { playingSounds_.emplace_back(voice, sound); }

void Vm::FinishSoundLoad(Object* receiver, std::uint32_t sound, std::size_t bytes,
                         const std::map<std::string, std::string>& id3, ActionHost& host) {
    if (receiver == nullptr) return;
    if (sound != 0) {
        receiver->SetInternal("soundId", Value::Number(sound));
        receiver->SetInternal("bytesLoaded", Value::Number(static_cast<double>(bytes)));
        receiver->SetInternal("bytesTotal", Value::Number(static_cast<double>(bytes)));
        if (!id3.empty()) {
            Object* tags = heap_.New(ObjectKind::Plain);
            tags->proto = builtins_.objectProto;
            for (const auto& [name, text] : id3) tags->Set(name, Value::String(text));
            receiver->Set("id3", Value::Obj(tags));
            CallMethod(Value::Obj(receiver), "onID3", {}, host);
        }
        const Value* streaming = receiver->FindInternal("streaming");
        if (streaming != nullptr && streaming->IsBool() && streaming->AsBool() && soundHost_ != nullptr) {
            const std::uint32_t voice = soundHost_->StartSound(Owner(receiver), sound, 0, 1);
            if (voice != 0) {
                receiver->SetInternal("voice", Value::Number(voice));
                SoundStarted(voice, receiver);
            }
        }
    }
    CallMethod(Value::Obj(receiver), "onLoad", {Value::Bool(sound != 0)}, host);
}

void Vm::SoundsFinished(const std::vector<std::uint32_t>& voices, ActionHost& host) {
    // Voices stopped meanwhile end without a word.
    if (soundHost_ != nullptr) {
        std::erase_if(playingSounds_, [&](const auto& entry) {
            return !soundHost_->Playing(entry.first) &&
                   std::find(voices.begin(), voices.end(), entry.first) == voices.end();
        });
    }
    std::vector<Object*> finished;
    for (std::uint32_t voice : voices) {
        const auto it = std::find_if(playingSounds_.begin(), playingSounds_.end(),
                                     [voice](const auto& entry) { return entry.first == voice; });
        if (it == playingSounds_.end()) continue;
        finished.push_back(it->second);
        playingSounds_.erase(it);
    }
    for (Object* sound : finished) CallMethod(Value::Obj(sound), "onSoundComplete", {}, host);
}

}  // namespace swf::actions

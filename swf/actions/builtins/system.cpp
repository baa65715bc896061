// System: setClipboard, and System.capabilities, where the player answers as a Windows player of version 9,
// with the facilities this build has.

#include "swf/actions/builtins/builtins.h"
#include "swf/actions/player_version.h"

namespace swf::actions {

namespace {

Value SetClipboard(CallContext& c) {
    c.interpreter.vm().SetClipboardText(ArgText(c, 0));
    return Value();
}

}  // namespace

void InstallSystemBuiltins(Installer& in) {
    Vm& vm = in.vm();
    Object* system = in.NewObject(vm.objectProto());
    vm.global()->Define("System", Value::Obj(system), kDontEnum);
    in.Method(system, "setClipboard", SetClipboard);
    Object* capabilities = in.NewObject(vm.objectProto());
    system->Define("capabilities", Value::Obj(capabilities), kDontEnum);
    auto text = [&](const char* name, const char* value) { in.Constant(capabilities, name, Value::String(value)); };
    auto flag = [&](const char* name, bool value) { in.Constant(capabilities, name, Value::Bool(value)); };
    auto number = [&](const char* name, double value) { in.Constant(capabilities, name, Value::Number(value)); };
    text("version", kPlayerVersion);
    text("os", "Windows XP");
    text("playerType", "ActiveX");
    text("language", "en");
    text("screenColor", "color");
    number("screenResolutionX", 1024);
    number("screenResolutionY", 768);
    number("screenDPI", 72);
    number("pixelAspectRatio", 1);
    // What this player has: sound (MP3 and stream sounds too), but no
    // video, printing, accessibility, recording or network connections yet,
    // so movies that ask take their plain path.
    flag("hasAudio", true);
    flag("hasMP3", true);
    flag("hasAudioEncoder", false);
    flag("hasVideoEncoder", false);
    flag("hasEmbeddedVideo", false);
    flag("hasStreamingAudio", true);
    flag("hasStreamingVideo", false);
    flag("hasPrinting", false);
    flag("hasScreenBroadcast", false);
    flag("hasScreenPlayback", false);
    flag("hasAccessibility", false);
    flag("isDebugger", false);
    flag("localFileReadDisable", false);
    flag("avHardwareDisable", true);
    // Typed text arrives composed by the system's input method.
    flag("hasIME", true);
    flag("hasTLS", false);
    flag("windowlessDisable", false);
}

}  // namespace swf::actions

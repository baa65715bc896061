// System.capabilities: the player answers as a Windows player of version 9.

#include "builtins.h"

namespace swf::actions {

void InstallSystemBuiltins(Installer& in) {
    Vm& vm = in.vm();
    Object* system = in.NewObject(vm.objectProto());
    vm.global()->Define("System", Value::Obj(system), kDontEnum);
    Object* capabilities = in.NewObject(vm.objectProto());
    system->Define("capabilities", Value::Obj(capabilities), kDontEnum);
    auto text = [&](const char* name, const char* value) { in.Constant(capabilities, name, Value::String(value)); };
    auto flag = [&](const char* name, bool value) { in.Constant(capabilities, name, Value::Bool(value)); };
    auto number = [&](const char* name, double value) { in.Constant(capabilities, name, Value::Number(value)); };
    text("version", "WIN 9,0,28,0");
    text("os", "Windows XP");
    text("playerType", "ActiveX");
    text("language", "en");
    text("screenColor", "color");
    number("screenResolutionX", 1024);
    number("screenResolutionY", 768);
    number("screenDPI", 72);
    number("pixelAspectRatio", 1);
    flag("hasAudio", true);
    flag("hasMP3", true);
    flag("hasAudioEncoder", true);
    flag("hasVideoEncoder", true);
    flag("hasEmbeddedVideo", true);
    flag("hasStreamingAudio", true);
    flag("hasStreamingVideo", true);
    flag("hasPrinting", true);
    flag("hasScreenBroadcast", false);
    flag("hasScreenPlayback", false);
    flag("hasAccessibility", true);
    flag("isDebugger", false);
    flag("localFileReadDisable", false);
    flag("avHardwareDisable", false);
    flag("hasIME", true);
    flag("hasTLS", true);
    flag("windowlessDisable", false);
}

}  // namespace swf::actions

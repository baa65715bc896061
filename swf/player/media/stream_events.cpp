#include "swf/player/media/stream_events.h"

#include "swf/player/media/amf_script_value.h"
#include "swf/player/media/net_streams.h"
#include "swf/player/scripting/vm_action_runner.h"

namespace swf {

void DeliverStreamEvents(NetStreams& streams, VmActionRunner& runner) {
    actions::Vm& vm = runner.Vm();
    for (auto& [stream, event] : streams.TakeEvents()) {
        actions::Value argument;
        if (event.handler == "onStatus") {
            actions::Object* info = vm.heap().New(actions::ObjectKind::Plain);
            info->proto = vm.objectProto();
            info->Set("code", actions::Value::String(event.code));
            info->Set("level", actions::Value::String(event.level));
            argument = actions::Value::Obj(info);
        } else {
            argument = ScriptValueOf(event.value, vm);
        }
        vm.StreamCall(stream, event.handler, {argument}, runner.Host());
        runner.ReportLastCall(event.handler + " of a NetStream");
    }
    for (std::string& warning : streams.TakeWarnings()) runner.Warn(std::move(warning));
}

}  // namespace swf

#pragma once
// The values of a video file's script data (AMF0) as scripts receive them in
// onMetaData and onCuePoint: objects and ECMA arrays become objects with
// their members in order, strict arrays Arrays, dates Dates.

#include "swf/actions/value.h"
#include "swf/actions/vm.h"
#include "swf/video/amf0.h"

namespace swf {

actions::Value ScriptValueOf(const video::AmfValue& value, actions::Vm& vm);

}  // namespace swf

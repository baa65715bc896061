#pragma once
// The XML forms that ExternalInterface.call uses to talk to the host.

#include <string>
#include <vector>

#include "swf/actions/value.h"

namespace swf::actions {

std::string EscapeXml(const std::string& text);
std::string UnescapeXml(const std::string& text);

// One argument in the host's XML form: <string>..</string>, <number>..</number>,
// <true/>, <false/>, <null/>, <undefined/>, <array>/<object> with <property id>.
std::string EncodeXmlValue(const Value& v, int swfVersion);

// <invoke name="NAME" returntype="xml"><arguments>...</arguments></invoke>
std::string BuildInvokeRequest(const std::string& name, const std::vector<Value>& args, int swfVersion);

// The host's answer as a primitive: string, number, boolean or null; anything
// else (empty, malformed, arrays, objects) is undefined.
Value DecodeXmlAnswer(const std::string& xml);

}  // namespace swf::actions

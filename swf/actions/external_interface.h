#pragma once
// The XML forms that ExternalInterface uses to talk to the host: requests
// and answers of ExternalInterface.call, and the host's calls into functions
// the movie registered with addCallback.

#include <cstddef>
#include <string>
#include <vector>

#include "swf/actions/value.h"

namespace swf::actions {

class Interpreter;

// Values the host hands in nest at most this deep; deeper ones are refused.
inline constexpr int kMaxXmlValueDepth = 64;
// Requests and answers longer than this are refused unread.
inline constexpr std::size_t kMaxXmlBytes = 16u << 20;

std::string EscapeXml(const std::string& text);
// The five named entities and numeric ones (&#65; &#x41;); anything else stays as written.
std::string UnescapeXml(const std::string& text);

// One argument in the host's XML form: <string>..</string>, <number>..</number>,
// <true/>, <false/>, <null/>, <undefined/>, <array>/<object> with <property id>.
std::string EncodeXmlValue(const Value& v, int swfVersion);

// <invoke name="NAME" returntype="xml"><arguments>...</arguments></invoke>
std::string BuildInvokeRequest(const std::string& name, const std::vector<Value>& args, int swfVersion);

// One value in that form, arrays and objects made as script objects through
// `in` (its limits apply). Empty text is undefined. False, with `error`
// saying why, for malformed or oversized text, nesting past
// kMaxXmlValueDepth, or when the scripts' memory runs out.
bool DecodeXmlValue(const std::string& xml, Interpreter& in, Value& out, std::string& error);

// An invoke request as the host sends it to a callback.
struct InvokeRequest {
    std::string name;
    std::vector<Value> args;
};
bool DecodeInvokeRequest(const std::string& xml, Interpreter& in, InvokeRequest& out, std::string& error);

}  // namespace swf::actions

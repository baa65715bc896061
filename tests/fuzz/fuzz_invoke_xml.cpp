// The XML value form hosts send through ExternalInterface, read as an invoke
// request and as a bare value (an answer), then written out again.
#include <cstdint>
#include <string>

#include "swf/actions/external_interface.h"
#include "swf/actions/interpreter.h"
#include "swf/actions/vm.h"

namespace {

class QuietHost : public swf::ActionHost {
public:
    void FSCommand(const std::string&, const std::string&) override {}
    std::string FlashCall(const std::string&) override { return {}; }
    void GetURL(const std::string&, const std::string&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    swf::actions::VmLimits limits;
    limits.maxObjects = 20000;
    swf::actions::Vm vm(8, limits);
    QuietHost host;
    const std::string text(reinterpret_cast<const char*>(data), size);
    swf::actions::Interpreter in(vm, host);
    std::string error;
    swf::actions::InvokeRequest request;
    if (swf::actions::DecodeInvokeRequest(text, in, request, error)) {
        for (const swf::actions::Value& v : request.args) swf::actions::EncodeXmlValue(v, 8);
    }
    swf::actions::Value value;
    if (swf::actions::DecodeXmlValue(text, in, value, error)) swf::actions::EncodeXmlValue(value, 8);
    return 0;
}

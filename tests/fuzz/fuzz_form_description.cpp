// The form description reader on arbitrary text: a tree or a clean error.
#include <cstdint>
#include <string_view>

#include "toolkit/core/form_description.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        toolkit::ParseFormDescription(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const toolkit::FormDescriptionError&) {}
    return 0;
}

// The settings reader on arbitrary file text; every lookup afterwards too.
#include <cstdint>
#include <string>

#include "settings/Sdftxtparser_unit.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SDFTxtParser parser;
    parser.LoadFromText(std::string(reinterpret_cast<const char*>(data), size));
    for (const char* key : {"title", "width", "height", ""}) parser.GetValue(key);
    // The scan stops after "height": no key can follow it in the table's
    // insertion, so a second load of the same text adds nothing new.
    const auto before = parser.Entries().size();
    parser.LoadFromText(std::string(reinterpret_cast<const char*>(data), size));
    if (parser.Entries().size() != before) __builtin_trap();
    return 0;
}

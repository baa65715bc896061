#include "swf/io/export_parser.h"

#include <cctype>

#include "swf/io/bit_reader.h"

namespace swf {

void ReadExportAssets(std::span<const std::uint8_t> body, std::map<std::string, std::uint16_t>& exports) {
    BitReader in(body);
    const std::uint16_t count = in.ReadU16();
    for (std::uint16_t i = 0; i < count; ++i) {
        const std::uint16_t id = in.ReadU16();
        std::string name = in.ReadString();
        exports.emplace(std::move(name), id);
    }
}

std::uint16_t FindExport(const std::map<std::string, std::uint16_t>& exports, const std::string& name) {
    const auto exact = exports.find(name);
    if (exact != exports.end()) return exact->second;
    for (const auto& [exported, id] : exports) {
        if (exported.size() != name.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i)
            same = std::tolower(static_cast<unsigned char>(exported[i])) ==
                   std::tolower(static_cast<unsigned char>(name[i]));
        if (same) return id;
    }
    return 0;
}

}  // namespace swf

#include "swf/io/filter_list.h"

#include "swf/io/parse_error.h"

namespace swf {

std::uint8_t SkipFilterList(BitReader& in) {
    const unsigned count = in.ReadU8();
    std::uint8_t kinds = 0;
    for (unsigned i = 0; i < count; ++i) {
        const std::uint8_t kind = in.ReadU8();
        if (kind < 8) kinds = static_cast<std::uint8_t>(kinds | (1u << kind));
        switch (kind) {
        case 0: in.Skip(23); break;  // drop shadow
        case 1: in.Skip(9); break;   // blur
        case 2: in.Skip(15); break;  // glow
        case 3: in.Skip(27); break;  // bevel
        case 4:                      // gradient glow
        case 7: {                    // gradient bevel
            const std::size_t colors = in.ReadU8();
            in.Skip(colors * 5 + 19);
            break;
        }
        case 5: {  // convolution
            const std::size_t cols = in.ReadU8();
            const std::size_t rows = in.ReadU8();
            in.Skip(8 + cols * rows * 4 + 5);
            break;
        }
        case 6: in.Skip(80); break;  // colour matrix
        default: throw ParseError("unknown filter");
        }
    }
    return kinds;
}

}  // namespace swf

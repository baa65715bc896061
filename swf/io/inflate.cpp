#include "swf/io/inflate.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

#include "swf/io/parse_error.h"

namespace swf {

InflateResult InflatePrefix(std::span<const std::uint8_t> input, std::size_t maxOutput) {
    InflateResult result;
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) throw ParseError("cannot initialise zlib");
    // Grow the output as data arrives rather than trusting any declared size.
    constexpr std::size_t kChunk = 64 * 1024;
    std::size_t inPos = 0;
    int rc = Z_OK;
    while (result.bytes.size() < maxOutput) {
        if (zs.avail_in == 0 && inPos < input.size()) {
            const std::size_t n = std::min<std::size_t>(input.size() - inPos, std::numeric_limits<uInt>::max());
            zs.next_in = const_cast<Bytef*>(input.data() + inPos);
            zs.avail_in = static_cast<uInt>(n);
            inPos += n;
        }
        const std::size_t old = result.bytes.size();
        const std::size_t room = std::min(kChunk, maxOutput - old);
        result.bytes.resize(old + room);
        zs.next_out = result.bytes.data() + old;
        zs.avail_out = static_cast<uInt>(room);
        rc = inflate(&zs, Z_NO_FLUSH);
        result.bytes.resize(old + room - zs.avail_out);
        if (rc == Z_STREAM_END) {
            result.complete = true;
            break;
        }
        if (rc == Z_BUF_ERROR && zs.avail_in == 0 && inPos >= input.size()) break;  // input ran out
        if (rc != Z_OK && rc != Z_BUF_ERROR) {
            result.corrupt = true;
            break;
        }
    }
    inflateEnd(&zs);
    return result;
}

InflateResult Inflate(std::span<const std::uint8_t> input, std::size_t maxOutput) {
    InflateResult result = InflatePrefix(input, maxOutput);
    if (result.corrupt) throw ParseError("corrupt compressed data");
    return result;
}

}  // namespace swf

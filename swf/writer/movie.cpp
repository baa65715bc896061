#include "swf/writer/movie.h"

#include <stdexcept>

#include <zlib.h>

namespace swf::writer {

std::vector<std::uint8_t> BuildMovie(const MovieHeader& header, const TagStream& tags) {
    BitWriter body;  // everything after the 8-byte file header
    WriteRect(body, header.frameSize);
    body.Fixed8(header.frameRate);
    body.U16(tags.frameCount());
    body.Bytes(tags.bytes());
    if (!tags.ended()) body.U16(0);
    std::vector<std::uint8_t> rest = body.Take();

    BitWriter file;
    file.U8(header.compressed ? 'C' : 'F');
    file.U8('W');
    file.U8('S');
    file.U8(header.version);
    file.U32(static_cast<std::uint32_t>(rest.size() + 8));  // uncompressed length
    std::vector<std::uint8_t> out = file.Take();
    if (!header.compressed) {
        out.insert(out.end(), rest.begin(), rest.end());
        return out;
    }
    uLongf packedSize = compressBound(static_cast<uLong>(rest.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, rest.data(), static_cast<uLong>(rest.size()), Z_BEST_COMPRESSION) != Z_OK)
        throw std::runtime_error("zlib compression failed");
    out.insert(out.end(), packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(packedSize));
    return out;
}

}  // namespace swf::writer

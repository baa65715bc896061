#include "swf/io/movie_file.h"

#include <string>

#include "swf/io/bit_reader.h"
#include "swf/io/inflate.h"
#include "swf/io/parse_error.h"
#include "swf/io/records.h"

namespace swf {

MovieFile ReadMovieFile(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 8) throw ParseError("not a movie: file shorter than its 8-byte header");
    const std::uint8_t sig = bytes[0];
    if (bytes[1] != 'W' || bytes[2] != 'S' || (sig != 'F' && sig != 'C' && sig != 'Z')) {
        throw ParseError("not a movie: unknown signature");
    }
    if (sig == 'Z') throw ParseError("unsupported movie compression (LZMA)");

    MovieFile file;
    BitReader head(bytes.subspan(3, 5));
    file.header.version = head.ReadU8();
    file.header.fileLength = head.ReadU32();
    file.header.compressed = sig == 'C';
    const std::uint32_t declared = file.header.fileLength;
    if (declared < 8) throw ParseError("invalid movie: declared length smaller than its header");
    if (declared > kMaxMovieLength) throw ParseError("invalid movie: declared length too large");
    const std::size_t bodyLength = declared - 8;

    std::vector<std::uint8_t> body;
    if (file.header.compressed) {
        // One byte more than declared tells a stream that merely carries extra
        // data (accepted) from one cut before its end (refused).
        InflateResult inflated = Inflate(bytes.subspan(8), bodyLength + 1);
        if (inflated.bytes.size() < bodyLength || (inflated.bytes.size() == bodyLength && !inflated.complete)) {
            throw ParseError("truncated movie: compressed data ends early");
        }
        inflated.bytes.resize(bodyLength);
        body = std::move(inflated.bytes);
    } else {
        if (bytes.size() - 8 < bodyLength) throw ParseError("truncated movie: file shorter than declared length");
        body.assign(bytes.begin() + 8, bytes.begin() + 8 + static_cast<std::ptrdiff_t>(bodyLength));
    }

    BitReader in(body);
    try {
        file.header.frameSize = ReadRect(in);
        file.header.frameRate = in.ReadU16() / 256.0;
        file.header.frameCount = in.ReadU16();
    } catch (const ParseError&) {
        throw ParseError("truncated movie: header incomplete");
    }
    file.tags.assign(body.begin() + static_cast<std::ptrdiff_t>(in.Position()), body.end());
    return file;
}

}  // namespace swf

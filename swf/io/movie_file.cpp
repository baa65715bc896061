#include "swf/io/movie_file.h"

#include <algorithm>
#include <string>

#include "swf/io/bit_reader.h"
#include "swf/io/inflate.h"
#include "swf/io/parse_error.h"
#include "swf/io/records.h"

namespace swf {

namespace {

// The body as the file holds it, at most kMaxMovieLength bytes.
std::vector<std::uint8_t> ReadBody(std::span<const std::uint8_t> bytes, bool compressed, MovieFile& file) {
    const std::span<const std::uint8_t> stored = bytes.subspan(8);
    if (!compressed) {
        const std::size_t n = std::min(stored.size(), kMaxMovieLength);
        if (n < stored.size()) file.warnings.push_back("movie longer than the largest one read; the rest is dropped");
        return {stored.begin(), stored.begin() + static_cast<std::ptrdiff_t>(n)};
    }
    InflateResult inflated = InflatePrefix(stored, kMaxMovieLength);
    if (inflated.corrupt) {
        if (inflated.bytes.empty()) throw ParseError("corrupt compressed data");
        file.warnings.push_back("compressed data goes bad after " + std::to_string(inflated.bytes.size()) +
                                " bytes; playing what came before");
    } else if (!inflated.complete) {
        file.warnings.push_back(inflated.bytes.size() >= kMaxMovieLength
                                    ? "movie longer than the largest one read; the rest is dropped"
                                    : "compressed data ends early");
    }
    return std::move(inflated.bytes);
}

}  // namespace

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

    std::vector<std::uint8_t> body = ReadBody(bytes, file.header.compressed, file);
    // Players take the data as it is: the declared length only informs.
    const std::uint64_t actual = body.size() + 8ull;
    if (file.header.fileLength != actual) {
        file.warnings.push_back("declared length " + std::to_string(file.header.fileLength) + " but the data holds " +
                                std::to_string(actual) + " bytes");
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

#include "swf/sound/id3_tags.h"

#include <array>
#include <utility>

namespace swf::sound {

namespace {

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string Latin1(std::span<const std::uint8_t> bytes) {
    std::string out;
    for (std::uint8_t b : bytes) {
        if (b == 0) break;
        AppendUtf8(out, b);
    }
    return out;
}

// UTF-16 up to a zero unit; big-endian unless a byte order mark says otherwise.
std::string Utf16(std::span<const std::uint8_t> bytes, bool bigEndian) {
    std::string out;
    std::size_t i = 0;
    if (bytes.size() >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
        bigEndian = bytes[0] == 0xFE;
        i = 2;
    }
    char32_t high = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const char32_t unit = bigEndian ? (bytes[i] << 8 | bytes[i + 1]) : (bytes[i + 1] << 8 | bytes[i]);
        if (unit == 0) break;
        if (unit >= 0xD800 && unit < 0xDC00) {
            high = unit;
            continue;
        }
        if (unit >= 0xDC00 && unit < 0xE000) {
            if (high != 0) AppendUtf8(out, 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
            high = 0;
            continue;
        }
        high = 0;
        AppendUtf8(out, unit);
    }
    return out;
}

// Text in one of the frame encodings: 0 Latin-1, 1 UTF-16 with a byte order
// mark, 2 UTF-16 big-endian, 3 UTF-8. Invalid UTF-8 is kept as Latin-1.
std::string Decode(std::uint8_t encoding, std::span<const std::uint8_t> bytes) {
    switch (encoding) {
    case 1: return Utf16(bytes, false);
    case 2: return Utf16(bytes, true);
    case 3: {
        std::string out;
        for (std::uint8_t b : bytes) {
            if (b == 0) break;
            out += static_cast<char>(b);
        }
        return out;
    }
    default: return Latin1(bytes);
    }
}

// Where a terminated string in `encoding` ends (past its terminator).
std::size_t SkipTerminated(std::uint8_t encoding, std::span<const std::uint8_t> bytes) {
    const bool wide = encoding == 1 || encoding == 2;
    for (std::size_t i = 0; i + (wide ? 1 : 0) < bytes.size(); i += wide ? 2 : 1) {
        if (bytes[i] == 0 && (!wide || bytes[i + 1] == 0)) return i + (wide ? 2 : 1);
    }
    return bytes.size();
}

std::uint32_t SyncSafe(const std::uint8_t* p) {
    return static_cast<std::uint32_t>((p[0] & 0x7F) << 21 | (p[1] & 0x7F) << 14 | (p[2] & 0x7F) << 7 | (p[3] & 0x7F));
}

// Version 2.2's names for the frames that have later ones.
std::string LaterName(const std::string& id) {
    static const std::pair<const char*, const char*> kNames[] = {
        {"TT2", "TIT2"}, {"TP1", "TPE1"}, {"TAL", "TALB"}, {"TYE", "TYER"}, {"COM", "COMM"},
        {"TCO", "TCON"}, {"TRK", "TRCK"}, {"TP2", "TPE2"}, {"TCM", "TCOM"}, {"TEN", "TENC"},
    };
    for (const auto& [old, later] : kNames)
        if (id == old) return later;
    return id;
}

// The version 1 names the common frames are also given.
const char* CommonName(const std::string& id) {
    static const std::pair<const char*, const char*> kNames[] = {
        {"TIT2", "songname"}, {"TPE1", "artist"},  {"TALB", "album"}, {"TYER", "year"},
        {"TDRC", "year"},     {"COMM", "comment"}, {"TCON", "genre"}, {"TRCK", "track"},
    };
    for (const auto& [frame, name] : kNames)
        if (id == frame) return name;
    return nullptr;
}

void ReadVersion2(std::span<const std::uint8_t> file, Id3Tags& tags) {
    if (file.size() < 10 || file[0] != 'I' || file[1] != 'D' || file[2] != '3') return;
    const int version = file[3];
    const std::uint8_t flags = file[5];
    const std::size_t end = std::min<std::size_t>(file.size(), 10 + std::size_t{SyncSafe(&file[6])});
    tags.audioBegin = end;
    if (version < 2 || version > 4) return;
    std::size_t at = 10;
    // An extended header (2.3 and 2.4) comes before the frames.
    if (version >= 3 && (flags & 0x40) && at + 4 <= end) {
        const std::size_t size = version == 4 ? SyncSafe(&file[at])
                                              : (std::size_t{file[at]} << 24 | std::size_t{file[at + 1]} << 16 |
                                                 std::size_t{file[at + 2]} << 8 | file[at + 3]) +
                                                    4;
        at += size;
    }
    const std::size_t idLength = version == 2 ? 3 : 4, headerLength = version == 2 ? 6 : 10;
    while (at + headerLength <= end && file[at] != 0) {
        const std::string id(file.begin() + static_cast<std::ptrdiff_t>(at),
                             file.begin() + static_cast<std::ptrdiff_t>(at + idLength));
        std::size_t size = 0;
        if (version == 2) {
            size = std::size_t{file[at + 3]} << 16 | std::size_t{file[at + 4]} << 8 | file[at + 5];
        } else if (version == 3) {
            size = std::size_t{file[at + 4]} << 24 | std::size_t{file[at + 5]} << 16 | std::size_t{file[at + 6]} << 8 |
                   file[at + 7];
        } else {
            size = SyncSafe(&file[at + 4]);
        }
        at += headerLength;
        if (size > end - at) break;
        const std::span<const std::uint8_t> body = file.subspan(at, size);
        at += size;
        const std::string name = LaterName(id);
        if (body.empty() || (name[0] != 'T' && name != "COMM")) continue;
        const std::uint8_t encoding = body[0];
        std::span<const std::uint8_t> text = body.subspan(1);
        if (name == "COMM") {
            // Language, then a short description, then the comment.
            if (text.size() < 3) continue;
            text = text.subspan(3);
            text = text.subspan(SkipTerminated(encoding, text));
        }
        std::string value = Decode(encoding, text);
        if (const char* common = CommonName(name)) tags.fields.emplace(common, value);
        tags.fields.emplace(name, std::move(value));
    }
}

// The trimmed Latin-1 text of a version 1 field.
std::string Version1Field(std::span<const std::uint8_t> bytes) {
    std::string text = Latin1(bytes);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

void ReadVersion1(std::span<const std::uint8_t> file, Id3Tags& tags) {
    if (file.size() < tags.audioBegin + 128) return;
    const std::span<const std::uint8_t> tag = file.subspan(file.size() - 128);
    if (tag[0] != 'T' || tag[1] != 'A' || tag[2] != 'G') return;
    tags.audioEnd = file.size() - 128;
    // Version 2's frames come first where a file has both.
    tags.fields.emplace("songname", Version1Field(tag.subspan(3, 30)));
    tags.fields.emplace("artist", Version1Field(tag.subspan(33, 30)));
    tags.fields.emplace("album", Version1Field(tag.subspan(63, 30)));
    tags.fields.emplace("year", Version1Field(tag.subspan(93, 4)));
    // Version 1.1: a zero before the comment's last byte makes that byte the track.
    const bool hasTrack = tag[125] == 0 && tag[126] != 0;
    tags.fields.emplace("comment", Version1Field(tag.subspan(97, hasTrack ? 28 : 30)));
    if (hasTrack) tags.fields.emplace("track", std::to_string(tag[126]));
    tags.fields.emplace("genre", std::to_string(tag[127]));
}

}  // namespace

Id3Tags ReadId3Tags(std::span<const std::uint8_t> file) {
    Id3Tags tags;
    tags.audioEnd = file.size();
    ReadVersion2(file, tags);
    ReadVersion1(file, tags);
    if (tags.audioEnd < tags.audioBegin) tags.audioEnd = tags.audioBegin;
    return tags;
}

}  // namespace swf::sound

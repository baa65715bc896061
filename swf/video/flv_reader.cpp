#include "swf/video/flv_reader.h"

#include <algorithm>
#include <cstring>

namespace swf::video {

namespace {

constexpr std::size_t kHeaderSize = 9;
constexpr std::size_t kTagHeaderSize = 11;
constexpr std::size_t kTagSizeField = 4;
// Writers put the first tag right after the nine header bytes; a header that
// claims more than this is not believed.
constexpr std::uint32_t kMaxDataOffset = 1 << 20;
constexpr std::size_t kMaxWarnings = 16;
// Read bytes are dropped from the front of the buffer once there are this
// many and they are at least half of it, so feeding a byte at a time stays
// linear.
constexpr std::size_t kCompactAt = 64 * 1024;

std::uint32_t Big(const std::uint8_t* p, int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = value << 8 | p[i];
    return value;
}

const char* KindName(FlvTagKind kind) {
    switch (kind) {
    case FlvTagKind::Audio: return "audio";
    case FlvTagKind::Video: return "video";
    case FlvTagKind::Script: return "script data";
    }
    return "unknown";
}

}  // namespace

void FlvReader::Append(std::span<const std::uint8_t> bytes) {
    if (read_ == buffer_.size()) {
        bufferPosition_ += read_;
        buffer_.clear();
        read_ = 0;
    } else if (read_ >= kCompactAt && read_ >= buffer_.size() / 2) {
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(read_));
        bufferPosition_ += read_;
        read_ = 0;
    }
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

void FlvReader::End() { ended_ = true; }

void FlvReader::SeekTo(std::uint64_t position) {
    buffer_.clear();
    read_ = 0;
    bufferPosition_ = position;
    state_ = State::Tag;
    checkTagSize_ = false;
    ended_ = false;
    problem_.clear();
}

void FlvReader::Consume(std::size_t count) { read_ += count; }

void FlvReader::Stop(std::string problem) {
    if (problem_.empty()) problem_ = std::move(problem);
}

void FlvReader::Warn(std::string warning) {
    if (warnings_.size() < kMaxWarnings) {
        warnings_.push_back(std::move(warning));
    } else if (warnings_.size() == kMaxWarnings) {
        warnings_.push_back("further warnings are left out");
    }
}

bool FlvReader::ReadHeader() {
    static constexpr std::uint8_t kSignature[] = {'F', 'L', 'V'};
    const std::size_t signatureBytes = std::min<std::size_t>(Available(), 3);
    if (signatureBytes > 0 && std::memcmp(Peek(), kSignature, signatureBytes) != 0) {
        Stop("not an FLV file: it does not start with \"FLV\"");
        return false;
    }
    if (Available() < kHeaderSize) return false;
    const std::uint8_t* p = Peek();
    FlvHeader header;
    header.version = p[3];
    header.hasAudio = (p[4] & 0x04) != 0;
    header.hasVideo = (p[4] & 0x01) != 0;
    header.dataOffset = Big(p + 5, 4);
    if (header.dataOffset < kHeaderSize || header.dataOffset > kMaxDataOffset) {
        Stop("not an FLV file: its header says the data starts at byte " + std::to_string(header.dataOffset));
        return false;
    }
    if (header.version != 1) Warn("FLV version " + std::to_string(header.version) + ", read as version 1");
    header_ = header;
    Consume(kHeaderSize);
    padding_ = header.dataOffset - kHeaderSize;
    state_ = State::HeaderPadding;
    return true;
}

void FlvReader::CheckTagSize() {
    const std::uint32_t size = Big(Peek(), 4);
    if (checkTagSize_ && size != lastTagSize_) {
        Warn("the tag at byte " + std::to_string(lastTagPosition_) + " is " + std::to_string(lastTagSize_) +
             " bytes, but the PreviousTagSize after it says " + std::to_string(size));
    } else if (!checkTagSize_ && size != 0) {
        Warn("the first PreviousTagSize is " + std::to_string(size) + ", not 0");
    }
    Consume(kTagSizeField);
    checkTagSize_ = true;
    state_ = State::Tag;
}

std::optional<FlvTag> FlvReader::ReadTag(bool& skipped) {
    skipped = false;
    if (Available() < kTagHeaderSize) return std::nullopt;
    const std::uint8_t* p = Peek();
    const std::uint64_t position = this->position();
    const std::uint32_t size = Big(p + 1, 3);
    const std::uint8_t type = p[0] & 0x1F;
    const bool encrypted = (p[0] & 0x20) != 0;
    if ((p[0] & 0xC0) != 0 || (type != 8 && type != 9 && type != 18)) {
        Stop("the tag at byte " + std::to_string(position) + " is corrupt: its type byte is " + std::to_string(p[0]) +
             ", not audio (8), video (9) or script data (18)");
        return std::nullopt;
    }
    if (Available() < kTagHeaderSize + size) return std::nullopt;

    FlvTag tag;
    tag.kind = static_cast<FlvTagKind>(type);
    tag.timestamp = Big(p + 4, 3) | static_cast<std::uint32_t>(p[7]) << 24;
    tag.position = position;
    const std::uint32_t streamId = Big(p + 8, 3);
    tag.body.assign(p + kTagHeaderSize, p + kTagHeaderSize + size);
    Consume(kTagHeaderSize + size);
    lastTagSize_ = static_cast<std::uint32_t>(kTagHeaderSize + size);
    lastTagPosition_ = position;
    // The PreviousTagSize after a tag tells its size, after a seek too.
    checkTagSize_ = true;
    state_ = State::TagSize;

    if (streamId != 0) {
        Warn("the tag at byte " + std::to_string(position) + " has stream id " + std::to_string(streamId) + ", not 0");
    }
    if (encrypted) {
        Warn("the encrypted " + std::string(KindName(tag.kind)) + " tag at byte " + std::to_string(position) +
             " is skipped");
        skipped = true;
        return std::nullopt;
    }
    if (!tag.body.empty() && tag.kind == FlvTagKind::Video) {
        tag.frameType = static_cast<FlvFrameType>(tag.body[0] >> 4);
        tag.codecId = tag.body[0] & 0x0F;
    } else if (!tag.body.empty() && tag.kind == FlvTagKind::Audio) {
        tag.audioFormat = tag.body[0];
    }
    return tag;
}

void FlvReader::ReportCut() {
    const std::string at = " at byte " + std::to_string(position());
    switch (state_) {
    case State::Header:
        if (Available() == 0 && position() == 0) {
            Stop("not an FLV file: it is empty");
        } else {
            Stop("the file ends inside the FLV header (" + std::to_string(Available()) + " of 9 bytes)");
        }
        break;
    case State::HeaderPadding: Stop("the file ends inside the FLV header"); break;
    case State::TagSize:
        if (Available() == 0 && checkTagSize_) {
            Stop("the file ends after the tag at byte " + std::to_string(lastTagPosition_) +
                 ", before its PreviousTagSize");
        } else {
            Stop("the file ends inside a PreviousTagSize" + at + " (" + std::to_string(Available()) + " of 4 bytes)");
        }
        break;
    case State::Tag:
        if (Available() == 0) {
            state_ = State::Finished;
        } else if (Available() < kTagHeaderSize) {
            Stop("the file ends inside the header of the tag" + at + " (" + std::to_string(Available()) +
                 " of 11 bytes)");
        } else {
            const std::uint8_t* p = Peek();
            Stop("the file ends inside the " + std::string(KindName(static_cast<FlvTagKind>(p[0] & 0x1F))) + " tag" +
                 at + " (" + std::to_string(Available() - kTagHeaderSize) + " of " + std::to_string(Big(p + 1, 3)) +
                 " bytes of its body)");
        }
        break;
    case State::Finished: break;
    }
}

std::optional<FlvTag> FlvReader::Next() {
    while (problem_.empty()) {
        switch (state_) {
        case State::Header:
            if (ReadHeader()) continue;
            break;
        case State::HeaderPadding: {
            const std::size_t skip = static_cast<std::size_t>(std::min<std::uint64_t>(padding_, Available()));
            Consume(skip);
            padding_ -= skip;
            if (padding_ == 0) {
                state_ = State::TagSize;
                continue;
            }
            break;
        }
        case State::TagSize:
            if (Available() >= kTagSizeField) {
                CheckTagSize();
                continue;
            }
            break;
        case State::Tag: {
            bool skipped = false;
            auto tag = ReadTag(skipped);
            if (tag) return tag;
            if (skipped) continue;
            break;
        }
        case State::Finished: return std::nullopt;
        }
        // Nothing more to read until more bytes come.
        if (ended_ && problem_.empty()) ReportCut();
        return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace swf::video

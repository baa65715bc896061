#pragma once
// Reads an FLV file as it arrives: the header, then each tag once all of its
// bytes are in. A file that is not FLV or a tag that cannot be one stops the
// reading with a problem; a wrong PreviousTagSize only gives a warning,
// since the tag sizes themselves say where the next tag starts.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace swf::video {

enum class FlvTagKind : std::uint8_t { Audio = 8, Video = 9, Script = 18 };

// A video tag's frame type (the first byte's high four bits); None for an
// empty tag.
enum class FlvFrameType : std::uint8_t {
    None = 0,
    Key = 1,
    Inter = 2,
    DisposableInter = 3,
    GeneratedKey = 4,
    Command = 5,
};

struct FlvHeader {
    std::uint8_t version = 0;
    bool hasAudio = false;
    bool hasVideo = false;
    std::uint32_t dataOffset = 0;  // where the first PreviousTagSize is
};

struct FlvTag {
    FlvTagKind kind = FlvTagKind::Script;
    std::uint32_t timestamp = 0;  // milliseconds, the extended byte on top
    std::uint64_t position = 0;   // of the tag's header in the file
    std::vector<std::uint8_t> body;
    // Video: from the first byte of the body (frame type, codec id).
    FlvFrameType frameType = FlvFrameType::None;
    std::uint8_t codecId = 0;
    // Audio: the first byte of the body (format, rate, size and channels).
    std::uint8_t audioFormat = 0;

    bool IsKeyFrame() const { return frameType == FlvFrameType::Key || frameType == FlvFrameType::GeneratedKey; }
};

// The data size field has 24 bits: no tag body is larger than this.
inline constexpr std::uint32_t kMaxFlvTagBody = (1u << 24) - 1;

class FlvReader {
public:
    // The next bytes of the file. They are kept until Next() has read past
    // them.
    void Append(std::span<const std::uint8_t> bytes);
    // No more bytes will come: a header or tag left unfinished is a problem.
    void End();
    // Reading starts again at `position`, the start of a tag (a key frame's
    // position from the index): the bytes appended next are the file from
    // there. The header read before stays.
    void SeekTo(std::uint64_t position);

    // The next complete tag, or nothing until more bytes come (or ever, once
    // problem() is set). Tags of other types than audio, video and script
    // data, and encrypted ones, are skipped with a warning.
    std::optional<FlvTag> Next();

    const std::optional<FlvHeader>& header() const { return header_; }
    // Why reading stopped; empty while it goes on or when the file ended
    // where a tag did.
    const std::string& problem() const { return problem_; }
    // What was odd but could be read past, the first few of each file.
    const std::vector<std::string>& warnings() const { return warnings_; }
    // Where in the file the next unread byte is.
    std::uint64_t position() const { return bufferPosition_ + read_; }
    // Done: ended or stopped, and every complete tag handed out.
    bool Done() const { return !problem_.empty() || (ended_ && state_ == State::Finished); }

private:
    enum class State : std::uint8_t { Header, HeaderPadding, TagSize, Tag, Finished };

    std::size_t Available() const { return buffer_.size() - read_; }
    const std::uint8_t* Peek() const { return buffer_.data() + read_; }
    void Consume(std::size_t count);
    bool ReadHeader();
    std::optional<FlvTag> ReadTag(bool& skipped);
    void CheckTagSize();
    void Stop(std::string problem);
    void Warn(std::string warning);
    void ReportCut();

    std::vector<std::uint8_t> buffer_;
    std::size_t read_ = 0;              // bytes of buffer_ already read
    std::uint64_t bufferPosition_ = 0;  // file position of buffer_[0]
    State state_ = State::Header;
    std::uint64_t padding_ = 0;      // header bytes left to skip
    std::uint32_t lastTagSize_ = 0;  // what the next PreviousTagSize should say
    std::uint64_t lastTagPosition_ = 0;
    bool checkTagSize_ = false;  // false for the first, after the header
    bool ended_ = false;
    std::optional<FlvHeader> header_;
    std::string problem_;
    std::vector<std::string> warnings_;
};

}  // namespace swf::video

#pragma once
// The sound of an FLV file, tag by tag: each audio tag's first byte says how
// its samples are coded (format, rate, size, channels), the rest holds them.
// Uncompressed, ADPCM and MP3 sound decodes; other codecs are told once and
// the video plays on without sound.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "swf/sound/mp3_decoder.h"

namespace swf {

// One tag's samples: 16-bit, interleaved as `channels` says, at `rate`
// (5512 meaning 44.1 kHz / 8, as the mixer takes it).
struct FlvAudioBlock {
    int rate = 0;
    int channels = 1;
    std::vector<std::int16_t> samples;
};

class FlvAudioDecoder {
public:
    // `mp3` may be null: MP3 sound is then not decoded (and said so).
    explicit FlvAudioDecoder(sound::Mp3Codec* mp3) : mp3_(mp3) {}

    // A tag's body; nothing when it holds no sound this decoder plays, and
    // problem() then may say why (once per kind of problem).
    std::optional<FlvAudioBlock> Decode(std::span<const std::uint8_t> body);
    // After a seek: MP3 frames decode afresh.
    void Reset() { mp3Decoder_.reset(); }
    // What could not be played, each said once; taken.
    std::vector<std::string> TakeProblems() { return std::exchange(problems_, {}); }

private:
    void Problem(std::string text);

    sound::Mp3Codec* mp3_;
    std::unique_ptr<sound::Mp3Decoder> mp3Decoder_;
    std::vector<std::string> problems_;
    std::vector<std::string> told_;
};

// "Nellymoser", "AAC", ... for the FLV sound format number (the first
// byte's high four bits).
const char* FlvSoundFormatName(int format);

}  // namespace swf

#include "swf/player/media/flv_audio.h"

#include <algorithm>
#include <utility>

#include "swf/sound/adpcm_decoder.h"
#include "swf/sound/mp3_frames.h"
#include "swf/sound/pcm_decoder.h"

namespace swf {

namespace {

// The FLV sound formats (the first byte's high four bits).
enum FlvSoundFormat {
    kPcmNative = 0,
    kAdpcm = 1,
    kMp3 = 2,
    kPcmLittleEndian = 3,
    kNellymoser16k = 4,
    kNellymoser8k = 5,
    kNellymoser = 6,
    kG711ALaw = 7,
    kG711MuLaw = 8,
    kAac = 10,
    kSpeex = 11,
    kMp3At8k = 14,
    kDeviceSpecific = 15,
};

constexpr int kRates[] = {5512, 11025, 22050, 44100};

}  // namespace

const char* FlvSoundFormatName(int format) {
    switch (format) {
    case kPcmNative:
    case kPcmLittleEndian: return "uncompressed";
    case kAdpcm: return "ADPCM";
    case kMp3:
    case kMp3At8k: return "MP3";
    case kNellymoser16k:
    case kNellymoser8k:
    case kNellymoser: return "Nellymoser";
    case kG711ALaw:
    case kG711MuLaw: return "G.711";
    case kAac: return "AAC";
    case kSpeex: return "Speex";
    case kDeviceSpecific: return "a device-specific format";
    default: return "an unknown format";
    }
}

void FlvAudioDecoder::Problem(std::string text) {
    if (std::find(told_.begin(), told_.end(), text) != told_.end()) return;
    told_.push_back(text);
    problems_.push_back(std::move(text));
}

std::optional<FlvAudioBlock> FlvAudioDecoder::Decode(std::span<const std::uint8_t> body) {
    if (body.empty()) return std::nullopt;
    const int format = body[0] >> 4;
    const std::span<const std::uint8_t> data = body.subspan(1);
    FlvAudioBlock block;
    block.rate = kRates[(body[0] >> 2) & 3];
    const bool sixteenBit = (body[0] & 2) != 0;
    const bool stereo = (body[0] & 1) != 0;
    block.channels = stereo ? 2 : 1;
    switch (format) {
    case kPcmNative:
    case kPcmLittleEndian: block.samples = sound::DecodePcm(data, sixteenBit, stereo, data.size()); break;
    case kAdpcm:
        // A tag holds what its packets hold: the last one may be short.
        block.samples = sound::DecodeAdpcm(data, stereo, data.size() * 4).samples;
        break;
    case kMp3:
    case kMp3At8k: {
        const std::optional<sound::Mp3FrameHeader> header = sound::ReadMp3FrameHeader(data);
        if (!header) {
            if (!data.empty()) Problem("the video's MP3 sound has a tag that starts with no MP3 frame; it is left out");
            return std::nullopt;
        }
        if (mp3_ == nullptr) {
            Problem("MP3 sounds cannot be decoded on this system");
            return std::nullopt;
        }
        if (!mp3Decoder_) mp3Decoder_ = mp3_->Open(*header);
        if (!mp3Decoder_) {
            Problem("MP3 sounds cannot be decoded on this system");
            return std::nullopt;
        }
        block.rate = header->sampleRate;
        block.channels = header->channels;
        if (!mp3Decoder_->Decode(data, block.samples)) {
            Problem("the video's sound has bad MP3 frames; they are left out");
            block.samples.clear();
        }
        break;
    }
    default:
        Problem(std::string("the video's sound is in ") + FlvSoundFormatName(format) +
                ", which this player does not decode; the video plays without it");
        return std::nullopt;
    }
    if (block.samples.empty()) return std::nullopt;
    return block;
}

}  // namespace swf

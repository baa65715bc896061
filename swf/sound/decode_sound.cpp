#include "swf/sound/decode_sound.h"

#include <algorithm>

#include "swf/sound/adpcm_decoder.h"
#include "swf/sound/pcm_decoder.h"

namespace swf::sound {

namespace {

void DecodeMp3(std::span<const std::uint8_t> data, std::size_t maxFrames, int seek, Mp3Codec* mp3, DecodedSound& out) {
    const auto first = ReadMp3FrameHeader(data);
    if (!first) {
        out.problem = "an MP3 sound does not start with an MP3 frame";
        return;
    }
    std::unique_ptr<Mp3Decoder> decoder = mp3 ? mp3->Open(*first) : nullptr;
    if (!decoder) {
        out.problem = "MP3 sounds cannot be decoded on this system";
        return;
    }
    out.samples.rate = first->sampleRate;
    out.samples.channels = first->channels;
    if (!decoder->Decode(data, out.samples.data)) out.problem = "an MP3 sound has bad frames; played up to them";
    const auto channels = static_cast<std::size_t>(first->channels);
    const std::size_t skip = std::min(out.samples.data.size(), static_cast<std::size_t>(std::max(0, seek)) * channels);
    out.samples.data.erase(out.samples.data.begin(), out.samples.data.begin() + static_cast<std::ptrdiff_t>(skip));
    if (out.samples.data.size() > maxFrames * channels) out.samples.data.resize(maxFrames * channels);
}

}  // namespace

DecodedSound DecodeSound(const SoundFormat& format, std::span<const std::uint8_t> data, std::uint32_t sampleCount,
                         int mp3SeekSamples, Mp3Codec* mp3) {
    DecodedSound out;
    out.samples.rate = format.rate;
    out.samples.channels = format.channels();
    switch (format.codec) {
    case SoundCodec::UncompressedNativeEndian:
    case SoundCodec::UncompressedLittleEndian:
        out.samples.data = DecodePcm(data, format.sixteenBit, format.stereo, sampleCount);
        break;
    case SoundCodec::Adpcm: {
        AdpcmResult result = DecodeAdpcm(data, format.stereo, sampleCount);
        out.samples.data = std::move(result.samples);
        if (result.cut) out.problem = "an ADPCM sound is shorter than it says; played as far as it goes";
        break;
    }
    case SoundCodec::Mp3: DecodeMp3(data, sampleCount, mp3SeekSamples, mp3, out); break;
    case SoundCodec::Nellymoser16kMono:
    case SoundCodec::Nellymoser8kMono:
    case SoundCodec::Nellymoser:
        out.problem =
            "Nellymoser sounds are not played (there is no public definition of the format to decode them from)";
        break;
    default: out.problem = CodecName(format.codec) + " sounds are not played by this player";
    }
    return out;
}

}  // namespace swf::sound

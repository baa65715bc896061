#include "swf/sound/sound_format.h"

namespace swf::sound {

SoundFormat ReadSoundFormat(std::uint8_t byte) {
    // 5.5, 11, 22 and 44 kHz; the first is 44100 / 8, which players round down.
    static constexpr int kRates[] = {5512, 11025, 22050, 44100};
    SoundFormat format;
    format.codec = static_cast<SoundCodec>(byte >> 4);
    format.rate = kRates[(byte >> 2) & 3];
    format.sixteenBit = (byte & 2) != 0;
    format.stereo = (byte & 1) != 0;
    return format;
}

std::string CodecName(SoundCodec codec) {
    switch (codec) {
    case SoundCodec::UncompressedNativeEndian:
    case SoundCodec::UncompressedLittleEndian: return "uncompressed";
    case SoundCodec::Adpcm: return "ADPCM";
    case SoundCodec::Mp3: return "MP3";
    case SoundCodec::Nellymoser16kMono:
    case SoundCodec::Nellymoser8kMono:
    case SoundCodec::Nellymoser: return "Nellymoser";
    case SoundCodec::Speex: return "Speex";
    }
    return "codec " + std::to_string(static_cast<int>(codec));
}

}  // namespace swf::sound

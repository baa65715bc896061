#pragma once
// How a sound's samples are stored: the format byte that DefineSound,
// SoundStreamHead and FLV audio tags share.

#include <cstdint>
#include <string>

namespace swf::sound {

enum class SoundCodec : std::uint8_t {
    UncompressedNativeEndian = 0,
    Adpcm = 1,
    Mp3 = 2,
    UncompressedLittleEndian = 3,
    Nellymoser16kMono = 4,
    Nellymoser8kMono = 5,
    Nellymoser = 6,
    Speex = 11,
};

struct SoundFormat {
    SoundCodec codec = SoundCodec::UncompressedLittleEndian;
    int rate = 5512;  // samples a second, per channel
    bool sixteenBit = true;
    bool stereo = false;

    int channels() const { return stereo ? 2 : 1; }
};

// The byte's four fields: codec (4 bits), rate (2), size (1), type (1).
SoundFormat ReadSoundFormat(std::uint8_t byte);

// "MP3", "Nellymoser", "codec 9": for warnings.
std::string CodecName(SoundCodec codec);

}  // namespace swf::sound

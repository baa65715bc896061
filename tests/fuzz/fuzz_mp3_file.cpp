// An MP3 file as Sound.loadSound takes it: its ID3 tags read, then the
// frames between them decoded (through libmpg123) into a sound.
#include <cstdint>
#include <span>
#include <string>

#include "swf/player/audio/sound_system.h"
#include "swf/sound/id3_tags.h"
#include "swf/sound/mpg123_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> file(data, size);
    const swf::sound::Id3Tags tags = swf::sound::ReadId3Tags(file);
    if (tags.audioBegin > tags.audioEnd || tags.audioEnd > size) __builtin_trap();
    static const auto mp3 = swf::sound::MakeMpg123Codec();
    swf::SoundSystem sounds;
    sounds.SetMp3Codec(mp3.get());
    std::string problem;
    const std::uint32_t sound = sounds.LoadMp3(file.subspan(tags.audioBegin, tags.audioEnd - tags.audioBegin), problem);
    if (sound == 0 && problem.empty()) __builtin_trap();
    return 0;
}

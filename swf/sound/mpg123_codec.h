#pragma once
// MP3 decoding through libmpg123 (Debian's libmpg123), for the native
// programs and tests.

#include <memory>

#include "swf/sound/mp3_decoder.h"

namespace swf::sound {

std::unique_ptr<Mp3Codec> MakeMpg123Codec();

}  // namespace swf::sound

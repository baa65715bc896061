#pragma once
// MP3 decoding through the system's audio codec manager (ACM): every
// Windows has an MPEG layer III codec there, so the control ships none. The
// manager's library is loaded when the first MP3 sound needs it.

#include <memory>

#include "swf/sound/mp3_decoder.h"

namespace control {

std::unique_ptr<swf::sound::Mp3Codec> MakeAcmMp3Codec();

}  // namespace control

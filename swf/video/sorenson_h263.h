#pragma once
// Sorenson's H.263 (codec id 2): H.263 baseline pictures with their own
// picture header, unrestricted motion vectors always on, disposable inter
// pictures and an advisory deblocking flag.

#include <memory>

#include "swf/video/video_decoder.h"

namespace swf::video {

std::unique_ptr<VideoDecoder> MakeSorensonH263Decoder();

}  // namespace swf::video

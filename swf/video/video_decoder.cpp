#include "swf/video/video_decoder.h"

#include "swf/video/screen_video.h"
#include "swf/video/sorenson_h263.h"

namespace swf::video {

std::unique_ptr<VideoDecoder> MakeVideoDecoder(VideoCodecId codec) {
    switch (codec) {
    case VideoCodecId::SorensonH263: return MakeSorensonH263Decoder();
    case VideoCodecId::ScreenVideo: return MakeScreenVideoDecoder();
    case VideoCodecId::ScreenVideo2: return MakeScreenVideo2Decoder();
    default: return nullptr;
    }
}

const char* VideoCodecName(VideoCodecId codec) {
    switch (codec) {
    case VideoCodecId::SorensonH263: return "Sorenson H.263";
    case VideoCodecId::ScreenVideo: return "Screen Video";
    case VideoCodecId::Vp6: return "VP6";
    case VideoCodecId::Vp6Alpha: return "VP6 with alpha";
    case VideoCodecId::ScreenVideo2: return "Screen Video 2";
    }
    return "an unknown codec";
}

}  // namespace swf::video

// A screen recording played through a NetStream over the whole stage, for
// measuring what video playback costs: the stream's frame rate is traced
// once a second, and the movie closes itself once the recording has ended.

#include "tools/moviegen/movies.h"

#include "tools/moviegen/script_pieces.h"

#include "swf/writer/action_assembler.h"
#include "swf/writer/movie.h"
#include "swf/writer/video.h"

namespace moviegen {

using namespace swf::writer;

namespace {

constexpr std::int32_t kTwips = 20;
constexpr std::uint16_t kVideo = 1;
// Seconds traced after the end, so that the last second's rate is in the log.
constexpr int kSecondsAfterEnd = 2;
// The movie closes by then even if the stream never says it ended.
constexpr int kMostSeconds = 90;

// function (info) {
//     trace("status " + info.code);
//     if (info.code == "NetStream.Play.Stop" && seconds + 2 < closeAt) closeAt = seconds + 2;
// }
ActionAssembler OnStatus() {
    ActionAssembler f;
    f.PushString("status ");
    Member(Get(f, "info"), "code").Action(ActionCode::Add2).Action(ActionCode::Trace);
    Member(Get(f, "info"), "code").PushString("NetStream.Play.Stop").Action(ActionCode::Equals2);
    f.Action(ActionCode::Not).If("end");
    Get(f, "seconds").PushNumber(kSecondsAfterEnd).Action(ActionCode::Add2);
    Get(f, "closeAt").Action(ActionCode::Less2).Action(ActionCode::Not).If("end");
    f.PushString("closeAt");
    Get(f, "seconds").PushNumber(kSecondsAfterEnd).Action(ActionCode::Add2).Action(ActionCode::SetVariable);
    f.Label("end");
    return f;
}

// function () {
//     seconds++;
//     trace("second " + seconds + " fps " + ns.currentFps + " time " + ns.time);
//     if (!(seconds < closeAt)) flash.external.ExternalInterface.call("close");
// }
ActionAssembler EverySecond() {
    ActionAssembler f;
    f.PushString("seconds");
    Get(f, "seconds").Action(ActionCode::Increment).Action(ActionCode::SetVariable);
    f.PushString("second ");
    Get(f, "seconds").Action(ActionCode::Add2).PushString(" fps ").Action(ActionCode::Add2);
    Member(Get(f, "ns"), "currentFps").Action(ActionCode::Add2).PushString(" time ").Action(ActionCode::Add2);
    Member(Get(f, "ns"), "time").Action(ActionCode::Add2).Action(ActionCode::Trace);
    Get(f, "seconds");
    Get(f, "closeAt").Action(ActionCode::Less2).If("end");
    f.ExternalInterfaceCall("close");
    f.Label("end");
    return f;
}

// nc = new NetConnection(); nc.connect(null); ns = new NetStream(nc);
// screen.attachVideo(ns); ns.onStatus = ...; ns.play(file); seconds = 0; closeAt = 90;
// setInterval(<EverySecond>, 1000); stop();
ActionAssembler PlayScript() {
    ActionAssembler a;
    a.PushString("nc").PushNumber(0).PushString("NetConnection").Action(ActionCode::NewObject);
    a.Action(ActionCode::SetVariable);
    a.PushNull();
    CallMethod(a, "nc", "connect", 1).Action(ActionCode::Pop);
    a.PushString("ns");
    Get(a, "nc").PushNumber(1).PushString("NetStream").Action(ActionCode::NewObject).Action(ActionCode::SetVariable);
    Get(a, "ns");
    CallMethod(a, "screen", "attachVideo", 1).Action(ActionCode::Pop);
    Get(a, "ns").PushString("onStatus").DefineFunction("", {"info"}, OnStatus()).Action(ActionCode::SetMember);
    a.PushString(kRecordingFile);
    CallMethod(a, "ns", "play", 1).Action(ActionCode::Pop);
    a.PushString("seconds").PushNumber(0).Action(ActionCode::SetVariable);
    a.PushString("closeAt").PushNumber(kMostSeconds).Action(ActionCode::SetVariable);
    a.PushNumber(1000).DefineFunction("", {}, EverySecond());
    CallFunction(a, "setInterval", 2).Action(ActionCode::Pop);
    a.Action(ActionCode::Stop);
    return a;
}

}  // namespace

std::vector<std::uint8_t> BuildRecordingMovie() {
    TagStream tags;
    tags.FileAttributes(0);
    tags.SetBackgroundColor(Rgb{0, 0, 0});
    tags.Add(TagCode::DefineVideoStream,
             DefineVideoStreamBody(
                 kVideo, VideoStream{0, kRecordingWidth, kRecordingHeight, 0, false, VideoCodec::ScreenVideo2}));
    PlaceObject screen;
    screen.characterId = kVideo;
    screen.name = "screen";
    tags.PlaceObject2(screen);
    tags.DoAction(PlayScript().Finish());
    tags.ShowFrame();
    tags.End();

    MovieHeader header;
    header.version = 8;
    header.frameSize = Rect{0, kRecordingWidth * kTwips, 0, kRecordingHeight * kTwips};
    header.frameRate = kRecordingMovieRate;
    header.compressed = true;
    return BuildMovie(header, tags);
}

}  // namespace moviegen

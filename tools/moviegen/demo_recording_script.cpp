// The recording page's ActionScript 2: an FLV screen recording played through
// a NetStream into the Video object of the recording clip, with a play / pause
// button and a time read-out. Each function's comment gives its source.

#include <string>

#include "tools/moviegen/demo_scripts.h"
#include "tools/moviegen/script_pieces.h"

namespace moviegen::demo {

using swf::writer::ActionAssembler;
using swf::writer::ActionCode;

namespace {

const std::string kClockPath = std::string(kRecording) + "." + kRecordingClock;
const std::string kScreenPath = std::string(kRecording) + "." + kRecordingScreen;
const std::string kPlayButtonPath = std::string(kRecording) + "." + kPlayButton;

// function clockText(seconds) {
//     var s = Math.floor(seconds);
//     if (!(s > 0)) s = 0;
//     var m = Math.floor(s / 60);
//     s = s % 60;
//     return m + ":" + (s < 10 ? "0" : "") + s;
// }
// Written so that an unknown time (undefined, NaN) reads 0:00.
ActionAssembler ClockText() {
    ActionAssembler f;
    f.PushString("s");
    Get(f, "seconds");
    CallMethod(f, "Math", "floor", 1).Action(ActionCode::DefineLocal);
    Get(f, "s").PushNumber(0).Action(ActionCode::Greater).If("counted");
    f.PushString("s").PushNumber(0).Action(ActionCode::SetVariable);
    f.Label("counted").PushString("m");
    Get(f, "s").PushNumber(60).Action(ActionCode::Divide);
    CallMethod(f, "Math", "floor", 1).Action(ActionCode::DefineLocal);
    f.PushString("s");
    Get(f, "s").PushNumber(60).Action(ActionCode::Modulo).Action(ActionCode::SetVariable);
    Get(f, "m").PushString(":").Action(ActionCode::Add2);
    Get(f, "s").PushNumber(10).Action(ActionCode::Less2).If("padded");
    f.PushString("").Jump("join");
    f.Label("padded").PushString("0");
    f.Label("join").Action(ActionCode::Add2);
    Get(f, "s").Action(ActionCode::Add2).Action(ActionCode::Return);
    return f;
}

// function showPlayTime() {
//     if (stream != undefined)
//         recording.clock.text = clockText(ended ? duration : stream.time) + " / " + clockText(duration);
// }
// The last frame's time is a frame short of the whole: at the end the whole shows.
ActionAssembler ShowPlayTime() {
    ActionAssembler f;
    Get(f, "stream").PushUndefined().Action(ActionCode::Equals2).If("end");
    Get(f, kClockPath).PushString("text");
    Get(f, "ended").If("whole");
    Member(Get(f, "stream"), "time").Jump("shown");
    f.Label("whole");
    Get(f, "duration");
    f.Label("shown");
    CallFunction(f, "clockText", 1).PushString(" / ").Action(ActionCode::Add2);
    Get(f, "duration");
    CallFunction(f, "clockText", 1).Action(ActionCode::Add2).Action(ActionCode::SetMember);
    f.Label("end");
    return f;
}

// function showPlaying(on) { playing = on; recording.playButton.label = on ? "Pause" : "Play"; }
ActionAssembler ShowPlaying() {
    ActionAssembler f;
    f.PushString("playing");
    Get(f, "on").Action(ActionCode::SetVariable);
    Get(f, kPlayButtonPath).PushString(kButtonLabelVariable);
    Get(f, "on").If("on");
    f.PushString("Play").Jump("set");
    f.Label("on").PushString("Pause");
    f.Label("set").Action(ActionCode::SetMember);
    return f;
}

// function startRecording(file) {
//     recordingFile = pageFolder + file;
//     duration = 0;
//     ended = false;
//     stream = new NetStream(connection);
//     stream.onStatus = recordingStatus;
//     stream.onMetaData = recordingMetaData;
//     recording.screen.attachVideo(stream);
//     recording._visible = true;
//     showPlaying(true);
//     stream.play(recordingFile);
// }
ActionAssembler StartRecording(const char* pageFolder) {
    ActionAssembler f;
    f.PushString("recordingFile").PushString(pageFolder);
    Get(f, "file").Action(ActionCode::Add2).Action(ActionCode::SetVariable);
    f.PushString("duration").PushNumber(0).Action(ActionCode::SetVariable);
    f.PushString("ended").PushBool(false).Action(ActionCode::SetVariable);
    f.PushString("stream");
    Get(f, "connection").PushNumber(1).PushString("NetStream").Action(ActionCode::NewObject);
    f.Action(ActionCode::SetVariable);
    Get(f, "stream").PushString("onStatus");
    Get(f, "recordingStatus").Action(ActionCode::SetMember);
    Get(f, "stream").PushString("onMetaData");
    Get(f, "recordingMetaData").Action(ActionCode::SetMember);
    Get(f, "stream");
    CallMethod(f, kScreenPath, "attachVideo", 1).Action(ActionCode::Pop);
    Get(f, kRecording).PushString("_visible").PushBool(true).Action(ActionCode::SetMember);
    f.PushBool(true);
    CallFunction(f, "showPlaying", 1).Action(ActionCode::Pop);
    Get(f, "recordingFile");
    CallMethod(f, "stream", "play", 1).Action(ActionCode::Pop);
    return f;
}

// function stopRecording() {
//     recording._visible = false;
//     if (stream != undefined) { stream.close(); recording.screen.clear(); stream = undefined; }
// }
ActionAssembler StopRecording() {
    ActionAssembler f;
    Get(f, kRecording).PushString("_visible").PushBool(false).Action(ActionCode::SetMember);
    Get(f, "stream").PushUndefined().Action(ActionCode::Equals2).If("end");
    CallMethod(f, "stream", "close", 0).Action(ActionCode::Pop);
    CallMethod(f, kScreenPath, "clear", 0).Action(ActionCode::Pop);
    f.PushString("stream").PushUndefined().Action(ActionCode::SetVariable);
    f.Label("end");
    return f;
}

// function recordingStatus(info) {
//     if (info.code == "NetStream.Play.Stop") { ended = true; showPlaying(false); }
//     else if (info.code == "NetStream.Play.StreamNotFound") {
//         stopRecording(); recording._visible = true; recording.clock.text = "The recording is missing";
//     }
// }
// At its end the recording stops; Play then starts it again.
ActionAssembler RecordingStatus() {
    ActionAssembler f;
    Member(Get(f, "info"), "code").PushString("NetStream.Play.Stop").Action(ActionCode::Equals2).If("stopped");
    Member(Get(f, "info"), "code").PushString("NetStream.Play.StreamNotFound").Action(ActionCode::Equals2);
    f.Action(ActionCode::Not).If("end");
    CallFunction(f, "stopRecording", 0).Action(ActionCode::Pop);
    Get(f, kRecording).PushString("_visible").PushBool(true).Action(ActionCode::SetMember);
    Get(f, kClockPath).PushString("text").PushString("The recording is missing").Action(ActionCode::SetMember);
    f.Jump("end");
    f.Label("stopped").PushString("ended").PushBool(true).Action(ActionCode::SetVariable);
    f.PushBool(false);
    CallFunction(f, "showPlaying", 1).Action(ActionCode::Pop);
    f.Label("end");
    return f;
}

// function recordingMetaData(info) { duration = info.duration; }
ActionAssembler RecordingMetaData() {
    ActionAssembler f;
    f.PushString("duration");
    Member(Get(f, "info"), "duration").Action(ActionCode::SetVariable);
    return f;
}

// function togglePlayback() {
//     if (stream == undefined) return;
//     if (ended) { ended = false; stream.play(recordingFile); showPlaying(true); return; }
//     stream.pause(playing);
//     showPlaying(!playing);
// }
ActionAssembler TogglePlayback() {
    ActionAssembler f;
    Get(f, "stream").PushUndefined().Action(ActionCode::Equals2).If("end");
    Get(f, "ended").Action(ActionCode::Not).If("pause");
    f.PushString("ended").PushBool(false).Action(ActionCode::SetVariable);
    Get(f, "recordingFile");
    CallMethod(f, "stream", "play", 1).Action(ActionCode::Pop);
    f.PushBool(true);
    CallFunction(f, "showPlaying", 1).Action(ActionCode::Pop);
    f.Jump("end");
    f.Label("pause");
    Get(f, "playing");
    CallMethod(f, "stream", "pause", 1).Action(ActionCode::Pop);
    Get(f, "playing").Action(ActionCode::Not);
    CallFunction(f, "showPlaying", 1).Action(ActionCode::Pop);
    f.Label("end");
    return f;
}

}  // namespace

// function clockText ... togglePlayback as above;
// connection = new NetConnection(); connection.connect(null);
// recording.attachMovie("GuideButton", "playButton", 1, {...}); recording.togglePlayback = togglePlayback;
// recording._visible = false;
void RecordingScript(ActionAssembler& a, const char* pageFolder) {
    a.DefineFunction("clockText", {"seconds"}, ClockText());
    a.DefineFunction("showPlayTime", {}, ShowPlayTime());
    a.DefineFunction("showPlaying", {"on"}, ShowPlaying());
    a.DefineFunction("startRecording", {"file"}, StartRecording(pageFolder));
    a.DefineFunction("stopRecording", {}, StopRecording());
    a.DefineFunction("recordingStatus", {"info"}, RecordingStatus());
    a.DefineFunction("recordingMetaData", {"info"}, RecordingMetaData());
    a.DefineFunction("togglePlayback", {}, TogglePlayback());

    a.PushString("connection").PushNumber(0).PushString("NetConnection").Action(ActionCode::NewObject);
    a.Action(ActionCode::SetVariable);
    a.PushNull();
    CallMethod(a, "connection", "connect", 1).Action(ActionCode::Pop);

    // The button calls its parent's function: the recording clip's.
    AttachButton(a, kRecording, kPlayButton, 1, kPlayButtonX, kPlayButtonY, "Pause", "togglePlayback");
    Get(a, kRecording).PushString("togglePlayback");
    Get(a, "togglePlayback").Action(ActionCode::SetMember);
    Get(a, kRecording).PushString("_visible").PushBool(false).Action(ActionCode::SetMember);
}

}  // namespace moviegen::demo

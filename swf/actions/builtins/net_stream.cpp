// NetConnection, NetStream and Video: a movie plays FLV files from its
// folder through a NetStream (a local connection, connect(null), is the
// only kind), shown by Video objects it is attached to; a clip the stream's
// sound is attached to sets its volume through Sound. The streams themselves
// are the player's, behind NetStreamHost.

#include <algorithm>
#include <cmath>
#include <optional>

#include "swf/actions/builtins/builtins.h"
#include "swf/actions/conversions.h"
#include "swf/actions/net_stream_host.h"

namespace swf::actions {

namespace {

// The stream handle behind a NetStream object; 0 for anything else.
std::uint32_t StreamOf(const Value& value) {
    Object* o = value.AsObject();
    const Value* handle = o != nullptr ? o->FindInternal("netStream") : nullptr;
    return handle != nullptr && handle->IsNumber() ? static_cast<std::uint32_t>(handle->AsNumber()) : 0;
}

NetStreamHost* Host(CallContext& c) { return c.interpreter.vm().netStreamHost(); }

Value ConnectionConstructor(CallContext& c) { return c.self.IsObject() ? c.self : Value(); }

// connect(null) makes the local connection files play through; media
// servers are not reached.
Value ConnectionConnect(CallContext& c) {
    Object* self = c.self.AsObject();
    if (self == nullptr) return Value::Bool(false);
    const bool local = c.Arg(0).IsNull() || c.Arg(0).IsUndefined();
    if (!local) c.interpreter.vm().NoteUnsupported("connections to media servers are not available in this player");
    self->Set("isConnected", Value::Bool(local));
    if (local) self->SetInternal("localConnection", Value::Bool(true));
    return Value::Bool(local);
}

Value ConnectionClose(CallContext& c) {
    if (Object* self = c.self.AsObject()) self->Set("isConnected", Value::Bool(false));
    return Value();
}

// Also as the super() of a class that extends NetStream.
Value StreamConstructor(CallContext& c) {
    Object* o = c.self.AsObject();
    if (o == nullptr || o->FindInternal("netStream") != nullptr) return c.self;
    NetStreamHost* host = Host(c);
    const std::uint32_t stream = host != nullptr ? host->CreateStream() : 0;
    o->SetInternal("netStream", Value::Number(stream));
    return c.self;
}

Value StreamPlay(CallContext& c) {
    const std::uint32_t stream = StreamOf(c.self);
    NetStreamHost* host = Host(c);
    if (stream == 0 || host == nullptr || c.args.empty()) return Value();
    c.interpreter.vm().StreamOpened(stream, c.self.AsObject());
    host->Play(stream, c.interpreter.Text(c.args[0]));
    return Value();
}

// pause(): toggles; pause(flag): true pauses, false resumes.
Value StreamPause(CallContext& c) {
    const std::uint32_t stream = StreamOf(c.self);
    NetStreamHost* host = Host(c);
    if (stream == 0 || host == nullptr) return Value();
    std::optional<bool> pause;
    if (!c.args.empty() && !c.args[0].IsUndefined()) pause = ToBoolean(c.args[0], c.interpreter.vm().swfVersion());
    host->Pause(stream, pause);
    return Value();
}

Value StreamTogglePause(CallContext& c) {
    const std::uint32_t stream = StreamOf(c.self);
    if (NetStreamHost* host = Host(c); stream != 0 && host != nullptr) host->Pause(stream, std::nullopt);
    return Value();
}

Value StreamResume(CallContext& c) {
    const std::uint32_t stream = StreamOf(c.self);
    if (NetStreamHost* host = Host(c); stream != 0 && host != nullptr) host->Pause(stream, false);
    return Value();
}

Value StreamSeek(CallContext& c) {
    const std::uint32_t stream = StreamOf(c.self);
    NetStreamHost* host = Host(c);
    if (stream == 0 || host == nullptr) return Value();
    host->Seek(stream, ArgNumber(c, 0));
    return Value();
}

Value StreamClose(CallContext& c) {
    const std::uint32_t stream = StreamOf(c.self);
    NetStreamHost* host = Host(c);
    if (stream == 0 || host == nullptr) return Value();
    host->Close(stream);
    c.interpreter.vm().StreamClosed(stream);
    return Value();
}

Value StreamSetBufferTime(CallContext& c) {
    const std::uint32_t stream = StreamOf(c.self);
    NetStreamHost* host = Host(c);
    if (stream == 0 || host == nullptr) return Value();
    const double seconds = ArgNumber(c, 0);
    if (std::isfinite(seconds)) host->SetBufferTime(stream, seconds);
    return Value();
}

StreamFigures FiguresOf(CallContext& c) {
    const std::uint32_t stream = StreamOf(c.self);
    NetStreamHost* host = Host(c);
    return stream != 0 && host != nullptr ? host->Figures(stream) : StreamFigures{};
}

Value StreamTime(CallContext& c) { return Value::Number(FiguresOf(c).time); }
Value StreamBufferLength(CallContext& c) { return Value::Number(FiguresOf(c).bufferLength); }
Value StreamBufferTime(CallContext& c) { return Value::Number(FiguresOf(c).bufferTime); }
Value StreamCurrentFps(CallContext& c) { return Value::Number(FiguresOf(c).currentFps); }
Value StreamBytesLoaded(CallContext& c) { return Value::Number(FiguresOf(c).bytesLoaded); }
Value StreamBytesTotal(CallContext& c) { return Value::Number(FiguresOf(c).bytesTotal); }

VideoTarget* VideoOf(const Value& self) {
    Object* o = self.AsObject();
    return o != nullptr && o->kind == ObjectKind::Clip && o->display != nullptr ? o->display->AsVideo() : nullptr;
}

// attachVideo(netStream) shows the stream; attachVideo(null) shows nothing.
Value VideoAttach(CallContext& c) {
    VideoTarget* video = VideoOf(c.self);
    if (video == nullptr) return Value();
    const std::uint32_t stream = StreamOf(c.Arg(0));
    if (stream == 0 && !c.Arg(0).IsNull() && !c.Arg(0).IsUndefined())
        c.interpreter.vm().NoteUnsupported("Video.attachVideo shows only NetStreams in this player (no cameras)");
    video->AttachStream(stream);
    return Value();
}

Value VideoClear(CallContext& c) {
    if (VideoTarget* video = VideoOf(c.self)) video->ClearPicture();
    return Value();
}

Value VideoWidth(CallContext& c) {
    VideoTarget* video = VideoOf(c.self);
    return Value::Number(video != nullptr ? video->PictureWidth() : 0);
}

Value VideoHeight(CallContext& c) {
    VideoTarget* video = VideoOf(c.self);
    return Value::Number(video != nullptr ? video->PictureHeight() : 0);
}

Value VideoGetSmoothing(CallContext& c) {
    VideoTarget* video = VideoOf(c.self);
    return video != nullptr ? Value::Bool(video->GetSmoothing()) : Value();
}

Value VideoSetSmoothing(CallContext& c) {
    if (VideoTarget* video = VideoOf(c.self)) video->SetSmoothing(ToBoolean(c.Arg(0), c.interpreter.vm().swfVersion()));
    return Value();
}

Value VideoGetDeblocking(CallContext& c) {
    VideoTarget* video = VideoOf(c.self);
    return video != nullptr ? Value::Number(video->GetDeblocking()) : Value();
}

Value VideoSetDeblocking(CallContext& c) {
    VideoTarget* video = VideoOf(c.self);
    const double deblocking = ArgNumber(c, 0);
    if (video != nullptr && std::isfinite(deblocking))
        video->SetDeblocking(static_cast<int>(std::clamp(deblocking, 0.0, 255.0)));
    return Value();
}

// Video objects come from the movie's library only.
Value VideoConstructor(CallContext&) { return Value(); }

// clip.attachAudio(netStream): the stream's sound is the clip's, so a Sound
// made for the clip sets its volume; attachAudio(false) gives it back.
Value ClipAttachAudio(CallContext& c) {
    Object* clip = c.self.AsObject();
    NetStreamHost* host = Host(c);
    if (clip == nullptr || clip->target == nullptr || host == nullptr) return Value();
    const std::uint32_t stream = StreamOf(c.Arg(0));
    const Value* before = clip->FindInternal("attachedAudio");
    const auto previous = before != nullptr && before->IsNumber() ? static_cast<std::uint32_t>(before->AsNumber()) : 0;
    if (previous != 0 && previous != stream) host->AttachAudio(previous, nullptr);
    if (stream == 0) {
        const bool detaching = c.Arg(0).IsNull() || c.Arg(0).IsUndefined() || (c.Arg(0).IsBool() && !c.Arg(0).AsBool());
        if (!detaching)
            c.interpreter.vm().NoteUnsupported(
                "MovieClip.attachAudio takes only NetStreams in this player (no microphones)");
        clip->SetInternal("attachedAudio", Value::Number(0));
        return Value();
    }
    host->AttachAudio(stream, clip->target);
    clip->SetInternal("attachedAudio", Value::Number(stream));
    return Value();
}

}  // namespace

void InstallNetStreamBuiltins(Installer& in) {
    Vm& vm = in.vm();
    Object* connection = in.NewObject(vm.objectProto());
    in.Method(connection, "connect", ConnectionConnect);
    in.Method(connection, "close", ConnectionClose);
    in.Class("NetConnection", ConnectionConstructor, connection);

    Object* stream = in.NewObject(vm.objectProto());
    in.Method(stream, "play", StreamPlay);
    in.Method(stream, "pause", StreamPause);
    in.Method(stream, "togglePause", StreamTogglePause);
    in.Method(stream, "resume", StreamResume);
    in.Method(stream, "seek", StreamSeek);
    in.Method(stream, "close", StreamClose);
    in.Method(stream, "setBufferTime", StreamSetBufferTime);
    Accessor(in, stream, "time", StreamTime, nullptr);
    Accessor(in, stream, "bufferLength", StreamBufferLength, nullptr);
    Accessor(in, stream, "bufferTime", StreamBufferTime, nullptr);
    Accessor(in, stream, "currentFps", StreamCurrentFps, nullptr);
    Accessor(in, stream, "bytesLoaded", StreamBytesLoaded, nullptr);
    Accessor(in, stream, "bytesTotal", StreamBytesTotal, nullptr);
    in.Class("NetStream", StreamConstructor, stream);

    Object* video = in.NewObject(vm.objectProto());
    in.Method(video, "attachVideo", VideoAttach);
    in.Method(video, "clear", VideoClear);
    Accessor(in, video, "width", VideoWidth, nullptr);
    Accessor(in, video, "height", VideoHeight, nullptr);
    Accessor(in, video, "smoothing", VideoGetSmoothing, VideoSetSmoothing);
    Accessor(in, video, "deblocking", VideoGetDeblocking, VideoSetDeblocking);
    in.Class("Video", VideoConstructor, video);
    vm.SetVideoPrototype(video);

    in.Method(vm.clipProto(), "attachAudio", ClipAttachAudio);
}

}  // namespace swf::actions

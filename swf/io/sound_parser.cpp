#include "swf/io/sound_parser.h"

#include <string>

#include "swf/io/parse_error.h"
#include "swf/model/button.h"

namespace swf {

namespace {

SoundBytes Copy(std::span<const std::uint8_t> bytes) {
    return std::make_shared<const std::vector<std::uint8_t>>(bytes.begin(), bytes.end());
}

}  // namespace

std::shared_ptr<SoundDefinition> ParseDefineSound(std::span<const std::uint8_t> body) {
    BitReader in(body);
    auto sound = std::make_shared<SoundDefinition>();
    sound->id = in.ReadU16();
    sound->format = sound::ReadSoundFormat(in.ReadU8());
    sound->sampleCount = in.ReadU32();
    if (sound->format.codec == sound::SoundCodec::Mp3) sound->seekSamples = in.ReadS16();
    sound->data = Copy(in.Rest());
    return sound;
}

SoundInfo ReadSoundInfo(BitReader& in) {
    SoundInfo info;
    in.ReadUB(2);  // reserved
    info.stop = in.ReadFlag();
    info.noMultiple = in.ReadFlag();
    const bool hasEnvelope = in.ReadFlag();
    const bool hasLoops = in.ReadFlag();
    const bool hasOutPoint = in.ReadFlag();
    const bool hasInPoint = in.ReadFlag();
    if (hasInPoint) info.play.inPoint44 = in.ReadU32();
    if (hasOutPoint) info.play.outPoint44 = in.ReadU32();
    // A count of 0 plays once, as 1 does.
    if (hasLoops) info.play.loops = std::max<int>(1, in.ReadU16());
    if (hasEnvelope) {
        // At most 255 points; a count the tag cannot hold ends in a parse error.
        const std::size_t points = in.ReadU8();
        for (std::size_t i = 0; i < points; ++i) {
            sound::EnvelopePoint point;
            point.position44 = in.ReadU32();
            point.left = in.ReadU16();
            point.right = in.ReadU16();
            info.play.envelope.push_back(point);
        }
    }
    return info;
}

StartSoundCommand ParseStartSound(std::span<const std::uint8_t> body, bool byClassName) {
    BitReader in(body);
    StartSoundCommand command;
    if (byClassName)
        command.className = in.ReadString();
    else
        command.soundId = in.ReadU16();
    command.info = ReadSoundInfo(in);
    return command;
}

StreamSoundHead ParseSoundStreamHead(std::span<const std::uint8_t> body) {
    BitReader in(body);
    StreamSoundHead head;
    // The playback byte's high nibble is reserved: only rate, size and channels count.
    head.playback = sound::ReadSoundFormat(in.ReadU8() & 0x0F);
    head.stream = sound::ReadSoundFormat(in.ReadU8());
    head.samplesPerBlock = in.ReadU16();
    if (head.stream.codec == sound::SoundCodec::Mp3 && in.Remaining() >= 2) head.latencySeek = in.ReadS16();
    return head;
}

StreamSoundBlock ParseSoundStreamBlock(std::span<const std::uint8_t> body, const StreamSoundHead* head) {
    BitReader in(body);
    StreamSoundBlock block;
    if (head && head->stream.codec == sound::SoundCodec::Mp3) {
        block.sampleCount = in.ReadU16();
        block.seekSamples = in.ReadS16();
    }
    block.data = Copy(in.Rest());
    return block;
}

std::shared_ptr<const Character> ApplyDefineButtonSound(std::span<const std::uint8_t> body,
                                                        const Dictionary& dictionary) {
    BitReader in(body);
    const std::uint16_t id = in.ReadU16();
    const ButtonDefinition* button = FindCharacter<ButtonDefinition>(dictionary, id);
    if (!button) throw ParseError("DefineButtonSound for " + std::to_string(id) + ", which is not a button");
    auto amended = std::make_shared<ButtonDefinition>(*button);
    for (ButtonSound& sound : amended->sounds) {
        sound = ButtonSound{};
        sound.soundId = in.ReadU16();
        if (sound.soundId != 0) sound.info = ReadSoundInfo(in);
    }
    return amended;
}

}  // namespace swf

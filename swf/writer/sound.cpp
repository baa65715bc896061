#include "swf/writer/sound.h"

#include "swf/writer/bit_writer.h"

namespace swf::writer {

std::vector<std::uint8_t> DefineSoundBody(std::uint16_t id, std::uint8_t formatByte, std::uint32_t sampleCount,
                                          std::span<const std::uint8_t> data, std::int16_t mp3SeekSamples) {
    BitWriter w;
    w.U16(id);
    w.U8(formatByte);
    w.U32(sampleCount);
    if ((formatByte >> 4) == 2) w.S16(mp3SeekSamples);
    w.Bytes(data);
    return w.bytes();
}

std::vector<std::uint8_t> SoundInfoBytes(const SoundInfo& info) {
    BitWriter w;
    w.UB(2, 0);
    w.UB(1, info.stop);
    w.UB(1, info.noMultiple);
    w.UB(1, !info.envelope.empty());
    w.UB(1, info.loops.has_value());
    w.UB(1, info.outPoint44.has_value());
    w.UB(1, info.inPoint44.has_value());
    if (info.inPoint44) w.U32(*info.inPoint44);
    if (info.outPoint44) w.U32(*info.outPoint44);
    if (info.loops) w.U16(*info.loops);
    if (!info.envelope.empty()) {
        w.U8(static_cast<std::uint8_t>(info.envelope.size()));
        for (const SoundEnvelopePoint& point : info.envelope) {
            w.U32(point.position44);
            w.U16(point.left);
            w.U16(point.right);
        }
    }
    return w.bytes();
}

std::vector<std::uint8_t> StartSoundBody(std::uint16_t soundId, const SoundInfo& info) {
    BitWriter w;
    w.U16(soundId);
    w.Bytes(SoundInfoBytes(info));
    return w.bytes();
}

std::vector<std::uint8_t> StartSound2Body(const std::string& className, const SoundInfo& info) {
    BitWriter w;
    w.String(className);
    w.Bytes(SoundInfoBytes(info));
    return w.bytes();
}

std::vector<std::uint8_t> DefineButtonSoundBody(std::uint16_t buttonId,
                                                const std::array<std::pair<std::uint16_t, SoundInfo>, 4>& sounds) {
    BitWriter w;
    w.U16(buttonId);
    for (const auto& [id, info] : sounds) {
        w.U16(id);
        if (id != 0) w.Bytes(SoundInfoBytes(info));
    }
    return w.bytes();
}

std::vector<std::uint8_t> SoundStreamHeadBody(std::uint8_t playbackFormat, std::uint8_t streamFormat,
                                              std::uint16_t samplesPerBlock, std::int16_t mp3LatencySeek) {
    BitWriter w;
    w.U8(playbackFormat & 0x0F);
    w.U8(streamFormat);
    w.U16(samplesPerBlock);
    if ((streamFormat >> 4) == 2) w.S16(mp3LatencySeek);
    return w.bytes();
}

}  // namespace swf::writer

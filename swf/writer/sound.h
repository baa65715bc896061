#pragma once
// Sound tag bodies: DefineSound, StartSound, StartSound2 and
// DefineButtonSound with their SoundInfo records, and stream heads.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace swf::writer {

struct SoundEnvelopePoint {
    std::uint32_t position44 = 0;
    std::uint16_t left = 32768, right = 32768;
};

struct SoundInfo {
    bool stop = false;
    bool noMultiple = false;
    std::optional<std::uint32_t> inPoint44, outPoint44;
    std::optional<std::uint16_t> loops;
    std::vector<SoundEnvelopePoint> envelope;  // none written when empty
};

// formatByte: codec << 4 | rate << 2 | 16-bit << 1 | stereo. MP3 sounds get
// their seek samples before `data`.
std::vector<std::uint8_t> DefineSoundBody(std::uint16_t id, std::uint8_t formatByte, std::uint32_t sampleCount,
                                          std::span<const std::uint8_t> data, std::int16_t mp3SeekSamples = 0);
std::vector<std::uint8_t> SoundInfoBytes(const SoundInfo& info);
std::vector<std::uint8_t> StartSoundBody(std::uint16_t soundId, const SoundInfo& info);
std::vector<std::uint8_t> StartSound2Body(const std::string& className, const SoundInfo& info);
// Sounds for a button's transitions in the tag's order (over-up to idle,
// idle to over-up, over-up to over-down, over-down to over-up); id 0 is none.
std::vector<std::uint8_t> DefineButtonSoundBody(std::uint16_t buttonId,
                                                const std::array<std::pair<std::uint16_t, SoundInfo>, 4>& sounds);
// SoundStreamHead2: the playback and stream format bytes (the playback
// byte's codec nibble is written as 0).
std::vector<std::uint8_t> SoundStreamHeadBody(std::uint8_t playbackFormat, std::uint8_t streamFormat,
                                              std::uint16_t samplesPerBlock, std::int16_t mp3LatencySeek = 0);

}  // namespace swf::writer

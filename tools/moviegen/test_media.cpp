// Sound data for the decoder tests, wrapped in FLV files so that a
// third-party decoder (ffmpeg) can give the expected samples.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <vector>

#include "swf/writer/movie.h"
#include "swf/writer/sound.h"
#include "tools/moviegen/movies.h"

namespace moviegen {

namespace {

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

std::vector<std::uint8_t> BuildAdpcmCodesFlv(int codeBits, bool stereo) {
    // Every bit pattern is valid ADPCM: two packets of deterministic noise,
    // the second five frames short, at 22 kHz.
    const std::size_t channels = stereo ? 2 : 1;
    const std::size_t bits = 2 + 2 * channels * (22 + 4095 * static_cast<std::size_t>(codeBits)) -
                             5 * channels * static_cast<std::size_t>(codeBits);
    std::vector<std::uint8_t> sound((bits + 7) / 8);
    std::uint32_t state = 0x9E3779B9u ^ static_cast<std::uint32_t>(codeBits * 2 + (stereo ? 1 : 0));
    for (std::uint8_t& byte : sound) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    sound[0] = static_cast<std::uint8_t>((sound[0] & 0x3F) | ((codeBits - 2) << 6));
    // The format byte: ADPCM (1), 22 kHz (2), 16-bit, mono or stereo.
    const std::uint8_t format = static_cast<std::uint8_t>(1 << 4 | 2 << 2 | 1 << 1 | (stereo ? 1 : 0));
    const std::uint32_t dataSize = static_cast<std::uint32_t>(sound.size() + 1);

    std::vector<std::uint8_t> flv = {'F', 'L', 'V', 1, 0x04};  // version 1, audio only
    Put(flv, 9, 4);                                            // header size
    Put(flv, 0, 4);                                            // no tag before the first
    flv.push_back(8);                                          // an audio tag
    Put(flv, dataSize, 3);
    Put(flv, 0, 4);  // time stamp and its extension
    Put(flv, 0, 3);  // stream id
    flv.push_back(format);
    flv.insert(flv.end(), sound.begin(), sound.end());
    Put(flv, 11 + dataSize, 4);
    return flv;
}

std::vector<std::uint8_t> BuildToneMovie() {
    namespace w = swf::writer;
    // Half a second of 440 Hz at half of full scale, 16-bit little-endian mono at 22 kHz.
    constexpr int kRate = 22050, kFrames = kRate / 2;
    std::vector<std::uint8_t> samples;
    for (int i = 0; i < kFrames; ++i) {
        const auto v = static_cast<std::int16_t>(std::lround(16384 * std::sin(2 * std::numbers::pi * 440 * i / kRate)));
        samples.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(v) & 0xFF));
        samples.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(v) >> 8));
    }
    w::TagStream stream;
    stream.SetBackgroundColor({255, 255, 255});
    // Format byte: uncompressed little-endian (3), 22 kHz (2), 16-bit, mono.
    stream.Add(w::TagCode::DefineSound, w::DefineSoundBody(1, 3 << 4 | 2 << 2 | 1 << 1, kFrames, samples));
    stream.Add(w::TagCode::StartSound, w::StartSoundBody(1, {}));
    for (int frame = 0; frame < 12; ++frame) stream.ShowFrame();
    w::MovieHeader header;
    header.frameSize = {0, 200 * 20, 0, 100 * 20};
    header.frameRate = 12;
    return w::BuildMovie(header, stream);
}

}  // namespace moviegen

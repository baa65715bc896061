#include "swf/sound/adpcm_decoder.h"

#include <algorithm>
#include <array>

namespace swf::sound {

namespace {

constexpr int kCodesPerPacket = 4095;

constexpr std::array<int, 89> kStepSizes = {
    7,    8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,   28,
    31,   34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,  118,
    130,  143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,  494,
    544,  598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878, 2066,
    2272, 2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845, 8630,
    9493, 10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

// How the step index moves for each code magnitude, by code size 2 to 5.
constexpr std::array<int, 2> kIndexMoves2 = {-1, 2};
constexpr std::array<int, 4> kIndexMoves3 = {-1, -1, 2, 4};
constexpr std::array<int, 8> kIndexMoves4 = {-1, -1, -1, -1, 2, 4, 6, 8};
constexpr std::array<int, 16> kIndexMoves5 = {-1, -1, -1, -1, -1, -1, -1, -1, 1, 2, 4, 6, 8, 10, 13, 16};

const int* IndexMoves(int codeBits) {
    switch (codeBits) {
    case 2: return kIndexMoves2.data();
    case 3: return kIndexMoves3.data();
    case 4: return kIndexMoves4.data();
    default: return kIndexMoves5.data();
    }
}

// Bits from the most significant down, as SWF's bit fields are stored.
class BitStream {
public:
    explicit BitStream(std::span<const std::uint8_t> data) : data_(data) {}

    std::size_t BitsLeft() const { return data_.size() * 8 - position_; }
    // The caller has checked BitsLeft().
    unsigned Read(int count) {
        unsigned value = 0;
        for (int i = 0; i < count; ++i, ++position_)
            value = (value << 1) | ((data_[position_ >> 3] >> (7 - (position_ & 7))) & 1u);
        return value;
    }

private:
    std::span<const std::uint8_t> data_;
    std::size_t position_ = 0;
};

struct ChannelState {
    int sample = 0;
    int index = 0;

    // One code: its top bit is the sign, the rest a magnitude in steps.
    std::int16_t Next(unsigned code, int codeBits, const int* moves) {
        const unsigned signBit = 1u << (codeBits - 1);
        const unsigned magnitude = code & (signBit - 1);
        int step = kStepSizes[static_cast<std::size_t>(index)];
        int difference = 0;
        for (unsigned bit = signBit >> 1; bit != 0; bit >>= 1) {
            if (magnitude & bit) difference += step;
            step >>= 1;
        }
        difference += step;
        sample = std::clamp((code & signBit) ? sample - difference : sample + difference, -32768, 32767);
        index = std::clamp(index + moves[magnitude], 0, static_cast<int>(kStepSizes.size()) - 1);
        return static_cast<std::int16_t>(sample);
    }
};

}  // namespace

AdpcmResult DecodeAdpcm(std::span<const std::uint8_t> data, bool stereo, std::size_t maxFrames) {
    AdpcmResult result;
    BitStream bits(data);
    const std::size_t channels = stereo ? 2 : 1;
    if (bits.BitsLeft() < 2) {
        result.cut = maxFrames > 0;
        return result;
    }
    const int codeBits = static_cast<int>(bits.Read(2)) + 2;
    const int* moves = IndexMoves(codeBits);
    // Never more than the data can hold, whatever the caller's count says.
    const std::size_t mostFrames = bits.BitsLeft() / (static_cast<std::size_t>(codeBits) * channels) + 1;
    result.samples.reserve(std::min(maxFrames, mostFrames) * channels);
    std::size_t frames = 0;
    std::array<ChannelState, 2> state;
    while (frames < maxFrames && bits.BitsLeft() >= 22 * channels) {
        for (std::size_t c = 0; c < channels; ++c) {
            state[c].sample = static_cast<std::int16_t>(bits.Read(16));
            state[c].index = static_cast<int>(bits.Read(6));
            result.samples.push_back(static_cast<std::int16_t>(state[c].sample));
        }
        ++frames;
        for (int code = 0; code < kCodesPerPacket && frames < maxFrames; ++code) {
            if (bits.BitsLeft() < static_cast<std::size_t>(codeBits) * channels) break;
            for (std::size_t c = 0; c < channels; ++c)
                result.samples.push_back(state[c].Next(bits.Read(codeBits), codeBits, moves));
            ++frames;
        }
    }
    result.cut = frames < maxFrames;
    return result;
}

}  // namespace swf::sound

#pragma once
// The variable-length codes of H.263's macroblock and block layers, as lookup
// tables indexed by the next bits of the stream: each entry says what the
// code beginning there means and how long it is (0: no such code).

#include <array>
#include <cstdint>

namespace swf::video::h263 {

struct VlcEntry {
    std::int8_t value = 0;
    std::uint8_t length = 0;
};

// Macroblock type and chroma pattern: value = type * 4 + CBPC (Cb the high
// bit), kMcbpcStuffing for the stuffing code.
enum MacroblockType : int { kInter = 0, kInterQ = 1, kInter4v = 2, kIntra = 3, kIntraQ = 4 };
inline constexpr int kMcbpcStuffing = -1;
inline constexpr int kMcbpcBits = 9;
extern const std::array<VlcEntry, 1 << kMcbpcBits> kIntraMcbpc;
extern const std::array<VlcEntry, 1 << kMcbpcBits> kInterMcbpc;

// The luminance pattern as intra macroblocks send it (Y1 the high bit);
// inter macroblocks send its complement.
inline constexpr int kCbpyBits = 6;
extern const std::array<VlcEntry, 1 << kCbpyBits> kCbpy;

// Motion vector differences in half pixels, -32 to 31.
inline constexpr int kMvdBits = 13;
extern const std::array<VlcEntry, 1 << kMvdBits> kMvd;

// Transform coefficient events without their sign bit, which follows.
struct TcoefEntry {
    std::uint8_t length = 0;  // 0: no such code
    std::uint8_t run = 0;
    std::uint8_t level = 0;
    bool last = false;
    bool escape = false;
};
inline constexpr int kTcoefBits = 12;
extern const std::array<TcoefEntry, 1 << kTcoefBits> kTcoef;

// Coefficient positions (row-major) in transmission order.
extern const std::array<std::uint8_t, 64> kZigzag;

}  // namespace swf::video::h263

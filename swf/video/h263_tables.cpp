// The code lists as H.263 gives them, turned into lookup tables when
// compiling: every index whose leading bits are a code gets that code's entry.
#include "swf/video/h263_tables.h"

#include <string_view>

namespace swf::video::h263 {

namespace {

struct Code {
    std::uint32_t bits = 0;
    int length = 0;
};

// "0101 01" -> 0b010101, 6 bits.
constexpr Code Parse(std::string_view text) {
    Code code;
    for (const char c : text) {
        if (c == ' ') continue;
        code.bits = code.bits << 1 | (c == '1' ? 1u : 0u);
        ++code.length;
    }
    return code;
}

template <typename Entry, std::size_t N>
constexpr void Fill(std::array<Entry, N>& table, int tableBits, Code code, Entry entry) {
    const int spare = tableBits - code.length;
    const std::uint32_t first = code.bits << spare;
    for (std::uint32_t i = 0; i < (1u << spare); ++i) table[first + i] = entry;
}

struct ValueCode {
    std::string_view bits;
    int value;
};

template <std::size_t N, std::size_t M>
constexpr std::array<VlcEntry, N> Build(int tableBits, const std::array<ValueCode, M>& codes) {
    std::array<VlcEntry, N> table{};
    for (const auto& [text, value] : codes) {
        const Code code = Parse(text);
        Fill(table, tableBits, code, VlcEntry{static_cast<std::int8_t>(value), static_cast<std::uint8_t>(code.length)});
    }
    return table;
}

constexpr int Mcbpc(int type, int cbpc) { return type * 4 + cbpc; }

constexpr std::array<ValueCode, 9> kIntraMcbpcCodes = {{
    {"1", Mcbpc(kIntra, 0)},
    {"001", Mcbpc(kIntra, 1)},
    {"010", Mcbpc(kIntra, 2)},
    {"011", Mcbpc(kIntra, 3)},
    {"0001", Mcbpc(kIntraQ, 0)},
    {"0000 01", Mcbpc(kIntraQ, 1)},
    {"0000 10", Mcbpc(kIntraQ, 2)},
    {"0000 11", Mcbpc(kIntraQ, 3)},
    {"0000 0000 1", kMcbpcStuffing},
}};

constexpr std::array<ValueCode, 21> kInterMcbpcCodes = {{
    {"1", Mcbpc(kInter, 0)},
    {"0011", Mcbpc(kInter, 1)},
    {"0010", Mcbpc(kInter, 2)},
    {"0001 01", Mcbpc(kInter, 3)},
    {"011", Mcbpc(kInterQ, 0)},
    {"0000 111", Mcbpc(kInterQ, 1)},
    {"0000 110", Mcbpc(kInterQ, 2)},
    {"0000 0010 1", Mcbpc(kInterQ, 3)},
    {"010", Mcbpc(kInter4v, 0)},
    {"0000 101", Mcbpc(kInter4v, 1)},
    {"0000 100", Mcbpc(kInter4v, 2)},
    {"0000 0101", Mcbpc(kInter4v, 3)},
    {"0001 1", Mcbpc(kIntra, 0)},
    {"0000 0100", Mcbpc(kIntra, 1)},
    {"0000 0011", Mcbpc(kIntra, 2)},
    {"0000 011", Mcbpc(kIntra, 3)},
    {"0001 00", Mcbpc(kIntraQ, 0)},
    {"0000 0010 0", Mcbpc(kIntraQ, 1)},
    {"0000 0001 1", Mcbpc(kIntraQ, 2)},
    {"0000 0001 0", Mcbpc(kIntraQ, 3)},
    {"0000 0000 1", kMcbpcStuffing},
}};

constexpr std::array<ValueCode, 16> kCbpyCodes = {{
    {"0011", 0},
    {"0010 1", 1},
    {"0010 0", 2},
    {"1001", 3},
    {"0001 1", 4},
    {"0111", 5},
    {"0000 10", 6},
    {"1011", 7},
    {"0001 0", 8},
    {"0000 11", 9},
    {"0101", 10},
    {"1010", 11},
    {"0100", 12},
    {"1000", 13},
    {"0110", 14},
    {"11", 15},
}};

// Motion vector differences by size in half pixels, without the sign bit
// that follows every code but the one for 0 (1: negative). +16 pixels has
// no code of its own: -16 stands for both.
constexpr std::array<std::string_view, 33> kMvdMagnitudes = {
    "1",
    "01",
    "001",
    "0001",
    "0000 11",
    "0000 101",
    "0000 100",
    "0000 011",
    "0000 0101 1",
    "0000 0101 0",
    "0000 0100 1",
    "0000 0100 01",
    "0000 0100 00",
    "0000 0011 11",
    "0000 0011 10",
    "0000 0011 01",
    "0000 0011 00",
    "0000 0010 11",
    "0000 0010 10",
    "0000 0010 01",
    "0000 0010 00",
    "0000 0001 11",
    "0000 0001 10",
    "0000 0001 01",
    "0000 0001 00",
    "0000 0000 111",
    "0000 0000 110",
    "0000 0000 101",
    "0000 0000 100",
    "0000 0000 011",
    "0000 0000 010",
    "0000 0000 0011",
    "0000 0000 0010",
};

constexpr std::array<VlcEntry, 1 << kMvdBits> BuildMvd() {
    std::array<VlcEntry, 1 << kMvdBits> table{};
    Fill(table, kMvdBits, Parse(kMvdMagnitudes[0]), VlcEntry{0, 1});
    for (int size = 1; size <= 32; ++size) {
        const Code code = Parse(kMvdMagnitudes[static_cast<std::size_t>(size)]);
        const auto length = static_cast<std::uint8_t>(code.length + 1);
        if (size < 32)
            Fill(table, kMvdBits, Code{code.bits << 1, code.length + 1},
                 VlcEntry{static_cast<std::int8_t>(size), length});
        Fill(table, kMvdBits, Code{code.bits << 1 | 1, code.length + 1},
             VlcEntry{static_cast<std::int8_t>(-size), length});
    }
    return table;
}

struct EventCode {
    std::string_view bits;
    bool last;
    int run;
    int level;
};

// The events of H.263's coefficient table, without their sign bit.
constexpr std::array<EventCode, 102> kEvents = {{
    {"10", false, 0, 1},
    {"1111", false, 0, 2},
    {"0101 01", false, 0, 3},
    {"0010 111", false, 0, 4},
    {"0001 1111", false, 0, 5},
    {"0001 0010 1", false, 0, 6},
    {"0001 0010 0", false, 0, 7},
    {"0000 1000 01", false, 0, 8},
    {"0000 1000 00", false, 0, 9},
    {"0000 0000 111", false, 0, 10},
    {"0000 0000 110", false, 0, 11},
    {"0000 0100 000", false, 0, 12},
    {"110", false, 1, 1},
    {"0101 00", false, 1, 2},
    {"0001 1110", false, 1, 3},
    {"0000 0011 11", false, 1, 4},
    {"0000 0100 001", false, 1, 5},
    {"0000 0101 0000", false, 1, 6},
    {"1110", false, 2, 1},
    {"0001 1101", false, 2, 2},
    {"0000 0011 10", false, 2, 3},
    {"0000 0101 0001", false, 2, 4},
    {"0110 1", false, 3, 1},
    {"0001 0001 1", false, 3, 2},
    {"0000 0011 01", false, 3, 3},
    {"0110 0", false, 4, 1},
    {"0001 0001 0", false, 4, 2},
    {"0000 0101 0010", false, 4, 3},
    {"0101 1", false, 5, 1},
    {"0000 0011 00", false, 5, 2},
    {"0000 0101 0011", false, 5, 3},
    {"0100 11", false, 6, 1},
    {"0000 0010 11", false, 6, 2},
    {"0000 0101 0100", false, 6, 3},
    {"0100 10", false, 7, 1},
    {"0000 0010 10", false, 7, 2},
    {"0100 01", false, 8, 1},
    {"0000 0010 01", false, 8, 2},
    {"0100 00", false, 9, 1},
    {"0000 0010 00", false, 9, 2},
    {"0010 110", false, 10, 1},
    {"0000 0101 0101", false, 10, 2},
    {"0010 101", false, 11, 1},
    {"0010 100", false, 12, 1},
    {"0001 1100", false, 13, 1},
    {"0001 1011", false, 14, 1},
    {"0001 0000 1", false, 15, 1},
    {"0001 0000 0", false, 16, 1},
    {"0000 1111 1", false, 17, 1},
    {"0000 1111 0", false, 18, 1},
    {"0000 1110 1", false, 19, 1},
    {"0000 1110 0", false, 20, 1},
    {"0000 1101 1", false, 21, 1},
    {"0000 1101 0", false, 22, 1},
    {"0000 0100 010", false, 23, 1},
    {"0000 0100 011", false, 24, 1},
    {"0000 0101 0110", false, 25, 1},
    {"0000 0101 0111", false, 26, 1},
    {"0111", true, 0, 1},
    {"0000 1100 1", true, 0, 2},
    {"0000 0000 101", true, 0, 3},
    {"0011 11", true, 1, 1},
    {"0000 0000 100", true, 1, 2},
    {"0011 10", true, 2, 1},
    {"0011 01", true, 3, 1},
    {"0011 00", true, 4, 1},
    {"0010 011", true, 5, 1},
    {"0010 010", true, 6, 1},
    {"0010 001", true, 7, 1},
    {"0010 000", true, 8, 1},
    {"0001 1010", true, 9, 1},
    {"0001 1001", true, 10, 1},
    {"0001 1000", true, 11, 1},
    {"0001 0111", true, 12, 1},
    {"0001 0110", true, 13, 1},
    {"0001 0101", true, 14, 1},
    {"0001 0100", true, 15, 1},
    {"0001 0011", true, 16, 1},
    {"0000 1100 0", true, 17, 1},
    {"0000 1011 1", true, 18, 1},
    {"0000 1011 0", true, 19, 1},
    {"0000 1010 1", true, 20, 1},
    {"0000 1010 0", true, 21, 1},
    {"0000 1001 1", true, 22, 1},
    {"0000 1001 0", true, 23, 1},
    {"0000 1000 1", true, 24, 1},
    {"0000 0001 11", true, 25, 1},
    {"0000 0001 10", true, 26, 1},
    {"0000 0001 01", true, 27, 1},
    {"0000 0001 00", true, 28, 1},
    {"0000 0100 100", true, 29, 1},
    {"0000 0100 101", true, 30, 1},
    {"0000 0100 110", true, 31, 1},
    {"0000 0100 111", true, 32, 1},
    {"0000 0101 1000", true, 33, 1},
    {"0000 0101 1001", true, 34, 1},
    {"0000 0101 1010", true, 35, 1},
    {"0000 0101 1011", true, 36, 1},
    {"0000 0101 1100", true, 37, 1},
    {"0000 0101 1101", true, 38, 1},
    {"0000 0101 1110", true, 39, 1},
    {"0000 0101 1111", true, 40, 1},
}};

constexpr std::array<TcoefEntry, 1 << kTcoefBits> BuildTcoef() {
    std::array<TcoefEntry, 1 << kTcoefBits> table{};
    for (const EventCode& event : kEvents) {
        const Code code = Parse(event.bits);
        Fill(table, kTcoefBits, code,
             TcoefEntry{static_cast<std::uint8_t>(code.length), static_cast<std::uint8_t>(event.run),
                        static_cast<std::uint8_t>(event.level), event.last, false});
    }
    Fill(table, kTcoefBits, Parse("0000 011"), TcoefEntry{7, 0, 0, false, true});
    return table;
}

}  // namespace

constinit const std::array<VlcEntry, 1 << kMcbpcBits> kIntraMcbpc =
    Build<1 << kMcbpcBits>(kMcbpcBits, kIntraMcbpcCodes);
constinit const std::array<VlcEntry, 1 << kMcbpcBits> kInterMcbpc =
    Build<1 << kMcbpcBits>(kMcbpcBits, kInterMcbpcCodes);
constinit const std::array<VlcEntry, 1 << kCbpyBits> kCbpy = Build<1 << kCbpyBits>(kCbpyBits, kCbpyCodes);
constinit const std::array<VlcEntry, 1 << kMvdBits> kMvd = BuildMvd();
constinit const std::array<TcoefEntry, 1 << kTcoefBits> kTcoef = BuildTcoef();

constinit const std::array<std::uint8_t, 64> kZigzag = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                                        12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                                        35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                                        58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

}  // namespace swf::video::h263

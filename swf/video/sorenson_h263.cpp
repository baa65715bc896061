// The macroblock layer: each picture is decoded into the frame that is not
// the reference, so a bad picture leaves the reference and the picture on
// show untouched; a key or inter picture then becomes the reference, a
// disposable one does not. Deblocking works on a copy of what is shown,
// never on the reference, since the encoder predicted from unfiltered pixels.
#include "swf/video/sorenson_h263.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "swf/video/deblocking_filter.h"
#include "swf/video/h263_bit_reader.h"
#include "swf/video/h263_tables.h"
#include "swf/video/idct.h"
#include "swf/video/motion_compensation.h"
#include "swf/video/sorenson_picture_header.h"
#include "swf/video/yuv_frame.h"
#include "swf/video/yuv_to_rgb.h"

namespace swf::video {

namespace {

using h263::BitReader;

struct Vector {
    int x = 0;  // half pixels
    int y = 0;
};

constexpr std::array<int, 4> kQuantizerSteps = {-1, -2, 1, 2};

// The fewest bits a macroblock can take: a skipped one (1 bit) in inter
// pictures; in key pictures a type, a pattern and six DC values.
constexpr std::size_t kLeastInterMacroblockBits = 1;
constexpr std::size_t kLeastIntraMacroblockBits = 1 + 2 + 6 * 8;

int Median(int a, int b, int c) { return std::max(std::min(a, b), std::min(std::max(a, b), c)); }

// The predictor plus the difference, taken into -16 to 15.5 pixels: each
// difference code stands for two values 32 pixels apart. (Vectors may point
// outside the picture, but are no longer than in baseline H.263.)
int VectorComponent(int predictor, int difference) {
    int value = predictor + difference;
    if (value < -32) value += 64;
    if (value > 31) value -= 64;
    return value;
}

// An H.263 level times the quantizer: odd steps of 2 * quantizer, one less
// for even quantizers, kept within the transform's range.
int Dequantize(int level, int quantizer) {
    const int size = std::abs(level);
    const int value = quantizer * (2 * size + 1) - ((quantizer & 1) ^ 1);
    return std::clamp(level < 0 ? -value : value, -2048, 2047);
}

class SorensonH263Decoder final : public VideoDecoder {
public:
    DecodeResult Decode(std::span<const std::uint8_t> data) override;
    const raster::Image& Picture() const override { return picture_; }
    void SetDeblocking(Deblocking deblocking) override { deblocking_ = deblocking; }
    void Reset() override { haveReference_ = false; }

private:
    std::string CheckPicture(const SorensonPictureHeader& header, std::size_t dataBits) const;
    std::string DecodeMacroblocks(BitReader& bits);
    // These return what is wrong, or nullptr.
    const char* DecodeMacroblock(BitReader& bits, int mbX, int mbY);
    const char* DecodeIntra(BitReader& bits, int mbX, int mbY, int pattern);
    const char* DecodeInter(BitReader& bits, int mbX, int mbY, int pattern);
    const char* DecodeCoefficients(BitReader& bits, int first);
    const char* ReadEscape(BitReader& bits, bool& last, int& run, int& level) const;
    void CopyMacroblock(int mbX, int mbY);
    Vector PredictVector(int mbX, int mbY) const;
    void Show(bool deblock);
    YuvPlanes Deblock(const YuvPlanes& planes);

    YuvFrame frames_[2];
    int reference_ = 0;  // index of the reference frame in frames_
    bool haveReference_ = false;
    int referenceWidth_ = 0;
    int referenceHeight_ = 0;

    // The picture being decoded.
    YuvFrame* target_ = nullptr;
    const YuvFrame* source_ = nullptr;
    SorensonPictureHeader header_;
    int macroblocksWide_ = 0;
    int macroblocksHigh_ = 0;
    int quantizer_ = 1;
    std::vector<Vector> vectors_;           // per macroblock, for prediction
    std::vector<std::uint8_t> quantizers_;  // per macroblock, for deblocking
    std::vector<std::uint8_t> changed_;     // per macroblock: not a copy of the reference's
    // The picture on show is the reference's pixels, unfiltered: an inter
    // frame then converts only its macroblocks that changed.
    bool showingReference_ = false;
    alignas(16) std::int16_t block_[64] = {};

    std::vector<std::uint8_t> bytes_;  // the frame's data and zero padding
    std::vector<std::uint8_t> shown_;  // planes being deblocked
    raster::Image picture_;
    Deblocking deblocking_ = Deblocking::AsStream;
};

DecodeResult SorensonH263Decoder::Decode(std::span<const std::uint8_t> data) {
    DecodeResult result;
    bytes_.assign(data.begin(), data.end());
    bytes_.resize(data.size() + BitReader::kPadding, 0);
    BitReader bits(bytes_.data(), data.size());
    result.problem = ReadPictureHeader(bits, header_);
    result.kind = header_.kind;
    if (result.problem.empty()) result.problem = CheckPicture(header_, data.size() * 8 - bits.position());
    if (!result.problem.empty()) return result;

    macroblocksWide_ = (header_.width + 15) / 16;
    macroblocksHigh_ = (header_.height + 15) / 16;
    target_ = &frames_[1 - reference_];
    source_ = &frames_[reference_];
    target_->Allocate(macroblocksWide_, macroblocksHigh_);
    const auto count = static_cast<std::size_t>(macroblocksWide_) * macroblocksHigh_;
    vectors_.assign(count, Vector{});
    quantizers_.resize(count);
    changed_.resize(count);
    quantizer_ = header_.quantizer;
    result.problem = DecodeMacroblocks(bits);
    if (!result.problem.empty()) {
        std::memset(block_, 0, sizeof block_);
        return result;
    }
    if (header_.kind != FrameKind::DisposableInter) {
        target_->ExtendEdges();
        reference_ = 1 - reference_;
        haveReference_ = true;
        referenceWidth_ = header_.width;
        referenceHeight_ = header_.height;
    }
    Show(deblocking_ == Deblocking::On || (deblocking_ == Deblocking::AsStream && header_.deblocking));
    result.ok = true;
    return result;
}

std::string SorensonH263Decoder::CheckPicture(const SorensonPictureHeader& header, std::size_t dataBits) const {
    if (header.kind != FrameKind::Key) {
        if (!haveReference_) return "an inter frame came before any key frame";
        if (header.width != referenceWidth_ || header.height != referenceHeight_)
            return "an inter frame changes the picture size from " + std::to_string(referenceWidth_) + " x " +
                   std::to_string(referenceHeight_) + " to " + std::to_string(header.width) + " x " +
                   std::to_string(header.height);
    }
    // Checked before the frames are allocated, so that a few bytes cannot
    // ask for a large picture.
    const std::size_t macroblocks = static_cast<std::size_t>((header.width + 15) / 16) * ((header.height + 15) / 16);
    const std::size_t least = header.kind == FrameKind::Key ? kLeastIntraMacroblockBits : kLeastInterMacroblockBits;
    if (dataBits < macroblocks * least) return "the frame's data is too short for its picture size";
    return {};
}

std::string SorensonH263Decoder::DecodeMacroblocks(BitReader& bits) {
    for (int mbY = 0; mbY < macroblocksHigh_; ++mbY) {
        for (int mbX = 0; mbX < macroblocksWide_; ++mbX) {
            changed_[static_cast<std::size_t>(mbY) * macroblocksWide_ + mbX] = 1;
            const char* problem = DecodeMacroblock(bits, mbX, mbY);
            if (problem == nullptr && bits.Overrun()) problem = "the frame's data ends early";
            if (problem != nullptr)
                return problem + (" (macroblock " + std::to_string(mbX) + ", " + std::to_string(mbY) + ")");
            quantizers_[static_cast<std::size_t>(mbY) * macroblocksWide_ + mbX] = static_cast<std::uint8_t>(quantizer_);
        }
    }
    return {};
}

const char* SorensonH263Decoder::DecodeMacroblock(BitReader& bits, int mbX, int mbY) {
    const bool inter = header_.kind != FrameKind::Key;
    const auto& types = inter ? h263::kInterMcbpc : h263::kIntraMcbpc;
    h263::VlcEntry type;
    do {
        if (bits.Overrun()) return "the frame's data ends early";
        if (inter && bits.Read(1) != 0) {
            CopyMacroblock(mbX, mbY);
            return nullptr;
        }
        type = types[bits.Peek(h263::kMcbpcBits)];
        if (type.length == 0) return "a macroblock type code that does not exist";
        bits.Skip(type.length);
    } while (type.value == h263::kMcbpcStuffing);

    const int kind = type.value >> 2;
    if (kind == h263::kInter4v) return "four motion vectors in a macroblock are not part of this format";
    const h263::VlcEntry luma = h263::kCbpy[bits.Peek(h263::kCbpyBits)];
    if (luma.length == 0) return "a block pattern code that does not exist";
    bits.Skip(luma.length);
    const bool intra = kind == h263::kIntra || kind == h263::kIntraQ;
    const int pattern = (intra ? luma.value : 15 - luma.value) << 2 | (type.value & 3);
    if (kind == h263::kInterQ || kind == h263::kIntraQ)
        quantizer_ = std::clamp(quantizer_ + kQuantizerSteps[bits.Read(2)], 1, 31);
    return intra ? DecodeIntra(bits, mbX, mbY, pattern) : DecodeInter(bits, mbX, mbY, pattern);
}

// `pattern` has a bit per block, Y1 Y2 Y3 Y4 Cb Cr from the highest down.
const char* SorensonH263Decoder::DecodeIntra(BitReader& bits, int mbX, int mbY, int pattern) {
    vectors_[static_cast<std::size_t>(mbY) * macroblocksWide_ + mbX] = Vector{};
    for (int block = 0; block < 6; ++block) {
        const unsigned dc = bits.Read(8);
        if (dc == 0) return "an intra DC code that does not exist";
        block_[0] = static_cast<std::int16_t>(dc == 255 || dc == 128 ? 1024 : dc * 8);
        if (pattern & (32 >> block)) {
            if (const char* problem = DecodeCoefficients(bits, 1)) return problem;
        }
        if (block < 4) {
            IdctPut(block_, target_->Y(mbX * 16 + (block & 1) * 8, mbY * 16 + (block >> 1) * 8), target_->lumaStride());
        } else {
            IdctPut(block_, block == 4 ? target_->U(mbX * 8, mbY * 8) : target_->V(mbX * 8, mbY * 8),
                    target_->chromaStride());
        }
    }
    return nullptr;
}

const char* SorensonH263Decoder::DecodeInter(BitReader& bits, int mbX, int mbY, int pattern) {
    const Vector predictor = PredictVector(mbX, mbY);
    Vector vector;
    for (int* component : {&vector.x, &vector.y}) {
        const h263::VlcEntry difference = h263::kMvd[bits.Peek(h263::kMvdBits)];
        if (difference.length == 0) return "a motion vector code that does not exist";
        bits.Skip(difference.length);
        *component = VectorComponent(component == &vector.x ? predictor.x : predictor.y, difference.value);
    }
    vectors_[static_cast<std::size_t>(mbY) * macroblocksWide_ + mbX] = vector;

    const int x = mbX * 16 + (vector.x >> 1), y = mbY * 16 + (vector.y >> 1);
    const int chromaX = ChromaVector(vector.x), chromaY = ChromaVector(vector.y);
    const int cx = mbX * 8 + (chromaX >> 1), cy = mbY * 8 + (chromaY >> 1);
    // Never true for vectors the codes can give; the guard keeps every
    // read inside the reference's borders whatever changes upstream.
    if (x < -YuvFrame::kLumaBorder || y < -YuvFrame::kLumaBorder || x + 17 > source_->width() + YuvFrame::kLumaBorder ||
        y + 17 > source_->height() + YuvFrame::kLumaBorder || cx < -YuvFrame::kChromaBorder ||
        cy < -YuvFrame::kChromaBorder || cx + 9 > source_->width() / 2 + YuvFrame::kChromaBorder ||
        cy + 9 > source_->height() / 2 + YuvFrame::kChromaBorder)
        return "a motion vector points too far outside the picture";
    const int lumaStride = target_->lumaStride(), chromaStride = target_->chromaStride();
    std::uint8_t* lumaTarget = target_->Y(mbX * 16, mbY * 16);
    PredictBlock(lumaTarget, lumaStride, source_->Y(x, y), lumaStride, 16, vector.x & 1, vector.y & 1);
    PredictBlock(target_->U(mbX * 8, mbY * 8), chromaStride, source_->U(cx, cy), chromaStride, 8, chromaX & 1,
                 chromaY & 1);
    PredictBlock(target_->V(mbX * 8, mbY * 8), chromaStride, source_->V(cx, cy), chromaStride, 8, chromaX & 1,
                 chromaY & 1);

    for (int block = 0; block < 6; ++block) {
        if (!(pattern & (32 >> block))) continue;
        if (const char* problem = DecodeCoefficients(bits, 0)) return problem;
        if (block < 4) {
            IdctAdd(block_, lumaTarget + (block >> 1) * 8 * lumaStride + (block & 1) * 8, lumaStride);
        } else {
            IdctAdd(block_, block == 4 ? target_->U(mbX * 8, mbY * 8) : target_->V(mbX * 8, mbY * 8), chromaStride);
        }
    }
    return nullptr;
}

// Coefficient events from zigzag position `first` until one marked last.
// Levels from the table are at most 12, so their products need no clamp.
const char* SorensonH263Decoder::DecodeCoefficients(BitReader& bits, int first) {
    const int quantizer = quantizer_;
    const int evenStep = (quantizer & 1) ^ 1;
    std::int16_t* const block = block_;
    int position = first;
    for (;;) {
        // The code and the sign bit after it in one look.
        const std::uint32_t next = bits.Peek(h263::kTcoefBits + 1);
        const h263::TcoefEntry& event = h263::kTcoef[next >> 1];
        int value;
        bool last;
        if (!event.escape) {
            if (event.length == 0) return "a coefficient code that does not exist";
            last = event.last;
            position += event.run;
            value = quantizer * (2 * event.level + 1) - evenStep;
            if (next >> (h263::kTcoefBits - event.length) & 1) value = -value;
            bits.Skip(event.length + 1);
        } else {
            bits.Skip(event.length);
            int run = 0, level = 0;
            if (const char* problem = ReadEscape(bits, last, run, level)) return problem;
            position += run;
            value = Dequantize(level, quantizer);
        }
        if (position > 63) return "a block has more than 64 coefficients";
        block[h263::kZigzag[static_cast<std::size_t>(position)]] = static_cast<std::int16_t>(value);
        ++position;
        if (last) return nullptr;
        if (bits.Overrun()) return "the frame's data ends early";
    }
}

// An event after the escape code: version 0 as H.263's; version 1 says
// whether the level has 7 or 11 bits.
const char* SorensonH263Decoder::ReadEscape(BitReader& bits, bool& last, int& run, int& level) const {
    const int levelBits = header_.version == 0 ? 8 : (bits.Read(1) != 0 ? 11 : 7);
    last = bits.Read(1) != 0;
    run = static_cast<int>(bits.Read(6));
    level = bits.ReadSigned(levelBits);
    if (level == 0 || (levelBits == 8 && level == -128)) return "an escaped coefficient level that does not exist";
    return nullptr;
}

void SorensonH263Decoder::CopyMacroblock(int mbX, int mbY) {
    vectors_[static_cast<std::size_t>(mbY) * macroblocksWide_ + mbX] = Vector{};
    changed_[static_cast<std::size_t>(mbY) * macroblocksWide_ + mbX] = 0;
    PredictBlock(target_->Y(mbX * 16, mbY * 16), target_->lumaStride(), source_->Y(mbX * 16, mbY * 16),
                 source_->lumaStride(), 16, false, false);
    PredictBlock(target_->U(mbX * 8, mbY * 8), target_->chromaStride(), source_->U(mbX * 8, mbY * 8),
                 source_->chromaStride(), 8, false, false);
    PredictBlock(target_->V(mbX * 8, mbY * 8), target_->chromaStride(), source_->V(mbX * 8, mbY * 8),
                 source_->chromaStride(), 8, false, false);
}

// The median of the vectors left, above and above right; outside the
// picture, left and above right count as zero and the row above as the left.
Vector SorensonH263Decoder::PredictVector(int mbX, int mbY) const {
    const auto at = [&](int x, int y) { return vectors_[static_cast<std::size_t>(y) * macroblocksWide_ + x]; };
    const Vector left = mbX > 0 ? at(mbX - 1, mbY) : Vector{};
    if (mbY == 0) return left;
    const Vector above = at(mbX, mbY - 1);
    const Vector aboveRight = mbX + 1 < macroblocksWide_ ? at(mbX + 1, mbY - 1) : Vector{};
    return {Median(left.x, above.x, aboveRight.x), Median(left.y, above.y, aboveRight.y)};
}

void SorensonH263Decoder::Show(bool deblock) {
    const YuvPlanes planes{target_->Y(0, 0), target_->U(0, 0), target_->V(0, 0), target_->lumaStride(),
                           target_->chromaStride()};
    const bool wasShowingReference = showingReference_;
    showingReference_ = !deblock && header_.kind != FrameKind::DisposableInter;
    if (deblock) {
        YuvToRgb(Deblock(planes), header_.width, header_.height, picture_);
    } else if (wasShowingReference && header_.kind != FrameKind::Key) {
        for (int mbY = 0; mbY < macroblocksHigh_; ++mbY) {
            for (int mbX = 0; mbX < macroblocksWide_; ++mbX) {
                if (!changed_[static_cast<std::size_t>(mbY) * macroblocksWide_ + mbX]) continue;
                const int x = mbX * 16, y = mbY * 16;
                YuvToRgbArea(planes, x, y, std::min(16, header_.width - x), std::min(16, header_.height - y), picture_);
            }
        }
        picture_.serial = raster::Image::NewSerial();
    } else {
        YuvToRgb(planes, header_.width, header_.height, picture_);
    }
}

// A filtered copy of the decoded planes, whole macroblocks.
YuvPlanes SorensonH263Decoder::Deblock(const YuvPlanes& planes) {
    const int width = target_->width(), height = target_->height();
    const std::size_t lumaSize = static_cast<std::size_t>(width) * height;
    shown_.resize(lumaSize * 3 / 2);
    std::uint8_t* y = shown_.data();
    std::uint8_t* u = y + lumaSize;
    std::uint8_t* v = u + lumaSize / 4;
    for (int row = 0; row < height; ++row) {
        std::memcpy(y + static_cast<std::size_t>(row) * width,
                    planes.y + static_cast<std::ptrdiff_t>(row) * planes.lumaStride, static_cast<std::size_t>(width));
    }
    for (int row = 0; row < height / 2; ++row) {
        const std::ptrdiff_t from = static_cast<std::ptrdiff_t>(row) * planes.chromaStride;
        const std::size_t to = static_cast<std::size_t>(row) * width / 2;
        std::memcpy(u + to, planes.u + from, static_cast<std::size_t>(width / 2));
        std::memcpy(v + to, planes.v + from, static_cast<std::size_t>(width / 2));
    }
    DeblockPlane(y, width, width, height, quantizers_.data(), macroblocksWide_, 16);
    DeblockPlane(u, width / 2, width / 2, height / 2, quantizers_.data(), macroblocksWide_, 8);
    DeblockPlane(v, width / 2, width / 2, height / 2, quantizers_.data(), macroblocksWide_, 8);
    return YuvPlanes{y, u, v, width, width / 2};
}

}  // namespace

std::unique_ptr<VideoDecoder> MakeSorensonH263Decoder() { return std::make_unique<SorensonH263Decoder>(); }

}  // namespace swf::video

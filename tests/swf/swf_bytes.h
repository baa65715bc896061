#pragma once
// Hand-building SWF bytes for the engine's tests: the common records, tags and
// whole movies, written field by field through the writer's BitWriter.

#include <cstdint>
#include <string>
#include <vector>

#include "swf/writer/bit_writer.h"

namespace swf::test {

using Bytes = std::vector<std::uint8_t>;
using writer::BitWriter;

void PutRect(BitWriter& b, std::int32_t xMin, std::int32_t xMax, std::int32_t yMin, std::int32_t yMax);
// Scale and rotate in 16.16 fixed point.
void PutMatrix(BitWriter& b, double a, double bSkew, double c, double d, std::int32_t tx, std::int32_t ty);
void PutTranslate(BitWriter& b, std::int32_t tx, std::int32_t ty);
void PutRgb(BitWriter& b, std::uint8_t r, std::uint8_t g, std::uint8_t bl);
void PutRgba(BitWriter& b, std::uint8_t r, std::uint8_t g, std::uint8_t bl, std::uint8_t a);

// A tag with the short header when it fits, or always long when asked.
Bytes Tag(std::uint16_t code, const Bytes& body, bool forceLong = false);

// An uncompressed movie: header (frame size in twips, rate 8.8) and tags, End appended.
Bytes Movie(const std::vector<Bytes>& tags, std::int32_t widthTwips = 4000, std::int32_t heightTwips = 3000,
            double frameRate = 12, std::uint16_t frameCount = 1, std::uint8_t version = 8);
// The same movie compressed (CWS).
Bytes Compress(const Bytes& uncompressedMovie);

// Shape record writing: style changes, edges and the end record.
class ShapeRecords {
public:
    ShapeRecords(BitWriter& bits, unsigned fillBits, unsigned lineBits)
        : b_(bits), fillBits_(fillBits), lineBits_(lineBits) {}
    void Move(std::int32_t x, std::int32_t y, int fill0 = -1, int fill1 = -1, int line = -1);
    void Styles(int fill0, int fill1, int line);  // style change without a move
    void Line(std::int32_t dx, std::int32_t dy);
    void Curve(std::int32_t cdx, std::int32_t cdy, std::int32_t adx, std::int32_t ady);
    void End();

private:
    void StyleChange(bool move, std::int32_t x, std::int32_t y, int fill0, int fill1, int line);
    BitWriter& b_;
    unsigned fillBits_;
    unsigned lineBits_;
};

// DefineShape (1..3) body: a solid rectangle (twips) in one colour, optional outline.
Bytes RectangleShape(std::uint16_t id, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                     std::uint8_t r, std::uint8_t g, std::uint8_t bl, std::uint8_t a = 255, int version = 3);

// PlaceObject2 body.
struct Place {
    std::uint16_t depth = 1;
    bool move = false;
    int character = -1;  // -1: none
    bool hasMatrix = false;
    std::int32_t tx = 0, ty = 0;
    double scaleX = 1, scaleY = 1;
    bool hasColor = false;
    std::int16_t mult[4] = {256, 256, 256, 256};
    std::int16_t add[4] = {0, 0, 0, 0};
    int ratio = -1;
    std::string name;
    int clipDepth = -1;
};
Bytes PlaceObject2(const Place& place);
Bytes RemoveObject2(std::uint16_t depth);
Bytes ShowFrame();
Bytes FrameLabel(const std::string& label);
Bytes SetBackground(std::uint8_t r, std::uint8_t g, std::uint8_t b);
Bytes DoAction(const Bytes& code);
// DefineSprite tag with its own control tags (End appended).
Bytes DefineSprite(std::uint16_t id, std::uint16_t frames, const std::vector<Bytes>& tags);

}  // namespace swf::test

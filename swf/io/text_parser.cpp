#include "swf/io/text_parser.h"

#include "swf/io/bit_reader.h"
#include "swf/io/parse_error.h"
#include "swf/io/records.h"

namespace swf {

std::shared_ptr<TextDefinition> ParseDefineText(std::span<const std::uint8_t> body, int version) {
    BitReader in(body);
    auto text = std::make_shared<TextDefinition>();
    text->id = in.ReadU16();
    text->bounds = ReadRect(in);
    text->matrix = ReadMatrix(in);
    const unsigned glyphBits = in.ReadU8();
    const unsigned advanceBits = in.ReadU8();
    if (glyphBits > 32 || advanceBits > 32) throw ParseError("text glyph fields wider than 32 bits");

    // Font, colour, height and position carry over from one record to the next.
    TextRun state;
    while (true) {
        const std::uint8_t flags = in.ReadU8();
        if (flags == 0) break;  // end of records
        if ((flags & 0x80) == 0) throw ParseError("malformed text record");
        if (flags & 0x08) state.fontId = in.ReadU16();
        if (flags & 0x04) state.color = version >= 2 ? ReadRgba(in) : ReadRgb(in);
        if (flags & 0x01) state.x = in.ReadS16();
        if (flags & 0x02) state.y = in.ReadS16();
        if (flags & 0x08) state.height = in.ReadU16();
        const std::uint8_t count = in.ReadU8();
        TextRun run = state;
        run.glyphs.clear();
        for (unsigned i = 0; i < count; ++i) {
            GlyphEntry g;
            g.index = in.ReadUB(glyphBits);
            g.advance = in.ReadSB(advanceBits);
            run.glyphs.push_back(g);
            state.x += g.advance;  // the next record continues where this one ended
        }
        in.Align();
        text->runs.push_back(std::move(run));
    }
    return text;
}

}  // namespace swf

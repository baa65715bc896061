#include "swf/writer/button.h"

namespace swf::writer {

std::vector<std::uint8_t> DefineButton2Body(std::uint16_t id, const std::vector<ButtonRecord>& records,
                                            const std::vector<ButtonAction>& actions, bool trackAsMenu) {
    BitWriter characters;
    for (const auto& r : records) {
        characters.U8(r.states & 0x0F);
        characters.U16(r.characterId);
        characters.U16(r.depth);
        WriteMatrix(characters, r.matrix);
        WriteColorTransformAlpha(characters, r.colorTransform);
    }
    characters.U8(0);  // end of characters

    BitWriter w;
    w.U16(id);
    w.U8(trackAsMenu ? 1 : 0);
    // The action offset counts from this field itself (2 bytes) past the characters.
    w.U16(actions.empty() ? 0 : static_cast<std::uint16_t>(2 + characters.bytes().size()));
    w.Bytes(characters.bytes());
    for (std::size_t i = 0; i < actions.size(); ++i) {
        std::vector<std::uint8_t> code = actions[i].actions;
        if (code.empty() || code.back() != 0) code.push_back(0);
        bool last = i + 1 == actions.size();
        w.U16(last ? 0 : static_cast<std::uint16_t>(4 + code.size()));
        w.U8(static_cast<std::uint8_t>(actions[i].conditions >> 8));
        w.U8(static_cast<std::uint8_t>(actions[i].conditions & 0xFF));
        w.Bytes(code);
    }
    return w.Take();
}

}  // namespace swf::writer

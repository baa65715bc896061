#include "swf/writer/tag_stream.h"

namespace swf::writer {

void WriteTagHeader(BitWriter& w, TagCode code, std::uint32_t length, bool forceLong) {
    auto c = static_cast<std::uint16_t>(code);
    if (length < 0x3F && !forceLong) {
        w.U16(static_cast<std::uint16_t>((c << 6) | length));
    } else {
        w.U16(static_cast<std::uint16_t>((c << 6) | 0x3F));
        w.U32(length);
    }
}

void TagStream::Add(TagCode code, std::span<const std::uint8_t> body, bool forceLong) {
    BitWriter w;
    WriteTagHeader(w, code, static_cast<std::uint32_t>(body.size()), forceLong);
    w.Bytes(body);
    const auto& b = w.bytes();
    bytes_.insert(bytes_.end(), b.begin(), b.end());
    if (code == TagCode::ShowFrame) ++frames_;
    ended_ = code == TagCode::End;
}

void TagStream::ShowFrame() { Add(TagCode::ShowFrame, {}); }
void TagStream::End() { Add(TagCode::End, {}); }

void TagStream::SetBackgroundColor(Rgb color) {
    BitWriter w;
    WriteRgb(w, color);
    Add(TagCode::SetBackgroundColor, w.bytes());
}

void TagStream::FileAttributes(std::uint32_t flags) {
    BitWriter w;
    w.U32(flags);
    Add(TagCode::FileAttributes, w.bytes());
}

void TagStream::FrameLabel(const std::string& label) {
    BitWriter w;
    w.String(label);
    Add(TagCode::FrameLabel, w.bytes());
}

void TagStream::DoAction(std::span<const std::uint8_t> actions) {
    BitWriter w;
    w.Bytes(actions);
    if (actions.empty() || actions.back() != 0) w.U8(0);
    Add(TagCode::DoAction, w.bytes());
}

void TagStream::DoInitAction(std::uint16_t spriteId, std::span<const std::uint8_t> actions) {
    BitWriter w;
    w.U16(spriteId);
    w.Bytes(actions);
    if (actions.empty() || actions.back() != 0) w.U8(0);
    Add(TagCode::DoInitAction, w.bytes());
}

void TagStream::ExportAssets(const std::vector<std::pair<std::uint16_t, std::string>>& assets) {
    BitWriter w;
    w.U16(static_cast<std::uint16_t>(assets.size()));
    for (const auto& [id, name] : assets) {
        w.U16(id);
        w.String(name);
    }
    Add(TagCode::ExportAssets, w.bytes());
}

namespace {

void WriteEventFlags(BitWriter& w, std::uint32_t events, bool wide) {
    if (wide) {
        w.U32(events);
    } else {
        w.U16(static_cast<std::uint16_t>(events));
    }
}

void WriteClipActions(BitWriter& w, const PlaceObject& p) {
    std::uint32_t all = 0;
    for (const ClipEventHandler& h : p.clipActions) all |= h.events;
    w.U16(0);
    WriteEventFlags(w, all, p.wideEventFlags);
    for (const ClipEventHandler& h : p.clipActions) {
        WriteEventFlags(w, h.events, p.wideEventFlags);
        const bool keyPress = (h.events & (1u << 17)) != 0;
        w.U32(static_cast<std::uint32_t>(h.actions.size() + (keyPress ? 1 : 0)));
        if (keyPress) w.U8(h.keyCode);
        w.Bytes(h.actions);
    }
    WriteEventFlags(w, 0, p.wideEventFlags);
}

void WritePlaceBody(BitWriter& w, const PlaceObject& p, bool version3) {
    std::uint8_t flags = 0;
    if (!p.clipActions.empty()) flags |= 0x80;
    if (p.clipDepth) flags |= 0x40;
    if (!p.name.empty()) flags |= 0x20;
    if (p.ratio) flags |= 0x10;
    if (p.hasColorTransform) flags |= 0x08;
    if (p.hasMatrix) flags |= 0x04;
    if (p.characterId) flags |= 0x02;
    if (p.move) flags |= 0x01;
    w.U8(flags);
    if (version3) {
        std::uint8_t flags2 = 0;
        if (p.cacheAsBitmap) flags2 |= 0x04;
        if (p.blendMode) flags2 |= 0x02;
        if (!p.filterList.empty()) flags2 |= 0x01;
        w.U8(flags2);
    }
    w.U16(p.depth);
    if (p.characterId) w.U16(p.characterId);
    if (p.hasMatrix) WriteMatrix(w, p.matrix);
    if (p.hasColorTransform) WriteColorTransformAlpha(w, p.colorTransform);
    if (p.ratio) w.U16(*p.ratio);
    if (!p.name.empty()) w.String(p.name);
    if (p.clipDepth) w.U16(p.clipDepth);
    if (version3) {
        if (!p.filterList.empty()) w.Bytes(p.filterList);
        if (p.blendMode) w.U8(p.blendMode);
        if (p.cacheAsBitmap) w.U8(1);
    }
    if (!p.clipActions.empty()) WriteClipActions(w, p);
}

}  // namespace

void TagStream::PlaceObject2(const PlaceObject& p) {
    BitWriter w;
    WritePlaceBody(w, p, false);
    Add(TagCode::PlaceObject2, w.bytes());
}

void TagStream::PlaceObject3(const PlaceObject& p) {
    BitWriter w;
    WritePlaceBody(w, p, true);
    Add(TagCode::PlaceObject3, w.bytes());
}

void TagStream::RemoveObject2(std::uint16_t depth) {
    BitWriter w;
    w.U16(depth);
    Add(TagCode::RemoveObject2, w.bytes());
}

void TagStream::DefineSprite(std::uint16_t id, const TagStream& timeline) {
    BitWriter w;
    w.U16(id);
    w.U16(timeline.frameCount());
    w.Bytes(timeline.bytes());
    if (!timeline.ended()) w.U16(0);  // a sprite's tag list ends with End
    Add(TagCode::DefineSprite, w.bytes());
}

}  // namespace swf::writer

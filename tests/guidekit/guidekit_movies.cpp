#include "tests/guidekit/guidekit_movies.h"

#include "swf/writer/action_assembler.h"
#include "swf/writer/font.h"
#include "tests/swf/swf_bytes.h"

namespace guidekit {

namespace {

using swf::test::Bytes;
using swf::writer::ActionAssembler;
using swf::writer::ActionCode;

constexpr std::uint16_t kSetBackgroundColor = 9, kDefineFont2 = 48, kExportAssets = 56;

std::vector<Bytes> ActionBlocks() {
    ActionAssembler first;
    first.ConstantPool({"Refs_Page_img/data.txt", "../outside.swf"});
    first.PushConstant(0).Action(ActionCode::Pop).PushConstant(1).Action(ActionCode::Pop);
    ActionAssembler second;
    second.PushString("not a file").Action(ActionCode::Pop);
    ActionAssembler sprite;
    sprite.PushString("clip.swf").Action(ActionCode::Pop);
    return {first.Finish(), second.Finish(), sprite.Finish()};
}

}  // namespace

std::vector<std::uint8_t> ReferencesMovie() {
    using namespace swf::test;
    const auto blocks = ActionBlocks();
    Bytes exports = {1, 0, 2, 0};
    for (char c : std::string("BoxSymbol")) exports.push_back(static_cast<std::uint8_t>(c));
    exports.push_back(0);
    Place place;
    place.character = 2;
    return Movie({Tag(kSetBackgroundColor, {255, 255, 255}),
                  Tag(kDefineFont2, swf::writer::MakeBlockFont("Guide Sans", 1024).DefineFontBody(1)),
                  Tag(32, RectangleShape(2, 0, 0, 400, 400, 255, 0, 0)), Tag(kExportAssets, exports),
                  DefineSprite(3, 1, {DoAction(blocks[2]), ShowFrame()}), PlaceObject2(place), DoAction(blocks[0]),
                  ShowFrame(), DoAction(blocks[1]), ShowFrame(), ShowFrame()},
                 4000, 3000, 12, 3);
}

std::size_t ReferencesMovieActionBytes() {
    std::size_t total = 0;
    for (const Bytes& block : ActionBlocks()) total += block.size();
    return total;
}

std::vector<std::uint8_t> LoadOnFrameMovie(int frame, const std::string& url) {
    using namespace swf::test;
    std::vector<Bytes> tags = {Tag(200, {1, 2, 3})};
    for (int i = 1; i < frame; ++i) tags.push_back(ShowFrame());
    ActionAssembler load;
    // loadVariablesNum: the address, then the level; GetURL2 loads variables.
    load.PushString(url).PushString("_level0").GetURL2(0x80).Action(ActionCode::Stop);
    tags.push_back(DoAction(load.Finish()));
    tags.push_back(ShowFrame());
    return Movie(tags, 4000, 3000, 12, static_cast<std::uint16_t>(frame));
}

}  // namespace guidekit

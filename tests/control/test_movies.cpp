#include "tests/control/test_movies.h"

#include <windows.h>

#include "swf/writer/action_assembler.h"
#include "swf/writer/button.h"
#include "swf/writer/movie.h"
#include "swf/writer/shape.h"
#include "swf/writer/tag_stream.h"

namespace control_test {

namespace {

void Put16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8 & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void PutString(std::vector<std::uint8_t>& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

void PutTag(std::vector<std::uint8_t>& out, unsigned code, const std::vector<std::uint8_t>& body) {
    if (body.size() < 63) {
        Put16(out, code << 6 | static_cast<unsigned>(body.size()));
    } else {
        Put16(out, code << 6 | 0x3F);
        Put32(out, static_cast<std::uint32_t>(body.size()));
    }
    out.insert(out.end(), body.begin(), body.end());
}

// RECT with 0 minimums and the given maximums in twips, 16 bits per field.
void PutStageRect(std::vector<std::uint8_t>& out, int widthTwips, int heightTwips) {
    const int bits = 16;
    std::uint64_t acc = 0;
    int used = 0;
    auto push = [&](std::uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            acc = acc << 1 | (value >> i & 1);
            if (++used == 8) {
                out.push_back(static_cast<std::uint8_t>(acc));
                acc = 0;
                used = 0;
            }
        }
    };
    push(bits, 5);
    push(0, bits);
    push(static_cast<std::uint32_t>(widthTwips), bits);
    push(0, bits);
    push(static_cast<std::uint32_t>(heightTwips), bits);
    if (used > 0) out.push_back(static_cast<std::uint8_t>(acc << (8 - used)));
}

std::vector<std::uint8_t> Movie(int width, int height, std::uint32_t rgb, double frameRate, int frames,
                                const std::vector<std::uint8_t>& firstFrameActions) {
    std::vector<std::uint8_t> body;
    PutStageRect(body, width * 20, height * 20);
    Put16(body, static_cast<unsigned>(frameRate * 256));
    Put16(body, static_cast<unsigned>(frames));
    PutTag(body, 9,
           {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8), static_cast<std::uint8_t>(rgb)});
    if (!firstFrameActions.empty()) PutTag(body, 12, firstFrameActions);
    for (int i = 0; i < frames; ++i) PutTag(body, 1, {});
    PutTag(body, 0, {});
    std::vector<std::uint8_t> file = {'F', 'W', 'S', 8};
    Put32(file, static_cast<std::uint32_t>(8 + body.size()));
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

// ActionPush of strings and 32-bit integers, in order.
void PushStrings(std::vector<std::uint8_t>& code, const std::vector<std::string>& texts) {
    std::vector<std::uint8_t> data;
    for (const auto& t : texts) {
        data.push_back(0);
        PutString(data, t);
    }
    code.push_back(0x96);
    Put16(code, static_cast<unsigned>(data.size()));
    code.insert(code.end(), data.begin(), data.end());
}

void PushInteger(std::vector<std::uint8_t>& code, std::int32_t value) {
    code.push_back(0x96);
    Put16(code, 5);
    code.push_back(7);
    Put32(code, static_cast<std::uint32_t>(value));
}

}  // namespace

std::vector<std::uint8_t> SolidMovie(int width, int height, std::uint32_t rgb, double frameRate, int frames) {
    return Movie(width, height, rgb, frameRate, frames, {});
}

std::vector<std::uint8_t> ActionMovie(const std::vector<std::uint8_t>& code) {
    return Movie(100, 100, 0xFFFFFF, 12, 1, code);
}

std::vector<std::uint8_t> FSCommandMovie(const std::string& command, const std::string& args, std::uint32_t rgb) {
    std::vector<std::uint8_t> code;
    std::vector<std::uint8_t> data;
    PutString(data, "FSCommand:" + command);
    PutString(data, args);
    code.push_back(0x83);  // GetURL
    Put16(code, static_cast<unsigned>(data.size()));
    code.insert(code.end(), data.begin(), data.end());
    code.push_back(0);
    return Movie(100, 100, rgb, 12, 2, code);
}

std::vector<std::uint8_t> ExternalCallMovie(const std::string& name, const std::string& argument, std::uint32_t rgb) {
    std::vector<std::uint8_t> code;
    PushStrings(code, {argument, name});
    PushInteger(code, 2);
    PushStrings(code, {"flash"});
    code.push_back(0x1C);  // GetVariable
    PushStrings(code, {"external"});
    code.push_back(0x4E);  // GetMember
    PushStrings(code, {"ExternalInterface"});
    code.push_back(0x4E);
    PushStrings(code, {"call"});
    code.push_back(0x52);  // CallMethod
    code.push_back(0x17);  // Pop
    code.push_back(0);
    return Movie(100, 100, rgb, 12, 2, code);
}

namespace {

std::wstring TempFolder() {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return folder;
}

}  // namespace

std::vector<std::uint8_t> LoadingMovie(const std::string& inside, const std::string& outside) {
    using swf::writer::ActionAssembler;
    using swf::writer::ActionCode;
    ActionAssembler a;
    for (const auto& [name, url] :
         {std::pair{std::string("inside"), inside}, std::pair{std::string("outside"), outside}}) {
        ActionAssembler onLoad;
        onLoad.PushString("FSCommand:" + name).PushString("ok").Action(ActionCode::GetVariable).PushString(":");
        onLoad.Action(ActionCode::Add2).PushString("this").Action(ActionCode::GetVariable).PushString("v");
        onLoad.Action(ActionCode::GetMember).Action(ActionCode::Add2).GetURL2(0);
        a.PushString(name).PushNumber(0).PushString("LoadVars").Action(ActionCode::NewObject);
        a.Action(ActionCode::SetVariable);
        a.PushString(name).Action(ActionCode::GetVariable).PushString("onLoad").DefineFunction("", {"ok"}, onLoad);
        a.Action(ActionCode::SetMember);
        a.PushString(url).PushNumber(1).PushString(name).Action(ActionCode::GetVariable).PushString("load");
        a.Action(ActionCode::CallMethod).Action(ActionCode::Pop);
    }
    a.Action(ActionCode::Stop);
    return Movie(100, 100, 0xFFFFFF, 12, 1, a.Finish());
}

namespace {

// A one-frame movie of 200 x 100 pixels at 12 frames a second showing
// `character` at depth 1.
std::vector<std::uint8_t> OneFrame200x100(swf::writer::TagStream& tags, std::uint16_t character) {
    namespace w = swf::writer;
    w::PlaceObject place;
    place.depth = 1;
    place.characterId = character;
    tags.PlaceObject2(place);
    tags.ShowFrame();
    w::MovieHeader header;
    header.frameSize = {0, 4000, 0, 2000};
    header.frameRate = 12;
    return w::BuildMovie(header, tags);
}

}  // namespace

std::vector<std::uint8_t> HalfAndHalfMovie(std::uint32_t background, std::uint32_t left) {
    namespace w = swf::writer;
    auto rgb = [](std::uint32_t c) {
        return w::Rgb{static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                      static_cast<std::uint8_t>(c)};
    };
    w::ShapeBuilder shape;
    shape.Rectangle({0, 2000, 0, 2000}, shape.AddFill(w::FillStyle::Solid(w::Rgba(rgb(left)))));
    w::TagStream tags;
    tags.SetBackgroundColor(rgb(background));
    const auto body = shape.DefineShapeBody(1, 1);
    tags.Add(w::TagCode::DefineShape, body);
    return OneFrame200x100(tags, 1);
}

std::vector<std::uint8_t> ButtonMovie(const std::vector<std::uint8_t>& clickActions,
                                      const std::vector<std::uint8_t>& frameActions) {
    namespace w = swf::writer;
    w::ShapeBuilder shape;
    shape.Rectangle({0, 2000, 0, 2000}, shape.AddFill(w::FillStyle::Solid(w::Rgba(0, 160, 0))));
    w::TagStream tags;
    tags.SetBackgroundColor({255, 255, 255});
    const auto shapeBody = shape.DefineShapeBody(1, 1);
    tags.Add(w::TagCode::DefineShape, shapeBody);
    w::ButtonRecord record;
    record.states = w::kStateUp | w::kStateOver | w::kStateDown | w::kStateHitTest;
    record.characterId = 1;
    w::ButtonAction click;
    click.conditions = w::kOverDownToOverUp;
    click.actions = clickActions.empty() ? w::ActionAssembler().FsCommand("clicked", "left").Finish() : clickActions;
    const auto buttonBody = w::DefineButton2Body(2, {record}, {click});
    tags.Add(w::TagCode::DefineButton2, buttonBody);
    if (!frameActions.empty()) tags.DoAction(frameActions);
    return OneFrame200x100(tags, 2);
}

std::wstring MakeMovieFolders(const std::wstring& name) {
    const std::string inside = "v=hello", outside = "v=outside";
    CreateDirectoryW((TempFolder() + name).c_str(), nullptr);
    CreateDirectoryW((TempFolder() + name + L"\\movie").c_str(), nullptr);
    CreateDirectoryW((TempFolder() + name + L"\\movie\\pages").c_str(), nullptr);
    WriteTempFile(name + L"\\outside.txt", {outside.begin(), outside.end()});
    WriteTempFile(name + L"\\movie\\pages\\inside.txt", {inside.begin(), inside.end()});
    return TempFolder() + name + L"\\movie";
}

std::wstring WriteTempFile(const std::wstring& name, const std::vector<std::uint8_t>& bytes) {
    const std::wstring path = TempFolder() + name;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size() ? path : std::wstring();
}

}  // namespace control_test

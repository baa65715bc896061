#include "tests/loading/loading_fixture.h"

#include <atomic>
#include <random>
#include <fstream>
#include <stdexcept>

#include "swf/writer/movie.h"
#include "swf/writer/shape.h"

namespace loading_test {

namespace fs = std::filesystem;
using swf::writer::ActionCode;

TempFolders::TempFolders() {
    static std::atomic<int> counter{0};
    const fs::path base = fs::temp_directory_path();
    const unsigned salt = std::random_device{}();
    for (int attempt = 0; attempt < 1000; ++attempt) {
        outside_ = base / ("loading_test_" + std::to_string(salt) + "_" + std::to_string(counter++));
        if (fs::create_directory(outside_)) break;
    }
    movie_ = outside_ / "movie";
    fs::create_directories(movie_);
}

TempFolders::~TempFolders() {
    std::error_code ec;
    fs::remove_all(outside_, ec);
}

void TempFolders::Write(const std::string& relative, const std::string& content) const {
    Write(relative, Bytes(content.begin(), content.end()));
}

void TempFolders::Write(const std::string& relative, const Bytes& content) const {
    const fs::path path = movie_ / relative;
    fs::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
    if (!file) throw std::runtime_error("cannot write " + path.string());
}

void ReportHost::FSCommand(const std::string& command, const std::string& args) {
    reports.push_back(command + "=" + args);
}

void ReportHost::GetURL(const std::string& url, const std::string& target) {
    reports.push_back("getURL " + url + " " + target);
}

Push Str(const std::string& s) {
    return [s](ActionAssembler& a) { a.PushString(s); };
}

Push Var(const std::string& name) {
    return [name](ActionAssembler& a) { a.PushString(name).Action(ActionCode::GetVariable); };
}

Push Member(const std::string& variable, const std::string& member) {
    return [=](ActionAssembler& a) {
        a.PushString(variable).Action(ActionCode::GetVariable).PushString(member).Action(ActionCode::GetMember);
    };
}

Push MethodCall(const std::string& variable, const std::string& method, const std::vector<Push>& args) {
    return [=](ActionAssembler& a) {
        for (auto it = args.rbegin(); it != args.rend(); ++it) (*it)(a);
        a.PushNumber(static_cast<double>(args.size()));
        a.PushString(variable).Action(ActionCode::GetVariable).PushString(method).Action(ActionCode::CallMethod);
    };
}

void Report(ActionAssembler& a, const std::string& label, const Push& value) {
    a.PushString("FSCommand:" + label);
    value(a);
    a.GetURL2(0);
}

void Set(ActionAssembler& a, const std::string& name, const Push& value) {
    a.PushString(name);
    value(a);
    a.Action(ActionCode::SetVariable);
}

void New(ActionAssembler& a, const std::string& name, const std::string& className) {
    a.PushString(name)
        .PushNumber(0)
        .PushString(className)
        .Action(ActionCode::NewObject)
        .Action(ActionCode::SetVariable);
}

void SetMethod(ActionAssembler& a, const std::string& variable, const std::string& member,
               const std::vector<std::string>& params, const ActionAssembler& body) {
    a.PushString(variable).Action(ActionCode::GetVariable).PushString(member);
    a.DefineFunction("", params, body);
    a.Action(ActionCode::SetMember);
}

void CallAndDrop(ActionAssembler& a, const Push& call) {
    call(a);
    a.Action(ActionCode::Pop);
}

Bytes ScriptMovie(const Definitions& definitions, const std::vector<ActionAssembler>& frames,
                  std::uint32_t background) {
    swf::writer::TagStream tags;
    tags.SetBackgroundColor({static_cast<std::uint8_t>(background >> 16), static_cast<std::uint8_t>(background >> 8),
                             static_cast<std::uint8_t>(background)});
    if (definitions) definitions(tags);
    for (const ActionAssembler& frame : frames) {
        tags.DoAction(frame.Finish());
        tags.ShowFrame();
    }
    swf::writer::MovieHeader header;
    header.frameSize = {0, 4000, 0, 2000};
    header.frameRate = 12;
    return swf::writer::BuildMovie(header, tags);
}

void AddRectangle(swf::writer::TagStream& tags, std::uint16_t id, std::int32_t w, std::int32_t h, std::uint32_t rgb) {
    swf::writer::ShapeBuilder shape;
    const std::uint16_t fill = shape.AddFill(swf::writer::FillStyle::Solid(
        {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8), static_cast<std::uint8_t>(rgb)}));
    shape.Rectangle({0, w, 0, h}, fill);
    tags.Add(swf::writer::TagCode::DefineShape, shape.DefineShapeBody(id, 1));
}

}  // namespace loading_test

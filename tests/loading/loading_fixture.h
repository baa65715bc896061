#pragma once
// What the loading tests share: a movie folder in a fresh temporary folder
// (with its parent standing for "outside"), movies built with the writer and
// the action assembler, and a host that records what scripts report through
// fscommand.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "swf/actions/action_target.h"
#include "swf/writer/action_assembler.h"
#include "swf/writer/tag_stream.h"

namespace loading_test {

using Bytes = std::vector<std::uint8_t>;
using swf::writer::ActionAssembler;

// <temp>/loading_test_N/outside.txt lies beside <temp>/loading_test_N/movie/.
class TempFolders {
public:
    TempFolders();
    ~TempFolders();
    const std::filesystem::path& Movie() const { return movie_; }
    const std::filesystem::path& Outside() const { return outside_; }
    // Writes a file below the movie's folder (folders made as needed).
    void Write(const std::string& relative, const std::string& content) const;
    void Write(const std::string& relative, const Bytes& content) const;

private:
    std::filesystem::path outside_;
    std::filesystem::path movie_;
};

// Records fscommand(label, value) calls as "label=value".
class ReportHost : public swf::ActionHost {
public:
    void FSCommand(const std::string& command, const std::string& args) override;
    std::string FlashCall(const std::string&) override { return {}; }
    void GetURL(const std::string& url, const std::string& target) override;
    std::vector<std::string> reports;
};

// Pushes one value onto the stack.
using Push = std::function<void(ActionAssembler&)>;
Push Str(const std::string& s);
Push Var(const std::string& name);
// object.member, the object named by a variable (or "this").
Push Member(const std::string& variable, const std::string& member);
// object.method(args...) with its result.
Push MethodCall(const std::string& variable, const std::string& method, const std::vector<Push>& args);

// fscommand(label, value).
void Report(ActionAssembler& a, const std::string& label, const Push& value);
// name = value.
void Set(ActionAssembler& a, const std::string& name, const Push& value);
// name = new Class().
void New(ActionAssembler& a, const std::string& name, const std::string& className);
// variable.member = function(params) { body }.
void SetMethod(ActionAssembler& a, const std::string& variable, const std::string& member,
               const std::vector<std::string>& params, const ActionAssembler& body);
// A method call whose result is dropped.
void CallAndDrop(ActionAssembler& a, const Push& call);

// Adds definition and placement tags ahead of the first frame's actions.
using Definitions = std::function<void(swf::writer::TagStream&)>;
// A 200 x 100 px movie: `definitions` first, then one frame per action block.
Bytes ScriptMovie(const Definitions& definitions, const std::vector<ActionAssembler>& frames,
                  std::uint32_t background = 0xFFFFFF);
// Defines shape `id`: a `rgb` rectangle over twips [0, w) x [0, h).
void AddRectangle(swf::writer::TagStream& tags, std::uint16_t id, std::int32_t w, std::int32_t h, std::uint32_t rgb);

}  // namespace loading_test

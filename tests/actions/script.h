#pragma once
// Runs test programs built with the script expressions and collects what
// they trace.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/actions/fakes.h"
#include "swf/writer/script_expressions.h"

namespace actions_test {

using swf::writer::ActionAssembler;
using swf::writer::ActionCode;
using namespace swf::writer::script;

// Runs the program and returns its trace lines.
struct Traced {
    swf::actions::RunStatus status;
    std::vector<std::string> lines;
};
inline Traced RunTraced(Machine& m, const ActionAssembler& a) {
    Traced out;
    m.vm.SetTraceHandler([&](const std::string& line) { out.lines.push_back(line); });
    out.status = m.Run(a);
    m.vm.SetTraceHandler(nullptr);
    return out;
}

using Lines = std::vector<std::string>;

}  // namespace actions_test

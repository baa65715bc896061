#pragma once
// A recording timeline and host for running action blocks in tests.

#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "swf/actions/action_target.h"
#include "swf/actions/vm.h"
#include "swf/writer/action_assembler.h"

namespace actions_test {

class FakeTarget : public swf::ActionTarget {
public:
    explicit FakeTarget(std::string name = "main") : name_(std::move(name)) {}

    void Play() override { calls.push_back(name_ + ".play"); }
    void Stop() override { calls.push_back(name_ + ".stop"); }
    void NextFrame() override {
        calls.push_back(name_ + ".next");
        ++frame;
    }
    void PrevFrame() override {
        calls.push_back(name_ + ".prev");
        if (frame) --frame;
    }
    void GotoFrame(std::uint32_t f) override {
        calls.push_back(name_ + ".goto " + std::to_string(f));
        frame = f < frameCount ? f : frameCount - 1;
    }
    bool GotoLabel(const std::string& label) override {
        auto it = labels.find(label);
        calls.push_back(name_ + ".label " + label + (it == labels.end() ? " (missing)" : ""));
        if (it == labels.end()) return false;
        frame = it->second;
        return true;
    }
    std::uint32_t CurrentFrame() const override { return frame; }
    std::uint32_t FrameCount() const override { return frameCount; }
    swf::ActionTarget* FindTarget(const std::string& path) override {
        auto it = children.find(path);
        return it == children.end() ? nullptr : it->second;
    }
    swf::DisplayTarget* FindChildObject(const std::string& name) override { return FindTarget(name); }
    // Display properties are plain stored numbers here.
    double GetDisplayNumber(swf::DisplayProperty property) override {
        auto it = numbers.find(property);
        return it == numbers.end() ? std::nan("") : it->second;
    }
    void SetDisplayNumber(swf::DisplayProperty property, double value) override { numbers[property] = value; }
    std::string InstanceName() const override { return name_; }

    // Colour, matrix and effects are kept as set; each setter is recorded in `calls`.
    swf::raster::ColorTransform GetColorTransform() override { return colors; }
    void SetColorTransform(const swf::raster::ColorTransform& k) override {
        calls.push_back(name_ + ".setColorTransform");
        colors = k;
    }
    swf::raster::ColorTransform GetConcatenatedColorTransform() override { return concatenatedColors; }
    swf::raster::Matrix GetMatrix() override { return matrix; }
    void SetMatrix(const swf::raster::Matrix& m) override {
        calls.push_back(name_ + ".setMatrix");
        matrix = m;
    }
    swf::raster::Matrix GetConcatenatedMatrix() override { return concatenatedMatrix; }
    swf::ScriptBox PixelBounds() override { return pixelBounds; }
    std::vector<swf::raster::Filter> GetFilters() override { return filters; }
    void SetFilters(std::vector<swf::raster::Filter> f) override {
        calls.push_back(name_ + ".setFilters " + std::to_string(f.size()));
        filters = std::move(f);
    }
    swf::raster::BlendMode GetBlendMode() override { return blendMode; }
    void SetBlendMode(swf::raster::BlendMode mode) override {
        calls.push_back(name_ + ".setBlendMode " + std::to_string(static_cast<int>(mode)));
        blendMode = mode;
    }
    bool GetCacheAsBitmap() override { return cacheAsBitmap; }
    void SetCacheAsBitmap(bool cache) override {
        calls.push_back(name_ + ".setCacheAsBitmap " + (cache ? "true" : "false"));
        cacheAsBitmap = cache;
    }

    std::vector<std::string> calls;
    std::uint32_t frame = 0;
    std::uint32_t frameCount = 10;
    std::map<std::string, std::uint32_t> labels;
    std::map<std::string, swf::ActionTarget*> children;
    std::map<swf::DisplayProperty, double> numbers;
    swf::raster::ColorTransform colors;
    swf::raster::ColorTransform concatenatedColors;
    swf::raster::Matrix matrix;
    swf::raster::Matrix concatenatedMatrix;
    swf::ScriptBox pixelBounds;
    std::vector<swf::raster::Filter> filters;
    swf::raster::BlendMode blendMode = swf::raster::BlendMode::Normal;
    bool cacheAsBitmap = false;

private:
    std::string name_;
};

class FakeHost : public swf::ActionHost {
public:
    void FSCommand(const std::string& command, const std::string& args) override {
        fscommands.emplace_back(command, args);
    }
    std::string FlashCall(const std::string& request) override {
        requests.push_back(request);
        return answer;
    }
    void GetURL(const std::string& url, const std::string& target) override { urls.emplace_back(url, target); }

    std::vector<std::pair<std::string, std::string>> fscommands;
    std::vector<std::string> requests;
    std::vector<std::pair<std::string, std::string>> urls;
    std::string answer;
};

// A value with its type, for exact comparisons: "number:3", "string:a", "undefined".
inline std::string Show(const swf::actions::Vm& vm, const swf::actions::Value& v) {
    using swf::actions::ValueType;
    switch (v.type()) {
    case ValueType::Undefined: return "undefined";
    case ValueType::Null: return "null";
    case ValueType::Boolean: return v.AsBool() ? "boolean:true" : "boolean:false";
    case ValueType::Number: return "number:" + vm.ToText(v);
    case ValueType::String: return "string:" + v.AsString();
    case ValueType::Object: return "object:" + vm.ToText(v);
    }
    return "?";
}

struct Machine {
    explicit Machine(int version = 8, swf::actions::VmLimits limits = {}) : vm(version, limits) {}

    swf::actions::RunStatus Run(const swf::writer::ActionAssembler& code) {
        std::vector<std::uint8_t> bytes = code.Finish();
        return vm.Run(bytes, target, host);
    }
    swf::actions::RunStatus RunBytes(const std::vector<std::uint8_t>& bytes) { return vm.Run(bytes, target, host); }
    std::string Var(const std::string& name) { return Show(vm, vm.GetVariable(target, name)); }

    // Runs `r = <expression>` where `push` leaves the expression's value on the stack.
    template <typename Build>
    std::string Eval(Build push) {
        swf::writer::ActionAssembler a;
        a.PushString("r");
        push(a);
        a.Action(swf::writer::ActionCode::SetVariable);
        Run(a);
        return Var("r");
    }

    FakeTarget target;
    FakeHost host;
    swf::actions::Vm vm;
};

}  // namespace actions_test

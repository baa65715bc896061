// The action VM on arbitrary code against a timeline and host that accept anything.
#include <cstdint>
#include <span>
#include <string>

#include "swf/actions/vm.h"

namespace {

class AnyTarget : public swf::ActionTarget {
public:
    void Play() override {}
    void Stop() override {}
    void NextFrame() override {
        if (frame_ + 1 < 5) ++frame_;
    }
    void PrevFrame() override {
        if (frame_) --frame_;
    }
    void GotoFrame(std::uint32_t f) override { frame_ = f < 5 ? f : 4; }
    bool GotoLabel(const std::string& label) override { return label == "a"; }
    std::uint32_t CurrentFrame() const override { return frame_; }
    std::uint32_t FrameCount() const override { return 5; }

private:
    std::uint32_t frame_ = 0;
};

class AnyHost : public swf::ActionHost {
public:
    void FSCommand(const std::string&, const std::string&) override {}
    std::string FlashCall(const std::string&) override { return "<string>ok</string>"; }
    void GetURL(const std::string&, const std::string&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Tighter limits than a player's, so each input stays fast.
    swf::actions::VmLimits limits;
    limits.maxActions = 20000;
    swf::actions::Vm vm(8, limits);
    AnyTarget target;
    AnyHost host;
    const std::span<const std::uint8_t> code(data, size);
    vm.Run(code, target, host);
    vm.Run(code, target, host);    // again, with the state the first run left
    vm.AdvanceTimers(1000, host);  // and whatever timers it started
    return 0;
}

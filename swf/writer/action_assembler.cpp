#include "swf/writer/action_assembler.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "swf/writer/bit_writer.h"

namespace swf::writer {

namespace {

constexpr std::uint8_t kGotoFrame = 0x81, kGetURL = 0x83, kStoreRegister = 0x87, kConstantPool = 0x88,
                       kSetTarget = 0x8B, kGoToLabel = 0x8C, kDefineFunction2 = 0x8E, kPush = 0x96, kJump = 0x99,
                       kGetURL2 = 0x9A, kDefineFunction = 0x9B, kIf = 0x9D, kGotoFrame2 = 0x9F;

}  // namespace

ActionAssembler& ActionAssembler::Action(ActionCode code) { return Action(static_cast<std::uint8_t>(code)); }

ActionAssembler& ActionAssembler::Action(std::uint8_t code, const std::vector<std::uint8_t>& payload) {
    code_.push_back(code);
    if (code >= 0x80) {
        if (payload.size() > 0xFFFF) throw std::invalid_argument("action payload longer than 65535 bytes");
        code_.push_back(static_cast<std::uint8_t>(payload.size() & 0xFF));
        code_.push_back(static_cast<std::uint8_t>(payload.size() >> 8));
        code_.insert(code_.end(), payload.begin(), payload.end());
    }
    return *this;
}

ActionAssembler& ActionAssembler::Raw(const std::vector<std::uint8_t>& bytes) {
    code_.insert(code_.end(), bytes.begin(), bytes.end());
    return *this;
}

ActionAssembler& ActionAssembler::ConstantPool(const std::vector<std::string>& strings) {
    BitWriter w;
    w.U16(static_cast<std::uint16_t>(strings.size()));
    for (const auto& s : strings) w.String(s);
    return Action(kConstantPool, w.bytes());
}

ActionAssembler& ActionAssembler::PoolStrings(std::shared_ptr<std::vector<std::string>> pool) {
    pool_ = std::move(pool);
    return *this;
}

ActionAssembler& ActionAssembler::PushString(const std::string& s) {
    if (pool_) {
        auto entry = std::find(pool_->begin(), pool_->end(), s);
        if (entry == pool_->end() && pool_->size() < 0x10000) entry = pool_->insert(pool_->end(), s);
        if (entry != pool_->end()) return PushConstant(static_cast<std::uint16_t>(entry - pool_->begin()));
    }
    BitWriter w;
    w.U8(0);
    w.String(s);
    return Action(kPush, w.bytes());
}

ActionAssembler& ActionAssembler::PushNumber(double n) {
    BitWriter w;
    if (std::trunc(n) == n && n >= -2147483648.0 && n <= 2147483647.0 && !(n == 0 && std::signbit(n))) {
        w.U8(7);
        w.U32(static_cast<std::uint32_t>(static_cast<std::int32_t>(n)));
    } else {
        // Doubles go high word first, each word little-endian.
        std::uint64_t bits;
        std::memcpy(&bits, &n, sizeof bits);
        w.U8(6);
        w.U32(static_cast<std::uint32_t>(bits >> 32));
        w.U32(static_cast<std::uint32_t>(bits));
    }
    return Action(kPush, w.bytes());
}

ActionAssembler& ActionAssembler::PushFloat(float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    BitWriter w;
    w.U8(1);
    w.U32(bits);
    return Action(kPush, w.bytes());
}

ActionAssembler& ActionAssembler::PushBool(bool b) { return Action(kPush, {5, static_cast<std::uint8_t>(b)}); }
ActionAssembler& ActionAssembler::PushNull() { return Action(kPush, {2}); }
ActionAssembler& ActionAssembler::PushUndefined() { return Action(kPush, {3}); }
ActionAssembler& ActionAssembler::PushRegister(std::uint8_t index) { return Action(kPush, {4, index}); }

ActionAssembler& ActionAssembler::PushConstant(std::uint16_t index) {
    if (index < 256) return Action(kPush, {8, static_cast<std::uint8_t>(index)});
    return Action(kPush, {9, static_cast<std::uint8_t>(index & 0xFF), static_cast<std::uint8_t>(index >> 8)});
}

ActionAssembler& ActionAssembler::StoreRegister(std::uint8_t index) { return Action(kStoreRegister, {index}); }

ActionAssembler& ActionAssembler::GotoFrame(std::uint16_t frame) {
    return Action(kGotoFrame, {static_cast<std::uint8_t>(frame & 0xFF), static_cast<std::uint8_t>(frame >> 8)});
}

ActionAssembler& ActionAssembler::GotoLabel(const std::string& label) {
    BitWriter w;
    w.String(label);
    return Action(kGoToLabel, w.bytes());
}

ActionAssembler& ActionAssembler::GotoFrame2(bool play, std::uint16_t sceneBias) {
    BitWriter w;
    w.U8(static_cast<std::uint8_t>((play ? 1 : 0) | (sceneBias ? 2 : 0)));
    if (sceneBias) w.U16(sceneBias);
    return Action(kGotoFrame2, w.bytes());
}

ActionAssembler& ActionAssembler::SetTarget(const std::string& target) {
    BitWriter w;
    w.String(target);
    return Action(kSetTarget, w.bytes());
}

ActionAssembler& ActionAssembler::GetURL(const std::string& url, const std::string& target) {
    BitWriter w;
    w.String(url);
    w.String(target);
    return Action(kGetURL, w.bytes());
}

ActionAssembler& ActionAssembler::GetURL2(std::uint8_t flags) { return Action(kGetURL2, {flags}); }

ActionAssembler& ActionAssembler::Label(const std::string& name) {
    if (!labels_.emplace(name, code_.size()).second) throw std::invalid_argument("label defined twice: " + name);
    return *this;
}

ActionAssembler& ActionAssembler::Jump(const std::string& label) {
    Action(kJump, {0, 0});
    fixups_.push_back({code_.size() - 2, label});
    return *this;
}

ActionAssembler& ActionAssembler::If(const std::string& label) {
    Action(kIf, {0, 0});
    fixups_.push_back({code_.size() - 2, label});
    return *this;
}

ActionAssembler& ActionAssembler::JumpBy(std::int16_t offset) {
    auto u = static_cast<std::uint16_t>(offset);
    return Action(kJump, {static_cast<std::uint8_t>(u & 0xFF), static_cast<std::uint8_t>(u >> 8)});
}

ActionAssembler& ActionAssembler::DefineFunction(const std::string& name, const std::vector<std::string>& params,
                                                 const ActionAssembler& body) {
    std::vector<std::uint8_t> code = body.Bytes();
    BitWriter w;
    w.String(name);
    w.U16(static_cast<std::uint16_t>(params.size()));
    for (const auto& p : params) w.String(p);
    w.U16(static_cast<std::uint16_t>(code.size()));
    Action(kDefineFunction, w.bytes());
    return Raw(code);
}

ActionAssembler& ActionAssembler::DefineFunction2(const std::string& name, std::uint8_t registerCount,
                                                  std::uint16_t flags,
                                                  const std::vector<std::pair<std::uint8_t, std::string>>& params,
                                                  const ActionAssembler& body) {
    std::vector<std::uint8_t> code = body.Bytes();
    BitWriter w;
    w.String(name);
    w.U16(static_cast<std::uint16_t>(params.size()));
    w.U8(registerCount);
    w.U16(flags);
    for (const auto& [reg, param] : params) {
        w.U8(reg);
        w.String(param);
    }
    w.U16(static_cast<std::uint16_t>(code.size()));
    Action(kDefineFunction2, w.bytes());
    return Raw(code);
}

ActionAssembler& ActionAssembler::FsCommand(const std::string& command, const std::string& args) {
    return GetURL("FSCommand:" + command, args);
}

ActionAssembler& ActionAssembler::ExternalInterfaceCall(const std::string& name, const std::vector<std::string>& args) {
    // Arguments go on the stack last-first, then their count and the method.
    for (auto it = args.rbegin(); it != args.rend(); ++it) PushString(*it);
    PushString(name);
    PushNumber(static_cast<double>(args.size() + 1));
    PushString("flash");
    Action(ActionCode::GetVariable);
    PushString("external");
    Action(ActionCode::GetMember);
    PushString("ExternalInterface");
    Action(ActionCode::GetMember);
    PushString("call");
    Action(ActionCode::CallMethod);
    return Action(ActionCode::Pop);
}

std::vector<std::uint8_t> ActionAssembler::Bytes() const {
    std::vector<std::uint8_t> out = code_;
    for (const auto& f : fixups_) {
        auto it = labels_.find(f.label);
        if (it == labels_.end()) throw std::invalid_argument("unknown label: " + f.label);
        long long offset = static_cast<long long>(it->second) - static_cast<long long>(f.field + 2);
        if (offset < -32768 || offset > 32767) throw std::invalid_argument("jump too far: " + f.label);
        auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(offset));
        out[f.field] = static_cast<std::uint8_t>(u & 0xFF);
        out[f.field + 1] = static_cast<std::uint8_t>(u >> 8);
    }
    return out;
}

std::vector<std::uint8_t> ActionAssembler::Finish() const {
    std::vector<std::uint8_t> out = Bytes();
    out.push_back(0);
    return out;
}

}  // namespace swf::writer

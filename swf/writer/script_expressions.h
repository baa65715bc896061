#pragma once
// Builds action programs as a compiler lays them out, one expression or
// statement per call, so that programs read close to the ActionScript they
// stand for: `Let(a, "sum", Add(V("sum"), N(1)))` is `sum = sum + 1`.

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "swf/writer/action_assembler.h"

namespace swf::writer::script {

// Leaves one value on the stack.
using Expr = std::function<void(ActionAssembler&)>;

inline Expr S(std::string s) {
    return [s](ActionAssembler& a) { a.PushString(s); };
}
inline Expr N(double n) {
    return [n](ActionAssembler& a) { a.PushNumber(n); };
}
inline Expr B(bool b) {
    return [b](ActionAssembler& a) { a.PushBool(b); };
}
inline Expr Null() {
    return [](ActionAssembler& a) { a.PushNull(); };
}
inline Expr Undef() {
    return [](ActionAssembler& a) { a.PushUndefined(); };
}
inline Expr Reg(std::uint8_t r) {
    return [r](ActionAssembler& a) { a.PushRegister(r); };
}
// A variable by name (GetVariable).
inline Expr V(std::string name) {
    return [name](ActionAssembler& a) { a.PushString(name).Action(ActionCode::GetVariable); };
}
// object.name
inline Expr M(Expr object, std::string name) {
    return [object, name](ActionAssembler& a) {
        object(a);
        a.PushString(name).Action(ActionCode::GetMember);
    };
}
// Arguments go on the stack last first, then their count.
inline void PushArgs(ActionAssembler& a, const std::vector<Expr>& args) {
    for (auto it = args.rbegin(); it != args.rend(); ++it) (*it)(a);
    a.PushNumber(static_cast<double>(args.size()));
}
// object.method(args); an empty method calls the object itself.
inline Expr CallM(Expr object, std::string method, std::vector<Expr> args = {}) {
    return [=](ActionAssembler& a) {
        PushArgs(a, args);
        object(a);
        if (method.empty())
            a.PushUndefined();
        else
            a.PushString(method);
        a.Action(ActionCode::CallMethod);
    };
}
// name(args)
inline Expr CallF(std::string name, std::vector<Expr> args = {}) {
    return [=](ActionAssembler& a) {
        PushArgs(a, args);
        a.PushString(name).Action(ActionCode::CallFunction);
    };
}
// new name(args)
inline Expr New(std::string name, std::vector<Expr> args = {}) {
    return [=](ActionAssembler& a) {
        PushArgs(a, args);
        a.PushString(name).Action(ActionCode::NewObject);
    };
}
// new object.method(args)
inline Expr NewM(Expr object, std::string method, std::vector<Expr> args = {}) {
    return [=](ActionAssembler& a) {
        PushArgs(a, args);
        object(a);
        a.PushString(method).Action(static_cast<std::uint8_t>(0x53));
    };
}
inline Expr Op(std::uint8_t code, Expr left, Expr right) {
    return [=](ActionAssembler& a) {
        left(a);
        right(a);
        a.Action(code);
    };
}
inline Expr Unary(std::uint8_t code, Expr operand) {
    return [=](ActionAssembler& a) {
        operand(a);
        a.Action(code);
    };
}
inline Expr TypeOf(Expr e) { return Unary(0x44, std::move(e)); }
inline Expr Not(Expr e) { return Unary(0x12, std::move(e)); }
inline Expr Add(Expr l, Expr r) { return Op(0x47, std::move(l), std::move(r)); }
// An anonymous function (DefineFunction) built from `body`.
inline Expr Fn(std::vector<std::string> params, ActionAssembler body) {
    return [=](ActionAssembler& a) { a.DefineFunction("", params, body); };
}
inline Expr Fn2(std::uint8_t registers, std::uint16_t flags, std::vector<std::pair<std::uint8_t, std::string>> params,
                ActionAssembler body) {
    return [=](ActionAssembler& a) { a.DefineFunction2("", registers, flags, params, body); };
}
// [a, b, ...]
inline Expr Arr(std::vector<Expr> items) {
    return [=](ActionAssembler& a) {
        PushArgs(a, items);
        a.Action(ActionCode::InitArray);
    };
}
// {k: v, ...}
inline Expr Obj(std::vector<std::pair<std::string, Expr>> fields) {
    return [=](ActionAssembler& a) {
        for (const auto& [k, v] : fields) {
            a.PushString(k);
            v(a);
        }
        a.PushNumber(static_cast<double>(fields.size())).Action(ActionCode::InitObject);
    };
}

// Statements.
inline void Trace(ActionAssembler& a, Expr e) {
    e(a);
    a.Action(ActionCode::Trace);
}
inline void Let(ActionAssembler& a, const std::string& name, Expr e) {
    a.PushString(name);
    e(a);
    a.Action(ActionCode::SetVariable);
}
inline void Local(ActionAssembler& a, const std::string& name, Expr e) {
    a.PushString(name);
    e(a);
    a.Action(ActionCode::DefineLocal);
}
inline void SetM(ActionAssembler& a, Expr object, const std::string& name, Expr value) {
    object(a);
    a.PushString(name);
    value(a);
    a.Action(ActionCode::SetMember);
}
inline void Do(ActionAssembler& a, Expr e) {
    e(a);
    a.Action(ActionCode::Pop);
}
inline void Return(ActionAssembler& a, Expr e) {
    e(a);
    a.Action(ActionCode::Return);
}
inline void Throw(ActionAssembler& a, Expr e) {
    e(a);
    a.Action(static_cast<std::uint8_t>(0x2A));
}
// try { body } catch (name) { handler } finally { cleanup }; an empty name
// means no catch block, an empty cleanup no finally block.
inline void Try(ActionAssembler& a, const ActionAssembler& body, const std::string& name,
                const ActionAssembler& handler, const ActionAssembler* cleanup = nullptr) {
    std::vector<std::uint8_t> t = body.Bytes(), c = handler.Bytes();
    std::vector<std::uint8_t> f = cleanup ? cleanup->Bytes() : std::vector<std::uint8_t>{};
    std::uint8_t flags = static_cast<std::uint8_t>((name.empty() ? 0 : 1) | (cleanup ? 2 : 0));
    std::vector<std::uint8_t> payload = {flags,
                                         static_cast<std::uint8_t>(t.size()),
                                         static_cast<std::uint8_t>(t.size() >> 8),
                                         static_cast<std::uint8_t>(c.size()),
                                         static_cast<std::uint8_t>(c.size() >> 8),
                                         static_cast<std::uint8_t>(f.size()),
                                         static_cast<std::uint8_t>(f.size() >> 8)};
    for (char c : name) payload.push_back(static_cast<std::uint8_t>(c));
    payload.push_back(0);
    a.Action(0x8F, payload).Raw(t).Raw(c).Raw(f);
}

}  // namespace swf::writer::script

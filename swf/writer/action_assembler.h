#pragma once
// Assembles AVM1 action bytes: one call per action, labels for Jump and If,
// nested function bodies. Bytes() resolves labels; Finish() adds the End action.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace swf::writer {

// Action codes the assembler names; others go through Action(code, payload).
enum class ActionCode : std::uint8_t {
    NextFrame = 0x04,
    PrevFrame = 0x05,
    Play = 0x06,
    Stop = 0x07,
    Add = 0x0A,
    Subtract = 0x0B,
    Multiply = 0x0C,
    Divide = 0x0D,
    Equals = 0x0E,
    Less = 0x0F,
    And = 0x10,
    Or = 0x11,
    Not = 0x12,
    StringEquals = 0x13,
    StringLength = 0x14,
    Pop = 0x17,
    GetVariable = 0x1C,
    SetVariable = 0x1D,
    StringAdd = 0x21,
    Trace = 0x26,
    DefineLocal = 0x3C,
    CallFunction = 0x3D,
    Return = 0x3E,
    Modulo = 0x3F,
    NewObject = 0x40,
    DefineLocal2 = 0x41,
    InitArray = 0x42,
    InitObject = 0x43,
    TypeOf = 0x44,
    Add2 = 0x47,
    Less2 = 0x48,
    Equals2 = 0x49,
    ToNumber = 0x4A,
    ToString = 0x4B,
    PushDuplicate = 0x4C,
    StackSwap = 0x4D,
    GetMember = 0x4E,
    SetMember = 0x4F,
    Increment = 0x50,
    Decrement = 0x51,
    CallMethod = 0x52,
    NewMethod = 0x53,
    StrictEquals = 0x66,
    Greater = 0x67,
};

class ActionAssembler {
public:
    ActionAssembler& Action(ActionCode code);
    // Any action; codes from 0x80 up get the length field and the payload.
    ActionAssembler& Action(std::uint8_t code, const std::vector<std::uint8_t>& payload = {});
    ActionAssembler& Raw(const std::vector<std::uint8_t>& bytes);

    ActionAssembler& ConstantPool(const std::vector<std::string>& strings);
    // From now on PushString pushes the string's entry in `pool` (added on
    // first use), as compilers do. Assemblers of function bodies may share
    // the pool; the code that runs them declares it first (ConstantPool).
    ActionAssembler& PoolStrings(std::shared_ptr<std::vector<std::string>> pool);
    ActionAssembler& PushString(const std::string& s);
    // Whole numbers that fit 32 bits go as integers, others as doubles.
    ActionAssembler& PushNumber(double n);
    ActionAssembler& PushFloat(float f);
    ActionAssembler& PushBool(bool b);
    ActionAssembler& PushNull();
    ActionAssembler& PushUndefined();
    ActionAssembler& PushRegister(std::uint8_t index);
    ActionAssembler& PushConstant(std::uint16_t index);
    ActionAssembler& StoreRegister(std::uint8_t index);

    ActionAssembler& GotoFrame(std::uint16_t frame);  // 0-based
    ActionAssembler& GotoLabel(const std::string& label);
    ActionAssembler& GotoFrame2(bool play, std::uint16_t sceneBias = 0);
    ActionAssembler& SetTarget(const std::string& target);
    ActionAssembler& GetURL(const std::string& url, const std::string& target);
    ActionAssembler& GetURL2(std::uint8_t flags = 0);

    ActionAssembler& Label(const std::string& name);
    ActionAssembler& Jump(const std::string& label);
    ActionAssembler& If(const std::string& label);
    ActionAssembler& JumpBy(std::int16_t offset);  // raw offset from the next action

    ActionAssembler& DefineFunction(const std::string& name, const std::vector<std::string>& params,
                                    const ActionAssembler& body);
    // params: (register, name); register 0 keeps the parameter as a named local.
    ActionAssembler& DefineFunction2(const std::string& name, std::uint8_t registerCount, std::uint16_t flags,
                                     const std::vector<std::pair<std::uint8_t, std::string>>& params,
                                     const ActionAssembler& body);

    // fscommand(command, args): GetURL "FSCommand:command" with args as target.
    ActionAssembler& FsCommand(const std::string& command, const std::string& args);
    // flash.external.ExternalInterface.call(name, args...), result popped.
    ActionAssembler& ExternalInterfaceCall(const std::string& name, const std::vector<std::string>& args = {});

    // The code with labels resolved; throws std::invalid_argument for an
    // unknown label or a jump beyond 16 bits.
    std::vector<std::uint8_t> Bytes() const;
    // Bytes() followed by the End action.
    std::vector<std::uint8_t> Finish() const;

private:
    struct Fixup {
        std::size_t field;  // position of the SI16 offset
        std::string label;
    };
    std::vector<std::uint8_t> code_;
    std::map<std::string, std::size_t> labels_;
    std::vector<Fixup> fixups_;
    std::shared_ptr<std::vector<std::string>> pool_;
};

}  // namespace swf::writer

// The code of the method being assembled: its bytes, labels and the
// branches still waiting for their labels.
//
// Every limit is checked before anything is changed, so an instruction is
// either emitted whole or rejected with a TranslationError.
#pragma once

#include "bytes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace jal {

class MethodCode {
public:
    MethodCode() { reset(); }

    // The state at the start of every method.
    void reset();

    // Appends the low byte of each value.
    void emit(std::initializer_list<uint32_t> bytes);
    // The opcode and two bytes that resolve() fills with the offset.  The
    // line and the label's text name the branch if its label stays
    // undefined.
    void branch(uint8_t opcode, int32_t label, int line, const std::string& text);
    // The label's position is the current code length.
    void defineLabel(int32_t label);
    // Stores each pending branch's offset: the label's position relative
    // to the branch opcode.  A branch to a label this method never defines
    // is a TranslationError naming the first such branch: jumping anywhere
    // would make a class file that runs the wrong code.
    void resolve();

    const Bytes& code() const { return code_; }
    std::size_t length() const { return code_.size(); }

    uint16_t maxStack = 10;
    uint16_t maxLocals = 2;

private:
    struct Pending {
        std::size_t at; // position of the two offset bytes
        int32_t label;
        int line;
        std::string text;
    };

    static constexpr std::size_t kUndefined = static_cast<std::size_t>(-1);

    void reserve(std::size_t bytes) const;
    static void checkLabel(int32_t label);

    Bytes code_;
    std::array<std::size_t, 100> labels_{};
    std::vector<Pending> pending_;
};

} // namespace jal

#include "method_code.h"

#include "error.h"
#include "limits.h"
#include "messages.h"

namespace jal {

void MethodCode::reset()
{
    code_.clear();
    code_.reserve(64);
    maxStack = 10;
    maxLocals = 2;
    labels_.fill(kUndefined);
    pending_.clear();
}

void MethodCode::reserve(std::size_t bytes) const
{
    if (code_.size() + bytes > limits::kCodeBytes)
        throw TranslationError{msg::kCodeTooLong};
}

void MethodCode::checkLabel(int32_t label)
{
    if (label < 0 || label > limits::kMaxLabel)
        throw TranslationError{msg::kBadLabel};
}

void MethodCode::emit(std::initializer_list<uint32_t> bytes)
{
    reserve(bytes.size());
    for (uint32_t b : bytes)
        put1(code_, b);
}

void MethodCode::branch(uint8_t opcode, int32_t label, int line, const std::string& text)
{
    checkLabel(label);
    if (pending_.size() >= limits::kPendingBranches)
        throw TranslationError{msg::kTooManyBranches};
    reserve(3);
    put1(code_, opcode);
    pending_.push_back(Pending{code_.size(), label, line, text});
    put2(code_, 0);
}

void MethodCode::defineLabel(int32_t label)
{
    checkLabel(label);
    labels_[static_cast<std::size_t>(label)] = code_.size();
}

void MethodCode::resolve()
{
    for (const Pending& p : pending_)
        if (labels_[static_cast<std::size_t>(p.label)] == kUndefined)
            throw TranslationError{msg::kUndefinedLabel, p.line, p.text};
    for (const Pending& p : pending_) {
        // Both positions are below 10000, so the offset fits in 16 bits.
        const long offset = static_cast<long>(labels_[static_cast<std::size_t>(p.label)]) -
                            static_cast<long>(p.at) + 1;
        const auto v = static_cast<uint16_t>(offset);
        code_[p.at] = static_cast<uint8_t>(v >> 8);
        code_[p.at + 1] = static_cast<uint8_t>(v);
    }
    pending_.clear();
}

} // namespace jal

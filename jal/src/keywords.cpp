#include "keywords.h"

#include <array>
#include <string>
#include <unordered_map>

namespace jal {
namespace {

struct Mnemonic {
    const char* name;
    OpClass cls;
};

using C = OpClass;

// Indexed by opcode, 0 ("nop") to 199 ("ifnonnull").  186 has no mnemonic.
constexpr std::array<Mnemonic, 200> kMnemonics = {{
    {"nop", C::I0}, {"aconst_null", C::I0},
    {"iconst_m1", C::I0}, {"iconst_0", C::I0}, {"iconst_1", C::I0}, {"iconst_2", C::I0},
    {"iconst_3", C::I0}, {"iconst_4", C::I0}, {"iconst_5", C::I0},
    {"lconst_0", C::I0}, {"lconst_1", C::I0},
    {"fconst_0", C::I0}, {"fconst_1", C::I0}, {"fconst_2", C::I0},
    {"dconst_0", C::I0}, {"dconst_1", C::I0},
    {"bipush", C::I1}, {"sipush", C::Sipush},
    {"ldc", C::Ldc}, {"ldc_w", C::Ldc}, {"ldc2_w", C::Ldc2},
    {"iload", C::I1}, {"lload", C::I1}, {"fload", C::I1}, {"dload", C::I1}, {"aload", C::I1},
    {"iload_0", C::I0}, {"iload_1", C::I0}, {"iload_2", C::I0}, {"iload_3", C::I0},
    {"lload_0", C::I0}, {"lload_1", C::I0}, {"lload_2", C::I0}, {"lload_3", C::I0},
    {"fload_0", C::I0}, {"fload_1", C::I0}, {"fload_2", C::I0}, {"fload_3", C::I0},
    {"dload_0", C::I0}, {"dload_1", C::I0}, {"dload_2", C::I0}, {"dload_3", C::I0},
    {"aload_0", C::I0}, {"aload_1", C::I0}, {"aload_2", C::I0}, {"aload_3", C::I0},
    {"iaload", C::I0}, {"laload", C::I0}, {"faload", C::I0}, {"daload", C::I0},
    {"aaload", C::I0}, {"baload", C::I0}, {"caload", C::I0}, {"saload", C::I0},
    {"istore", C::I1}, {"lstore", C::I1}, {"fstore", C::I1}, {"dstore", C::I1}, {"astore", C::I1},
    {"istore_0", C::I0}, {"istore_1", C::I0}, {"istore_2", C::I0}, {"istore_3", C::I0},
    {"lstore_0", C::I0}, {"lstore_1", C::I0}, {"lstore_2", C::I0}, {"lstore_3", C::I0},
    {"fstore_0", C::I0}, {"fstore_1", C::I0}, {"fstore_2", C::I0}, {"fstore_3", C::I0},
    {"dstore_0", C::I0}, {"dstore_1", C::I0}, {"dstore_2", C::I0}, {"dstore_3", C::I0},
    {"astore_0", C::I0}, {"astore_1", C::I0}, {"astore_2", C::I0}, {"astore_3", C::I0},
    {"iastore", C::I0}, {"lastore", C::I0}, {"fastore", C::I0}, {"dastore", C::I0},
    {"aastore", C::I0}, {"bastore", C::I0}, {"castore", C::I0}, {"sastore", C::I0},
    {"pop", C::I0}, {"pop2", C::I0}, {"dup", C::I0}, {"dup_x1", C::I0}, {"dup_x2", C::I0},
    {"dup2", C::I0}, {"dup2_x1", C::I0}, {"dup2_x2", C::I0}, {"swap", C::I0},
    {"iadd", C::I0}, {"ladd", C::I0}, {"fadd", C::I0}, {"dadd", C::I0},
    {"isub", C::I0}, {"lsub", C::I0}, {"fsub", C::I0}, {"dsub", C::I0},
    {"imul", C::I0}, {"lmul", C::I0}, {"fmul", C::I0}, {"dmul", C::I0},
    {"idiv", C::I0}, {"ldiv", C::I0}, {"fdiv", C::I0}, {"ddiv", C::I0},
    {"irem", C::I0}, {"lrem", C::I0}, {"frem", C::I0}, {"drem", C::I0},
    {"ineg", C::I0}, {"lneg", C::I0}, {"fneg", C::I0}, {"dneg", C::I0},
    {"ishl", C::I0}, {"lshl", C::I0}, {"ishr", C::I0}, {"lshr", C::I0},
    {"iushr", C::I0}, {"lushr", C::I0},
    {"iand", C::I0}, {"land", C::I0}, {"ior", C::I0}, {"lor", C::I0},
    {"ixor", C::I0}, {"lxor", C::I0},
    {"iinc", C::Iinc},
    {"i2l", C::I0}, {"i2f", C::I0}, {"i2d", C::I0}, {"l2i", C::I0}, {"l2f", C::I0},
    {"l2d", C::I0}, {"f2i", C::I0}, {"f2l", C::I0}, {"f2d", C::I0}, {"d2i", C::I0},
    {"d2l", C::I0}, {"d2f", C::I0}, {"i2b", C::I0}, {"i2c", C::I0}, {"i2s", C::I0},
    {"lcmp", C::I0}, {"fcmpl", C::I0}, {"fcmpg", C::I0}, {"dcmpl", C::I0}, {"dcmpg", C::I0},
    {"ifeq", C::Branch}, {"ifne", C::Branch}, {"iflt", C::Branch}, {"ifge", C::Branch},
    {"ifgt", C::Branch}, {"ifle", C::Branch},
    {"if_icmpeq", C::Branch}, {"if_icmpne", C::Branch}, {"if_icmplt", C::Branch},
    {"if_icmpge", C::Branch}, {"if_icmpgt", C::Branch}, {"if_icmple", C::Branch},
    {"if_acmpeq", C::Branch}, {"if_acmpne", C::Branch},
    {"goto", C::Branch}, {"jsr", C::Branch}, {"ret", C::I1},
    {"tableswitch", C::Unsupported}, {"lookupswitch", C::Unsupported},
    {"ireturn", C::I0}, {"lreturn", C::I0}, {"freturn", C::I0}, {"dreturn", C::I0},
    {"areturn", C::I0}, {"return", C::I0},
    {"getstatic", C::FieldOp}, {"putstatic", C::FieldOp},
    {"getfield", C::FieldOp}, {"putfield", C::FieldOp},
    {"invokevirtual", C::Invoke}, {"invokespecial", C::Invoke}, {"invokestatic", C::Invoke},
    {"invokeinterface", C::InvokeI},
    {nullptr, C::I0}, // 186
    {"new", C::ClassOp}, {"newarray", C::Newarray}, {"anewarray", C::ClassOp},
    {"arraylength", C::I0}, {"athrow", C::I0},
    {"checkcast", C::Unsupported}, {"instanceof", C::Unsupported},
    {"monitorenter", C::I0}, {"monitorexit", C::I0},
    {"wide", C::I1}, {"multianewarray", C::Multi},
    {"ifnull", C::Branch}, {"ifnonnull", C::Branch},
}};

template <typename T, std::size_t N>
std::optional<T> lookup(const std::array<std::pair<const char*, T>, N>& table, std::string_view word)
{
    for (const auto& [name, value] : table)
        if (word == name)
            return value;
    return std::nullopt;
}

} // namespace

std::optional<Directive> findDirective(std::string_view word)
{
    using D = Directive;
    static constexpr std::array<std::pair<const char*, D>, 9> kTable = {{
        {".class", D::Class}, {".super", D::Super}, {".source", D::Source},
        {".implements", D::Implements}, {".field", D::Field}, {".method", D::Method},
        {".endm", D::Endm}, {".stack", D::Stack}, {".locals", D::Locals},
    }};
    return lookup(kTable, word);
}

std::optional<uint16_t> findAccess(std::string_view word)
{
    static constexpr std::array<std::pair<const char*, uint16_t>, 11> kTable = {{
        {"public", 0x0001}, {"private", 0x0002}, {"protected", 0x0004}, {"static", 0x0008},
        {"final", 0x0010}, {"synchronized", 0x0020}, {"volatile", 0x0040},
        {"transient", 0x0080}, {"native", 0x0100}, {"interface", 0x0200},
        {"abstract", 0x0400},
    }};
    return lookup(kTable, word);
}

std::optional<Instruction> findInstruction(std::string_view word)
{
    // Built once from the opcode-indexed table; read-only afterwards.
    static const std::unordered_map<std::string_view, Instruction> kByName = [] {
        std::unordered_map<std::string_view, Instruction> m;
        for (std::size_t code = 0; code < kMnemonics.size(); ++code)
            if (kMnemonics[code].name)
                m.emplace(kMnemonics[code].name, Instruction{kMnemonics[code].cls, static_cast<uint8_t>(code)});
        return m;
    }();
    auto it = kByName.find(word);
    if (it == kByName.end())
        return std::nullopt;
    return it->second;
}

std::optional<uint8_t> findArrayType(std::string_view word)
{
    static constexpr std::array<std::pair<const char*, uint8_t>, 8> kTable = {{
        {"boolean", 4}, {"char", 5}, {"float", 6}, {"double", 7},
        {"byte", 8}, {"short", 9}, {"int", 10}, {"long", 11},
    }};
    return lookup(kTable, word);
}

} // namespace jal

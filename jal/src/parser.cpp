#include "parser.h"

#include "error.h"
#include "keywords.h"
#include "messages.h"

namespace jal {

Parser::Parser(Scanner& scanner, ClassModel& cls) : scanner_(scanner), cls_(cls) {}

bool Parser::parse()
{
    try {
        file();
        return true;
    } catch (const SyntaxError&) {
        scanner_.errorLine(msg::kSyntaxError);
    } catch (const TranslationError& e) {
        if (e.line > 0)
            scanner_.errorLine(e.message.c_str(), e.line, e.text);
        else
            scanner_.errorLine(e.message.c_str());
    }
    return false;
}

const Token& Parser::peek()
{
    if (!lookahead_)
        lookahead_ = scanner_.next();
    return *lookahead_;
}

Token Parser::take()
{
    peek();
    Token t = std::move(*lookahead_);
    lookahead_.reset();
    return t;
}

bool Parser::atDirective(Directive d)
{
    const Token& t = peek();
    return t.kind == TokenKind::Directive && t.directive == d;
}

void Parser::syntaxError()
{
    throw SyntaxError{};
}

Token Parser::expect(TokenKind kind)
{
    if (peek().kind != kind)
        syntaxError();
    return take();
}

void Parser::expectDirective(Directive d)
{
    if (!atDirective(d))
        syntaxError();
    take();
}

uint16_t Parser::accessList()
{
    uint16_t flags = 0;
    while (peek().kind == TokenKind::Access)
        flags = static_cast<uint16_t>(flags | take().access);
    return flags;
}

void Parser::file()
{
    expectDirective(Directive::Source);
    cls_.setSourceFile(expect(TokenKind::Ident).value);

    expectDirective(Directive::Class);
    const uint16_t flags = accessList();
    const std::string name = expect(TokenKind::Ident).value;
    expectDirective(Directive::Super);
    cls_.setClass(flags, name, expect(TokenKind::Ident).value);

    while (atDirective(Directive::Implements)) {
        take();
        cls_.addInterface(expect(TokenKind::Ident).value);
    }
    while (atDirective(Directive::Field)) {
        take();
        const uint16_t fieldFlags = accessList();
        const std::string fieldName = expect(TokenKind::Ident).value;
        cls_.addField(fieldFlags, fieldName, expect(TokenKind::Ident).value);
    }
    while (atDirective(Directive::Method))
        method();

    if (peek().kind != TokenKind::End)
        syntaxError();
}

void Parser::method()
{
    take(); // .method
    const uint16_t flags = accessList();
    const std::string name = expect(TokenKind::Ident).value;
    const std::string descriptor = expect(TokenKind::Ident).value;

    code_.reset();
    while (!atDirective(Directive::Endm))
        statement();
    take(); // .endm

    code_.resolve();
    cls_.addMethod(flags, name, descriptor, code_.code(), code_.maxStack, code_.maxLocals);
}

void Parser::statement()
{
    const Token& t = peek();
    switch (t.kind) {
    case TokenKind::Directive:
        if (t.directive == Directive::Stack) {
            take();
            code_.maxStack = static_cast<uint16_t>(expect(TokenKind::Int).intValue);
            return;
        }
        if (t.directive == Directive::Locals) {
            take();
            code_.maxLocals = static_cast<uint16_t>(expect(TokenKind::Int).intValue);
            return;
        }
        break;
    case TokenKind::Label:
        code_.defineLabel(take().intValue);
        return;
    case TokenKind::Instr:
        instruction(take().instr);
        return;
    default:
        break;
    }
    syntaxError();
}

Parser::Member Parser::member()
{
    Member m;
    std::string first = expect(TokenKind::Ident).value;
    std::string second = expect(TokenKind::Ident).value;
    if (peek().kind == TokenKind::Ident) {
        m.className = std::move(first);
        m.name = std::move(second);
        m.descriptor = take().value;
    } else {
        m.name = std::move(first);
        m.descriptor = std::move(second);
    }
    return m;
}

void Parser::emitIndex(uint8_t opcode, int index)
{
    code_.emit({opcode, static_cast<uint32_t>(index) >> 8, static_cast<uint32_t>(index)});
}

void Parser::instruction(const Instruction& in)
{
    const uint8_t op = in.opcode;
    switch (in.cls) {
    case OpClass::I0:
        code_.emit({op});
        break;
    case OpClass::I1: {
        const Token t = expect(TokenKind::Int);
        // bipush pushes its operand as a signed byte: a value that does not
        // fit would push a different number.
        if (op == op::kBipush && (t.exactValue < -128 || t.exactValue > 127))
            throw TranslationError{msg::kByteOutOfRange};
        code_.emit({op, static_cast<uint32_t>(t.intValue)});
        break;
    }
    case OpClass::Sipush: {
        const Token t = expect(TokenKind::Int);
        if (t.exactValue < -32768 || t.exactValue > 32767)
            throw TranslationError{msg::kShortOutOfRange};
        const auto v = static_cast<uint32_t>(t.intValue);
        code_.emit({op, v >> 8, v});
        break;
    }
    case OpClass::Ldc: {
        const int index = cls_.pool().addString(expect(TokenKind::String).value);
        if (op == op::kLdc && index < 256)
            code_.emit({op::kLdc, static_cast<uint32_t>(index)});
        else
            emitIndex(op::kLdcW, index);
        break;
    }
    case OpClass::Ldc2:
        emitIndex(op, cls_.pool().addDouble(expect(TokenKind::Double).doubleValue));
        break;
    case OpClass::Newarray:
        code_.emit({op, expect(TokenKind::Type).arrayType});
        break;
    case OpClass::ClassOp:
        emitIndex(op, cls_.pool().addClass(expect(TokenKind::Ident).value));
        break;
    case OpClass::Multi: {
        const std::string name = expect(TokenKind::Ident).value;
        const auto dims = static_cast<uint32_t>(expect(TokenKind::Int).intValue);
        const auto index = static_cast<uint32_t>(cls_.pool().addClass(name));
        code_.emit({op, index >> 8, index, dims});
        break;
    }
    case OpClass::Branch: {
        const Token t = expect(TokenKind::Label);
        code_.branch(op, t.intValue, scanner_.line(), t.text);
        break;
    }
    case OpClass::Iinc: {
        const auto local = static_cast<uint32_t>(expect(TokenKind::Int).intValue);
        const auto delta = static_cast<uint32_t>(expect(TokenKind::Int).intValue);
        code_.emit({op, local, delta});
        break;
    }
    case OpClass::FieldOp: {
        const Member m = member();
        emitIndex(op, cls_.fieldRef(m.className, m.name, m.descriptor));
        break;
    }
    case OpClass::Invoke: {
        const Member m = member();
        emitIndex(op, cls_.methodRef(m.className, m.name, m.descriptor));
        break;
    }
    case OpClass::InvokeI: {
        // NAME DESCRIPTOR COUNT refers to this class; INTERFACE NAME
        // DESCRIPTOR COUNT names the interface, which is what a call on
        // any other type needs.
        const Member m = member();
        const auto count = static_cast<uint32_t>(expect(TokenKind::Int).intValue);
        const auto index = static_cast<uint32_t>(cls_.interfaceMethodRef(m.className, m.name, m.descriptor));
        code_.emit({op, index >> 8, index, count, 0});
        break;
    }
    case OpClass::Unsupported:
        // Reported, nothing emitted; the translation goes on.
        scanner_.errorLine(msg::kUnknownInstruction);
        break;
    }
}

} // namespace jal

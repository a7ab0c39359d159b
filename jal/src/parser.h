// Reads the token stream of one Jal source and builds the class, emitting
// each method's code as its statements are read.
//
// The language is small and fixed:
//   file       : ".source" IDENT ".class" access* IDENT ".super" IDENT
//                (".implements" IDENT)* (".field" access* IDENT IDENT)*
//                (".method" access* IDENT IDENT statement* ".endm")*
//   statement  : ".stack" INT | ".locals" INT | LABEL | instruction operands
// There is no error recovery: the first syntax error ends the parse.
#pragma once

#include "class_model.h"
#include "method_code.h"
#include "scanner.h"

#include <optional>

namespace jal {

class Parser {
public:
    Parser(Scanner& scanner, ClassModel& cls);

    // True when the whole source was read.  Errors have been reported on
    // the console through the scanner.
    bool parse();

private:
    struct SyntaxError {};

    // The next token is read only when the grammar needs to look at it, so
    // messages come out in the order the source gives them.
    const Token& peek();
    Token take();
    bool atDirective(Directive d);
    Token expect(TokenKind kind);
    void expectDirective(Directive d);
    [[noreturn]] void syntaxError();

    void file();
    uint16_t accessList();
    void method();
    void statement();
    void instruction(const Instruction& in);
    // IDENT IDENT or IDENT IDENT IDENT: (class or "" for this class, name, descriptor).
    struct Member {
        std::string className, name, descriptor;
    };
    Member member();
    void emitIndex(uint8_t opcode, int index);

    Scanner& scanner_;
    ClassModel& cls_;
    MethodCode code_;
    std::optional<Token> lookahead_;
};

} // namespace jal

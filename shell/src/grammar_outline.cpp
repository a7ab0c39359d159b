#include "vork/shell/grammar_outline.h"

#include "vork/symbols/symbol_index.h"

#include <QFileInfo>
#include <QStringList>

#include <algorithm>

namespace vork::shell {

namespace {

using vork::symbols::Index;
using vork::symbols::Kind;
using vork::symbols::Place;
using vork::symbols::Symbol;

// Longer regular expressions are cut in the outline; the tooltip has them
// whole.
constexpr int kShownExpression = 40;

// The UTF-8 length of the character that starts at line[i], and how many
// UTF-16 units it takes.
std::pair<int, int> utf8Width(const QString& line, int i)
{
    const char16_t c = line.at(i).unicode();
    if (c < 0x80)
        return {1, 1};
    if (c < 0x800)
        return {2, 1};
    if (QChar::isHighSurrogate(c) && i + 1 < line.size() && QChar::isLowSurrogate(line.at(i + 1).unicode()))
        return {4, 2};
    return {3, 1};  // also a lone surrogate, which toUtf8 writes as one replacement character
}

Index indexOf(SpecKind kind, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    const std::string bytes(utf8.constData(), static_cast<size_t>(utf8.size()));
    return kind == SpecKind::Scanner ? Index::ofScanner(bytes) : Index::ofGrammar(bytes);
}

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

// Where the outline and the jump lead for a symbol: its definition, or its
// first use when it has none.
bool placeOf(const Symbol& s, Place* at)
{
    if (s.defined) {
        *at = s.definition;
        return true;
    }
    if (s.uses.empty())
        return false;
    *at = *std::min_element(s.uses.begin(), s.uses.end(), [](const Place& a, const Place& b) {
        return a.line != b.line ? a.line < b.line : a.column < b.column;
    });
    return true;
}

class Lines {
public:
    explicit Lines(const QString& text) : lines_(text.split(QLatin1Char('\n'))) {}
    QString at(int line) const { return line >= 0 && line < lines_.size() ? lines_.at(line) : QString(); }
    int column(const Place& p) const { return characterColumn(at(p.line), p.column); }

private:
    QStringList lines_;
};

QString tokenText(const Symbol& s)
{
    QString text = q(s.name);
    if (!s.associativity.empty())
        text += QLatin1Char(' ') + q(s.associativity);
    if (s.number >= 0)
        text += QLatin1Char(' ') + QString::number(s.number);
    return text;
}

bool isIdentStart(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           c == QLatin1Char('_') || c == QLatin1Char('.');
}

bool isIdentChar(QChar c)
{
    return isIdentStart(c) || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
}

// The name written around character column `column` of line (the caret
// may stand right after it), as the index reads names; empty when none.
QString nameAround(const QString& line, int column)
{
    int from = std::clamp(column, 0, static_cast<int>(line.size()));
    if (from == line.size() || !isIdentChar(line.at(from))) {
        if (from == 0 || !isIdentChar(line.at(from - 1)))
            return QString();
        --from;
    }
    while (from > 0 && isIdentChar(line.at(from - 1)))
        --from;
    // Digits in front of a name are a number of their own.
    while (from < line.size() && !isIdentStart(line.at(from)) && isIdentChar(line.at(from)))
        ++from;
    int to = from;
    while (to < line.size() && isIdentChar(line.at(to)))
        ++to;
    if (to <= from || column < from || column > to)
        return QString();
    return line.mid(from, to - from);
}

// The parser generator's own token for error recovery: no grammar
// declares it.
bool isBuiltin(SpecKind kind, const Symbol& s)
{
    return kind == SpecKind::Grammar && s.kind == Kind::Token && s.name == "error";
}

} // namespace

SpecKind specKindOf(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("y"))
        return SpecKind::Grammar;
    if (suffix == QLatin1String("l") || suffix == QLatin1String("lex"))
        return SpecKind::Scanner;
    return SpecKind::None;
}

int characterColumn(const QString& line, int byteColumn)
{
    int bytes = 0;
    int i = 0;
    while (i < line.size()) {
        const auto [width, units] = utf8Width(line, i);
        if (bytes + width > byteColumn)
            break;
        bytes += width;
        i += units;
    }
    return i;
}

int byteColumn(const QString& line, int characterColumn)
{
    int bytes = 0;
    for (int i = 0; i < line.size() && i < characterColumn;) {
        const auto [width, units] = utf8Width(line, i);
        bytes += width;
        i += units;
    }
    return bytes;
}

std::vector<OutlineGroup> buildOutline(SpecKind kind, const QString& text)
{
    if (kind == SpecKind::None)
        return {};
    const Index index = indexOf(kind, text);
    const Lines lines(text);

    struct GroupOf {
        Kind kind;
        const char* title;
    };
    const std::vector<GroupOf> order =
        kind == SpecKind::Grammar
            ? std::vector<GroupOf>{{Kind::Nonterminal, "Pravidlá"}, {Kind::Token, "Tokeny"}}
            : std::vector<GroupOf>{{Kind::StartCondition, "Štartovacie podmienky"}, {Kind::Definition, "Definície"}};

    std::vector<OutlineGroup> groups;
    for (const GroupOf& g : order) {
        OutlineGroup group;
        group.title = QString::fromUtf8(g.title);
        for (const Symbol& s : index.symbols()) {
            Place at;
            if (s.kind != g.kind || !placeOf(s, &at))
                continue;
            OutlineEntry e;
            e.line = at.line;
            e.column = lines.column(at);
            switch (s.kind) {
            case Kind::Nonterminal:
                e.text = q(s.name);
                for (size_t i = 0; i < s.rules.size() && i < s.alternatives.size(); ++i) {
                    OutlineEntry alt;
                    // "expr : expr '+' term" is shown under expr as its body.
                    QString body = q(s.rules[i]).mid(q(s.name).size() + 2).trimmed();
                    alt.text = body.isEmpty() ? QString::fromUtf8("(prázdne)") : body;
                    alt.toolTip = q(s.rules[i]);
                    alt.line = s.alternatives[i].line;
                    alt.column = lines.column(s.alternatives[i]);
                    e.children.push_back(std::move(alt));
                }
                break;
            case Kind::Token:
                e.text = tokenText(s);
                if (s.precedence > 0)
                    e.toolTip = e.text + QString::fromUtf8(", úroveň priority %1").arg(s.precedence);
                break;
            case Kind::StartCondition:
                e.text = q(s.name);
                break;
            case Kind::Definition: {
                const QString expression = q(s.text);
                e.text = q(s.name);
                if (!expression.isEmpty()) {
                    e.text += QLatin1Char(' ') + (expression.size() > kShownExpression
                                                      ? expression.left(kShownExpression - 1) + QChar(0x2026)
                                                      : expression);
                    e.toolTip = q(s.name) + QLatin1Char(' ') + expression;
                }
                break;
            }
            }
            if (!s.defined && isBuiltin(kind, s)) {
                e.text += QString::fromUtf8(" (vstavaný)");
            } else if (!s.defined) {
                e.defined = false;
                e.text += QString::fromUtf8(" (nedefinovaný)");
            }
            group.entries.push_back(std::move(e));
        }
        std::stable_sort(group.entries.begin(), group.entries.end(), [](const OutlineEntry& a, const OutlineEntry& b) {
            return a.line != b.line ? a.line < b.line : a.column < b.column;
        });
        if (!group.entries.empty())
            groups.push_back(std::move(group));
    }
    return groups;
}

DefinitionLookup findDefinition(SpecKind kind, const QString& text, int line, int column)
{
    DefinitionLookup found;
    if (kind == SpecKind::None)
        return found;
    const Index index = indexOf(kind, text);
    const Lines lines(text);
    const QString lineText = lines.at(line);
    const Symbol* s = index.at(line, byteColumn(lineText, column));
    if (!s) {
        // Not a place the index reads as a symbol, such as C code in an
        // action or after the second "%%": the name written there, if the
        // grammar defines it.
        found.name = nameAround(lineText, column);
        if (found.name.isEmpty())
            return found;
        s = index.find(found.name.toStdString());
    }
    if (s)
        found.name = q(s->name);
    if (!s || !s->defined) {
        found.result = s && isBuiltin(kind, *s) ? DefinitionLookup::Result::Builtin : DefinitionLookup::Result::NotFound;
        return found;
    }
    found.result = DefinitionLookup::Result::Found;
    found.line = s->definition.line;
    found.column = lines.column(s->definition);
    return found;
}

QString definitionMessage(const DefinitionLookup& lookup)
{
    switch (lookup.result) {
    case DefinitionLookup::Result::Found:
        return QString();
    case DefinitionLookup::Result::NotFound:
        return QString::fromUtf8("Definícia symbolu „%1“ sa nenašla").arg(lookup.name);
    case DefinitionLookup::Result::Builtin:
        return QString::fromUtf8("Symbol „%1“ je vstavaný, nemá definíciu").arg(lookup.name);
    case DefinitionLookup::Result::NoName:
        break;
    }
    return QString::fromUtf8("Na mieste kurzora nie je žiadny symbol");
}

} // namespace vork::shell

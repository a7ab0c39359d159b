#include "vork/debuglink/parse_insight.h"

#include <algorithm>
#include <tuple>

namespace vork::debuglink {

// ---------------------------------------------------------------- names

GrammarNames::GrammarNames(duq_yacc::Automaton automaton) : automaton_(std::move(automaton))
{
    const auto& prods = automaton_.productions;
    for (size_t i = 0; i < prods.size(); ++i) {
        const int n = prods[i].number;
        if (n < 0)
            continue;
        if (static_cast<size_t>(n) >= ruleIndex_.size())
            ruleIndex_.resize(static_cast<size_t>(n) + 1, -1);
        ruleIndex_[static_cast<size_t>(n)] = static_cast<int>(i);
    }
    accessing_.assign(automaton_.states.size(), -1);
    for (const duq_yacc::State& st : automaton_.states) {
        if (st.number < 0 || static_cast<size_t>(st.number) >= accessing_.size())
            continue;
        for (const duq_yacc::Item& it : st.kernel) {
            if (it.dot <= 0 || it.production < 0 || static_cast<size_t>(it.production) >= prods.size())
                continue;
            const auto& rhs = prods[static_cast<size_t>(it.production)].rhs;
            if (static_cast<size_t>(it.dot) <= rhs.size()) {
                accessing_[static_cast<size_t>(st.number)] = rhs[static_cast<size_t>(it.dot - 1)];
                break;
            }
        }
    }
}

std::string GrammarNames::tokenName(int code) const
{
    for (int i = 0; i < automaton_.terminal_count && static_cast<size_t>(i) < automaton_.symbols.size(); ++i)
        if (automaton_.symbols[static_cast<size_t>(i)].code == code)
            return automaton_.symbols[static_cast<size_t>(i)].name;
    return "";
}

static const duq_yacc::Production* findRule(const duq_yacc::Automaton& a, const std::vector<int>& index, int rule)
{
    if (rule < 0 || static_cast<size_t>(rule) >= index.size() || index[static_cast<size_t>(rule)] < 0)
        return nullptr;
    return &a.productions[static_cast<size_t>(index[static_cast<size_t>(rule)])];
}

std::string GrammarNames::symbolName(int symbol) const
{
    if (symbol < 0 || static_cast<size_t>(symbol) >= automaton_.symbols.size())
        return "";
    return automaton_.symbols[static_cast<size_t>(symbol)].name;
}

std::string GrammarNames::ruleText(int rule) const
{
    const duq_yacc::Production* p = findRule(automaton_, ruleIndex_, rule);
    if (!p)
        return "";
    std::string s = symbolName(p->lhs) + " :";
    for (int sym : p->rhs)
        s += " " + symbolName(sym);
    return s;
}

int GrammarNames::ruleLength(int rule) const
{
    const duq_yacc::Production* p = findRule(automaton_, ruleIndex_, rule);
    return p ? static_cast<int>(p->rhs.size()) : -1;
}

int GrammarNames::ruleLhs(int rule) const
{
    const duq_yacc::Production* p = findRule(automaton_, ruleIndex_, rule);
    return p ? p->lhs : -1;
}

int GrammarNames::ruleLine(int rule) const
{
    const duq_yacc::Production* p = findRule(automaton_, ruleIndex_, rule);
    return p ? p->line : 0;
}

int GrammarNames::accessingSymbol(int state) const
{
    if (state < 0 || static_cast<size_t>(state) >= accessing_.size())
        return -1;
    return accessing_[static_cast<size_t>(state)];
}

std::vector<std::string> GrammarNames::items(int state) const
{
    std::vector<std::string> out;
    if (state < 0 || static_cast<size_t>(state) >= automaton_.states.size())
        return out;
    for (const duq_yacc::Item& it : automaton_.states[static_cast<size_t>(state)].kernel) {
        if (it.production < 0 || static_cast<size_t>(it.production) >= automaton_.productions.size())
            continue;
        const duq_yacc::Production& p = automaton_.productions[static_cast<size_t>(it.production)];
        std::string s = symbolName(p.lhs) + " :";
        for (size_t i = 0; i <= p.rhs.size(); ++i) {
            if (static_cast<int>(i) == it.dot)
                s += " .";
            if (i < p.rhs.size())
                s += " " + symbolName(p.rhs[i]);
        }
        out.push_back(s);
    }
    return out;
}

// ---------------------------------------------------------------- insight

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// The characters a token was made of: what the scanner took since the last
// unit, without the white space it skipped on the way.  A token that is
// white space itself (a line end) keeps its characters.
std::string tokenText(const std::string& since)
{
    size_t b = 0;
    size_t e = since.size();
    while (b < e && isBlank(since[b]))
        ++b;
    while (e > b && isBlank(since[e - 1]))
        --e;
    return b == e ? since : since.substr(b, e - b);
}

} // namespace

int ParseInsight::addNode(TreeNode node)
{
    if (replaying_)
        return static_cast<int>(replayNodes_++);
    nodes_.push_back(std::move(node));
    return static_cast<int>(nodes_.size() - 1);
}

void ParseInsight::markDiscarded(int node, uint32_t index)
{
    if (replaying_ || node < 0)
        return;
    // A subtree is discarded with everything under it; the walk is
    // explicit, as a deep left recursion makes deep trees.
    std::vector<int> todo{node};
    while (!todo.empty()) {
        const int n = todo.back();
        todo.pop_back();
        TreeNode& t = nodes_[static_cast<size_t>(n)];
        if (t.discardedAt != UINT32_MAX)
            continue;
        t.discardedAt = index;
        todo.insert(todo.end(), t.children.begin(), t.children.end());
    }
}

std::string shiftNote(int state, const GrammarNames* names)
{
    std::string s = "stav " + std::to_string(state);
    if (names) {
        const std::string sym = names->symbolName(names->accessingSymbol(state));
        if (!sym.empty())
            s += ": " + sym;
    }
    return s;
}

void ParseInsight::apply(const Record& r, uint32_t index)
{
    switch (static_cast<RecordKind>(r.kind)) {
    case RecordKind::AnalysisStart: {
        stack_.clear();
        if (!replaying_)
            nodes_.clear();
        replayNodes_ = 0;
        line_.clear();
        consumed_ = 0;
        prevLine_.clear();
        prevConsumed_ = 0;
        sinceUnit_.clear();
        lookaheadText_.clear();
        lookaheadCode_ = -1;
        pendingNode_ = -1;
        pendingDiscards_.clear();
        lastError_ = -1;
        overflowed_ = false;
        // The notes, like the panel's fields, keep what came before until
        // a record changes them.
        notes_.inputStream.clear();
        break;
    }
    case RecordKind::InputChar: {
        if (r.value1 == 10) {
            // Kept in case the scanner only peeked at the line end and
            // gives it back.
            prevLine_.swap(line_);
            prevConsumed_ = consumed_;
            line_.clear();
            consumed_ = 0;
            sinceUnit_.push_back('\n');
        } else {
            const char c = static_cast<char>(static_cast<uint32_t>(r.value1) & 0xFFu);
            if (c != '\0') {
                line_.push_back(c);
                sinceUnit_.push_back(c);
            }
        }
        notes_.inputStream = line_.substr(std::min(consumed_, line_.size()));
        break;
    }
    case RecordKind::UnputChar: {
        if (!sinceUnit_.empty()) {
            // A line end given back has already emptied the line: only
            // its own character goes.
            const bool lineEnd = sinceUnit_.back() == '\n';
            sinceUnit_.pop_back();
            if (lineEnd && line_.empty()) {
                line_.swap(prevLine_);
                prevLine_.clear();
                consumed_ = prevConsumed_;
            } else if (!lineEnd && !line_.empty()) {
                line_.pop_back();
            }
        } else if (!line_.empty()) {
            line_.pop_back();
        }
        consumed_ = std::min(consumed_, line_.size());
        notes_.inputStream = line_.substr(consumed_);
        break;
    }
    case RecordKind::LexicalUnit:
        lookaheadCode_ = r.value1;
        lookaheadText_ = tokenText(sinceUnit_);
        sinceUnit_.clear();
        notes_.tokenName = names_ ? names_->tokenName(r.value1) : std::string();
        break;
    case RecordKind::Shift: {
        const int symbol = names_ ? names_->accessingSymbol(r.value1) : -1;
        TreeNode n;
        n.born = index;
        n.symbol = symbol;
        if (names_ && names_->isErrorSymbol(symbol)) {
            n.kind = TreeNode::Kind::Error;
            // What the recovery popped hangs under its error node, left to
            // right as it stood on the stack.
            std::vector<int> kids(pendingDiscards_.rbegin(), pendingDiscards_.rend());
            pendingDiscards_.clear();
            if (!replaying_) {
                for (int k : kids) {
                    nodes_[static_cast<size_t>(k)].parent = static_cast<int>(nodes_.size());
                    nodes_[static_cast<size_t>(k)].attachedAt = index;
                }
            }
            n.children = std::move(kids);
            pendingNode_ = addNode(std::move(n));
            lastError_ = pendingNode_;
        } else {
            n.kind = TreeNode::Kind::Token;
            n.text = lookaheadText_;
            pendingNode_ = addNode(std::move(n));
            lookaheadCode_ = -1;
            consumed_ = line_.size();
            notes_.inputStream.clear();
        }
        notes_.stepNote = shiftNote(r.value1, names_);
        break;
    }
    case RecordKind::Reduction: {
        const int length = names_ ? names_->ruleLength(r.value1) : -1;
        TreeNode n;
        n.kind = TreeNode::Kind::Rule;
        n.rule = r.value1;
        n.symbol = names_ ? names_->ruleLhs(r.value1) : -1;
        n.born = index;
        const size_t pop = length < 0 ? 0 : std::min(static_cast<size_t>(length), stack_.size());
        const int self = replaying_ ? static_cast<int>(replayNodes_) : static_cast<int>(nodes_.size());
        for (size_t i = stack_.size() - pop; i < stack_.size(); ++i) {
            const int child = stack_[i].node;
            if (child < 0)
                continue;
            n.children.push_back(child);
            if (!replaying_) {
                nodes_[static_cast<size_t>(child)].parent = self;
                nodes_[static_cast<size_t>(child)].attachedAt = index;
            }
        }
        stack_.resize(stack_.size() - pop);
        pendingNode_ = addNode(std::move(n));
        notes_.stepNote = names_ ? names_->ruleText(r.value1) : std::string();
        break;
    }
    case RecordKind::State: {
        StackEntry e;
        e.state = r.value1;
        e.node = pendingNode_;
        if (names_)
            e.symbol = names_->accessingSymbol(r.value1);
        else if (pendingNode_ >= 0 && !replaying_)
            e.symbol = nodes_[static_cast<size_t>(pendingNode_)].symbol;
        if (stack_.empty() && pendingNode_ < 0)
            e.symbol = -1; // the bottom state stands for no symbol
        stack_.push_back(e);
        pendingNode_ = -1;
        break;
    }
    case RecordKind::RecoveryPops:
        if (!stack_.empty()) {
            const StackEntry e = stack_.back();
            stack_.pop_back();
            if (e.node >= 0) {
                markDiscarded(e.node, index);
                pendingDiscards_.push_back(e.node);
            }
        }
        break;
    case RecordKind::RecoveryDiscards: {
        TreeNode n;
        n.kind = TreeNode::Kind::Token;
        n.born = index;
        n.discardedAt = index;
        n.text = lookaheadText_;
        if (names_) {
            const std::string name = names_->tokenName(r.value1);
            n.symbol = name.empty() ? -1 : names_->automaton().find_symbol(name);
        }
        if (lastError_ >= 0) {
            n.parent = lastError_;
            n.attachedAt = index;
        }
        const int id = addNode(std::move(n));
        if (lastError_ >= 0 && !replaying_)
            nodes_[static_cast<size_t>(lastError_)].children.push_back(id);
        lookaheadCode_ = -1;
        consumed_ = line_.size();
        notes_.inputStream.clear();
        break;
    }
    case RecordKind::StackOverflow:
        overflowed_ = true;
        break;
    default:
        break;
    }
}

ParseInsight::Cursor ParseInsight::cursor() const
{
    Cursor c;
    c.stack = stack_;
    c.notes = notes_;
    c.line = line_;
    c.consumed = consumed_;
    c.prevLine = prevLine_;
    c.prevConsumed = prevConsumed_;
    c.sinceUnit = sinceUnit_;
    c.lookaheadText = lookaheadText_;
    c.lookaheadCode = lookaheadCode_;
    c.pendingNode = pendingNode_;
    c.pendingDiscards = pendingDiscards_;
    c.lastError = lastError_;
    c.overflowed = overflowed_;
    c.nodeCount = replaying_ ? replayNodes_ : static_cast<uint32_t>(nodes_.size());
    return c;
}

void ParseInsight::restoreForReplay(const Cursor& c)
{
    replaying_ = true;
    stack_ = c.stack;
    notes_ = c.notes;
    line_ = c.line;
    consumed_ = c.consumed;
    prevLine_ = c.prevLine;
    prevConsumed_ = c.prevConsumed;
    sinceUnit_ = c.sinceUnit;
    lookaheadText_ = c.lookaheadText;
    lookaheadCode_ = c.lookaheadCode;
    pendingNode_ = c.pendingNode;
    pendingDiscards_ = c.pendingDiscards;
    lastError_ = c.lastError;
    overflowed_ = c.overflowed;
    replayNodes_ = c.nodeCount;
}

// ---------------------------------------------------------------- views

std::string stackText(const std::vector<StackEntry>& stack, const GrammarNames* names)
{
    std::string s;
    for (const StackEntry& e : stack) {
        if (!s.empty())
            s += ' ';
        if (e.symbol >= 0) {
            const std::string sym = names ? names->symbolName(e.symbol) : std::string();
            s += (sym.empty() ? "?" : sym) + " ";
        }
        s += std::to_string(e.state);
    }
    return s;
}

TreeView::TreeView(const std::vector<TreeNode>& nodes, const GrammarNames* names, uint32_t asOf)
    : nodes_(nodes), names_(names), asOf_(asOf)
{
}

std::vector<int> TreeView::roots() const
{
    std::vector<int> out;
    for (size_t i = 0; i < nodes_.size(); ++i) {
        const TreeNode& n = nodes_[i];
        if (n.born > asOf_)
            continue;
        if (n.parent < 0 || n.attachedAt > asOf_)
            out.push_back(static_cast<int>(i));
    }
    return out;
}

std::vector<int> TreeView::children(int node) const
{
    std::vector<int> out;
    for (int c : nodes_[static_cast<size_t>(node)].children)
        if (nodes_[static_cast<size_t>(c)].attachedAt <= asOf_)
            out.push_back(c);
    return out;
}

bool TreeView::discarded(int node) const
{
    return nodes_[static_cast<size_t>(node)].discardedAt <= asOf_;
}

static std::string escaped(const std::string& s)
{
    std::string out;
    for (char c : s) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else
            out += c;
    }
    return out;
}

std::string TreeView::label(int node) const
{
    const TreeNode& n = nodes_[static_cast<size_t>(node)];
    if (n.kind == TreeNode::Kind::Error)
        return "error";
    std::string name = names_ ? names_->symbolName(n.symbol) : std::string();
    if (name.empty())
        name = n.kind == TreeNode::Kind::Rule ? "#" + std::to_string(n.rule) : "?";
    if (n.kind == TreeNode::Kind::Token && !n.text.empty() && name != "'" + escaped(n.text) + "'")
        name += " " + escaped(n.text);
    return name;
}

std::string TreeView::text() const
{
    std::string out;
    // Explicit stack: trees of long inputs are deep.
    std::vector<std::pair<int, int>> todo;
    const std::vector<int> r = roots();
    for (auto it = r.rbegin(); it != r.rend(); ++it)
        todo.emplace_back(*it, 0);
    while (!todo.empty()) {
        const auto [n, depth] = todo.back();
        todo.pop_back();
        out.append(static_cast<size_t>(depth) * 2, ' ');
        out += label(n);
        if (discarded(n))
            out += " [zahodené]";
        out += '\n';
        const std::vector<int> kids = children(n);
        for (auto it = kids.rbegin(); it != kids.rend(); ++it)
            todo.emplace_back(*it, depth + 1);
    }
    return out;
}

static std::string dotQuoted(const std::string& s)
{
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string TreeView::dot() const
{
    std::string out = "digraph parse {\n  node [fontname=\"monospace\"];\n";
    std::vector<int> todo = roots();
    std::reverse(todo.begin(), todo.end());
    std::string edges;
    while (!todo.empty()) {
        const int n = todo.back();
        todo.pop_back();
        const TreeNode& t = nodes_[static_cast<size_t>(n)];
        out += "  n" + std::to_string(n) + " [label=" + dotQuoted(label(n));
        out += t.kind == TreeNode::Kind::Rule ? ", shape=box" : ", shape=ellipse";
        if (t.kind == TreeNode::Kind::Error)
            out += ", color=red, penwidth=2";
        if (discarded(n))
            out += ", style=dashed, fontcolor=gray50, color=gray50";
        out += "];\n";
        const std::vector<int> kids = children(n);
        for (int k : kids)
            edges += "  n" + std::to_string(n) + " -> n" + std::to_string(k) + ";\n";
        for (auto it = kids.rbegin(); it != kids.rend(); ++it)
            todo.push_back(*it);
    }
    return out + edges + "}\n";
}

static std::string xmlEscaped(const std::string& s)
{
    std::string out;
    for (char c : s) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string TreeView::svg() const
{
    // Leaves side by side in their order, each parent centred over its
    // children; one row per depth.
    constexpr int kCharW = 8, kRowH = 56, kBoxH = 24, kGap = 10;
    struct Place {
        int x = 0, width = 0, depth = 0;
    };
    std::vector<Place> place(nodes_.size());
    int nextX = kGap;
    int maxDepth = 0;
    std::vector<int> order; // post-order
    {
        const std::vector<int> r = roots();
        // Two-phase explicit post-order walk.
        std::vector<std::tuple<int, int, bool>> st;
        for (auto it = r.rbegin(); it != r.rend(); ++it)
            st.emplace_back(*it, 0, false);
        while (!st.empty()) {
            auto [n, d, expanded] = st.back();
            st.pop_back();
            if (expanded) {
                order.push_back(n);
                continue;
            }
            place[static_cast<size_t>(n)].depth = d;
            maxDepth = std::max(maxDepth, d);
            st.emplace_back(n, d, true);
            const std::vector<int> kids = children(n);
            for (auto it = kids.rbegin(); it != kids.rend(); ++it)
                st.emplace_back(*it, d + 1, false);
        }
    }
    for (int n : order) {
        Place& p = place[static_cast<size_t>(n)];
        p.width = static_cast<int>(label(n).size()) * kCharW + 16;
        const std::vector<int> kids = children(n);
        if (kids.empty()) {
            p.x = nextX + p.width / 2;
            nextX += p.width + kGap;
        } else {
            p.x = (place[static_cast<size_t>(kids.front())].x + place[static_cast<size_t>(kids.back())].x) / 2;
            // A parent wider than its children keeps its own room.
            if (p.x + p.width / 2 + kGap > nextX)
                nextX = p.x + p.width / 2 + kGap;
        }
    }
    const int width = std::max(nextX, 40);
    const int height = (maxDepth + 1) * kRowH + kGap;
    std::string lines, boxes;
    for (int n : order) {
        const Place& p = place[static_cast<size_t>(n)];
        const int y = kGap + p.depth * kRowH;
        for (int k : children(n)) {
            const Place& q = place[static_cast<size_t>(k)];
            lines += "<line x1=\"" + std::to_string(p.x) + "\" y1=\"" + std::to_string(y + kBoxH) + "\" x2=\"" +
                     std::to_string(q.x) + "\" y2=\"" + std::to_string(kGap + q.depth * kRowH) +
                     "\" stroke=\"#888\"/>\n";
        }
        const TreeNode& t = nodes_[static_cast<size_t>(n)];
        const bool gone = discarded(n);
        const std::string stroke = t.kind == TreeNode::Kind::Error ? "#c00" : gone ? "#999" : "#333";
        boxes += "<rect x=\"" + std::to_string(p.x - p.width / 2) + "\" y=\"" + std::to_string(y) + "\" width=\"" +
                 std::to_string(p.width) + "\" height=\"" + std::to_string(kBoxH) + "\" rx=\"" +
                 (t.kind == TreeNode::Kind::Rule ? "2" : "10") + "\" fill=\"#fff\" stroke=\"" + stroke + "\"" +
                 (gone ? " stroke-dasharray=\"4 3\"" : "") + "/>\n";
        boxes += "<text x=\"" + std::to_string(p.x) + "\" y=\"" + std::to_string(y + 16) +
                 "\" text-anchor=\"middle\" font-family=\"monospace\" font-size=\"13\" fill=\"" +
                 (gone ? "#999" : "#000") + "\">" + xmlEscaped(label(n)) + "</text>\n";
    }
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(width) + "\" height=\"" +
           std::to_string(height) + "\">\n" + lines + boxes + "</svg>\n";
}

// ---------------------------------------------------------------- history

void RunHistory::setNames(const GrammarNames* names)
{
    names_ = names;
    live_.setNames(names);
    replay_.setNames(names);
}

void RunHistory::applyPanel(PanelMoment& p, const Record& r) const
{
    switch (static_cast<RecordKind>(r.kind)) {
    case RecordKind::SyntaxError:
    case RecordKind::StackOverflow:
    case RecordKind::RecoveryPops:
    case RecordKind::RecoveryDiscards:
    case RecordKind::AnalysisEnd:
        ++p.traceSize;
        break;
    case RecordKind::Reduction:
        p.stepLine = "REDUKCIA: " + std::to_string(r.value1);
        break;
    case RecordKind::Shift:
        p.stepLine = "POSUN: " + std::to_string(r.value1);
        break;
    case RecordKind::LexicalUnit:
        p.tokenCode = std::to_string(r.value1);
        break;
    case RecordKind::InputChar:
        if (r.value1 == 10) {
            p.characters.clear();
        } else {
            const char c = static_cast<char>(static_cast<uint32_t>(r.value1) & 0xFFu);
            if (c != '\0')
                p.characters.push_back(c);
        }
        break;
    case RecordKind::UnputChar:
        if (!p.characters.empty())
            p.characters.pop_back();
        break;
    case RecordKind::AnalysisStart:
        p.traceSize = 1;
        p.selected = -1;
        break;
    case RecordKind::SemanticAction:
        p.selected = r.value1 >= 1 && static_cast<uint64_t>(r.value1) <= grammarLines_ ? r.value1 - 1 : -1;
        break;
    default:
        break;
    }
}

void RunHistory::append(const Record& r)
{
    if (!isRecordKind(r.kind))
        return;
    if (r.kind == static_cast<uint32_t>(RecordKind::AnalysisStart)) {
        kinds_.clear();
        value1_.clear();
        value2_.clear();
        snapshots_.clear();
    }
    const uint32_t index = static_cast<uint32_t>(kinds_.size());
    if (index % kSnapshotEvery == 0)
        snapshots_.push_back({livePanel_, live_.cursor()});
    kinds_.push_back(static_cast<uint8_t>(r.kind));
    value1_.push_back(r.value1);
    // Value 2 matters only for the states a pop uncovers and for the rule a
    // lexical unit names, so it is kept for those records alone.
    if (r.kind == static_cast<uint32_t>(RecordKind::RecoveryPops) || lexicalUnitRule(r) != 0)
        value2_.emplace_back(index, r.value2);
    applyPanel(livePanel_, r);
    live_.apply(r, index);
}

Record RunHistory::record(size_t index) const
{
    Record r;
    r.kind = kinds_[index];
    r.value1 = value1_[index];
    if (r.kind == static_cast<uint32_t>(RecordKind::RecoveryPops) ||
        r.kind == static_cast<uint32_t>(RecordKind::LexicalUnit)) {
        auto it = std::lower_bound(value2_.begin(), value2_.end(), std::make_pair(static_cast<uint32_t>(index), INT32_MIN));
        if (it != value2_.end() && it->first == index)
            r.value2 = it->second;
    }
    return r;
}

RunHistory::Moment RunHistory::at(size_t index)
{
    Moment m;
    if (index >= kinds_.size())
        return m;
    const size_t k = index / kSnapshotEvery;
    const Snapshot& snap = snapshots_[k];
    replay_.restoreForReplay(snap.cursor);
    m.panel = snap.panel;
    for (size_t j = k * kSnapshotEvery; j <= index; ++j) {
        const Record r = record(j);
        applyPanel(m.panel, r);
        replay_.apply(r, static_cast<uint32_t>(j));
    }
    m.stack = replay_.stack();
    m.notes = replay_.notes();
    return m;
}

size_t RunHistory::memoryBytes() const
{
    size_t bytes = sizeof(*this) + kinds_.capacity() + value1_.capacity() * sizeof(int32_t) +
                   value2_.capacity() * sizeof(value2_[0]) + snapshots_.capacity() * sizeof(Snapshot);
    for (const Snapshot& s : snapshots_)
        bytes += s.cursor.stack.capacity() * sizeof(StackEntry) + s.cursor.line.capacity() +
                 s.cursor.sinceUnit.capacity() + s.cursor.pendingDiscards.capacity() * sizeof(int) +
                 s.panel.characters.capacity();
    bytes += live_.nodes().capacity() * sizeof(TreeNode);
    for (const TreeNode& n : live_.nodes())
        bytes += n.children.capacity() * sizeof(int) + (n.text.capacity() > 15 ? n.text.capacity() : 0);
    bytes += live_.stack().capacity() * sizeof(StackEntry);
    return bytes;
}

} // namespace vork::debuglink

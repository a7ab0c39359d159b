// Nodes of the parse tree of all rules: creation with the nullable rule and
// parent links, and the subtree copy that repetition counts use.
#include "run.h"

namespace duq_lex {

// Kinds whose operands are nodes (and so get this node as their parent).
bool Run::isOperandKind(int kind) const
{
    switch (kind) {
    case N_STRCONT: case N_STARTCOND: case N_RULEALT: case N_CONCAT: case N_CONTEXT:
    case N_ALT: case N_STAR: case N_QUEST: case N_PLUS: case N_LINESTART:
        return true;
    default:
        return false;
    }
}

static bool twoOperands(int kind)
{
    return kind == N_RULEALT || kind == N_CONCAT || kind == N_CONTEXT || kind == N_ALT;
}

int Run::node(int kind, int left, int right)
{
    if (nodesUsed_ >= limits_.nodes) {
        capacity(limits_.nodes == defaults_.nodes);
        error(tr("Parse tree too big %s", "Syntakticky strom je prilis velky %s"),
              hint(limits_.nodes, defaults_.nodes, "\nTry using %e num", "\nPokuste sa pouzit '%e num'"));
    }
    int n = nodesUsed_++;
    kind_[n] = kind;
    left_[n] = left;
    right_[n] = right;
    parent_[n] = 0;
    unsigned char nul = 0;
    switch (kind) {
    case N_CLASS:
    case N_NEGCLASS:
        nul = classPool_.at(static_cast<size_t>(left)) == 0;
        break;
    case N_EMPTY: case N_STAR: case N_QUEST: case N_CTXMARK:
        nul = 1;
        break;
    case N_STARTCOND: case N_PLUS: case N_LINESTART:
        nul = nullable_[left];
        break;
    case N_RULEALT: case N_ALT:
        nul = nullable_[left] || nullable_[right];
        break;
    case N_CONCAT: case N_CONTEXT:
        nul = nullable_[left] && nullable_[right];
        break;
    default:
        break;
    }
    nullable_[n] = nul;
    if (isOperandKind(kind)) {
        parent_[left] = n;
        if (twoOperands(kind))
            parent_[right] = n;
    }
    return n;
}

// Copies the subtree under n bottom-up, without recursion: a tree built
// from long strings and counts can be far deeper than the stack allows.
int Run::copyTree(int n)
{
    struct Item {
        int src;
        bool expanded;
    };
    std::vector<Item> work{{n, false}};
    std::vector<int> made;  // copies of finished subtrees, in order
    while (!work.empty()) {
        Item it = work.back();
        work.pop_back();
        int k = kind_[it.src];
        if (!isOperandKind(k)) {
            made.push_back(node(k, left_[it.src], right_[it.src]));
            continue;
        }
        if (!it.expanded) {
            work.push_back({it.src, true});
            if (twoOperands(k))
                work.push_back({right_[it.src], false});
            work.push_back({left_[it.src], false});
            continue;
        }
        if (twoOperands(k)) {
            int r = made.back();
            made.pop_back();
            int l = made.back();
            made.pop_back();
            made.push_back(node(k, l, r));
        } else {
            int l = made.back();
            made.pop_back();
            made.push_back(node(k, l, right_[it.src]));
        }
    }
    return made.back();
}

} // namespace duq_lex

// The deterministic automaton, built straight from tree positions: follow
// sets, one pair of initial states per start condition, then every state as
// the set of positions reachable on one character.  Each state's stop list
// goes into yyvstop as the state is reached; its transitions go to the
// packer.
#include "run.h"

#include <algorithm>

namespace duq_lex {

void Run::mark(int n)
{
    if (!marks_[n]) {
        marks_[n] = 1;
        marked_.push_back(n);
    }
}

void Run::clearMarks()
{
    for (int n : marked_)
        marks_[n] = 0;
    marked_.clear();
}

std::vector<int> Run::takeMarked()
{
    std::vector<int> set = marked_;
    std::sort(set.begin(), set.end());
    return set;
}

// Marks the positions that can start a match of the subtree under n, as
// seen from the state being built (^ only in odd states, <S> only in S's).
void Run::first(int n)
{
    std::vector<int> work{n};
    while (!work.empty()) {
        int v = work.back();
        work.pop_back();
        int k = kind_[v];
        if (k < 128) {
            mark(v);
            continue;
        }
        switch (k) {
        case N_CLASS: case N_NEGCLASS: case N_EMPTY: case N_FINAL: case N_FINALCTX: case N_CTXMARK:
            mark(v);
            break;
        case N_ALT:
        case N_RULEALT:
            work.push_back(right_[v]);
            work.push_back(left_[v]);
            break;
        case N_CONCAT:
        case N_CONTEXT:
            if (nullable_[left_[v]])
                work.push_back(right_[v]);
            work.push_back(left_[v]);
            break;
        case N_STAR: case N_PLUS: case N_QUEST: case N_STRCONT:
            work.push_back(left_[v]);
            break;
        case N_LINESTART:
            if (currentState_ % 2 == 1)
                work.push_back(left_[v]);
            break;
        case N_STARTCOND: {
            int want = currentState_ / 2 + 1;
            const int* list = &startListPool_[static_cast<size_t>(right_[v])];
            for (; *list; ++list)
                if (*list == want) {
                    work.push_back(left_[v]);
                    break;
                }
            break;
        }
        default:
            break;
        }
    }
}

// Marks what can come after node v.
void Run::follow(int v)
{
    for (;;) {
        if (v == root_)
            return;
        int p = parent_[v];
        if (p == 0)
            return;
        switch (kind_[p]) {
        case N_STRCONT:
            mark(p);
            return;
        case N_STAR:
        case N_PLUS:
            first(v);
            v = p;
            break;
        case N_ALT: case N_QUEST: case N_RULEALT: case N_STARTCOND: case N_LINESTART:
            v = p;
            break;
        case N_CONCAT:
        case N_CONTEXT:
            if (v == left_[p]) {
                first(right_[p]);
                if (!nullable_[right_[p]])
                    return;
            }
            v = p;
            break;
        default:
            return;
        }
    }
}

int Run::addSet(const std::vector<int>& set)
{
    long need = static_cast<long>(set.size()) + 1;
    if (positionsUsed_ + need > limits_.positions) {
        capacity(limits_.positions == defaults_.positions);
        error(tr("Too many position %s", "Prilis vela pozicii %s"),
              hint(limits_.positions, defaults_.positions, "\nTry using %p num", "\nSkuste pouzit '%p num'"));
    }
    int at = positionsUsed_;
    positions_[at] = static_cast<int>(set.size());
    std::copy(set.begin(), set.end(), positions_.begin() + at + 1);
    positionsUsed_ += static_cast<int>(need);
    return at;
}

// The class numbers of a class's members, each once, in the order the
// members first show them.
void Run::packClass(int n)
{
    bool member[128] = {};
    for (const unsigned char* t = &classPool_[static_cast<size_t>(left_[n])]; *t; ++t)
        member[*t] = true;
    if (kind_[n] == N_NEGCLASS)
        for (int c = 1; c < 128; ++c)
            member[c] = !member[c];
    std::string packed;
    for (int c = 1; c < 128; ++c) {
        if (!member[c])
            continue;
        char k = static_cast<char>(classNumber_[c]);
        if (k != 0 && packed.find(k) == std::string::npos)
            packed.push_back(k);
    }
    if (packedUsed_ + static_cast<long>(packed.size()) + 1 > static_cast<long>(packedPool_.size())) {
        capacity(limits_.packedClasses == defaults_.packedClasses);
        error("%s", tr("Too many packed character classes", "Privela kompresovanych znakovych tried"));
    }
    std::copy(packed.begin(), packed.end(), packedPool_.begin() + packedUsed_);
    packedPool_[static_cast<size_t>(packedUsed_) + packed.size()] = 0;
    left_[n] = packedUsed_;
    kind_[n] = N_CLASS;
    packedUsed_ += static_cast<int>(packed.size()) + 1;
}

void Run::computeFollow(int root)
{
    currentState_ = 0;
    std::vector<int> work{root};
    while (!work.empty()) {
        int v = work.back();
        work.pop_back();
        int k = kind_[v];
        bool reads = k < 128 || k == N_CLASS || k == N_NEGCLASS || k == N_STRCONT || k == N_EMPTY;
        if (reads) {
            clearMarks();
            follow(v);
            std::vector<int> set = takeMarked();
            auto found = followIndex_.find(set);
            if (found != followIndex_.end()) {
                followSet_[v] = found->second;
            } else {
                followSet_[v] = addSet(set);
                followIndex_.emplace(std::move(set), followSet_[v]);
            }
            if (k == N_STRCONT)
                work.push_back(left_[v]);
            if (k == N_CLASS || k == N_NEGCLASS)
                packClass(v);
            continue;
        }
        switch (k) {
        case N_LINESTART: case N_STAR: case N_PLUS: case N_QUEST: case N_STARTCOND:
            work.push_back(left_[v]);
            break;
        case N_CONCAT: case N_CONTEXT: case N_ALT: case N_RULEALT:
            work.push_back(right_[v]);
            work.push_back(left_[v]);
            break;
        default:
            break;
        }
    }
    clearMarks();
}

// Writes the stop list of state s into yyvstop and records its offset.
void Run::stopList(int s)
{
    int at = statePositions_[s];
    int count = positions_[at];
    if (count > cap_.maxStatePositions) {
        capacity();
        error("%s", tr("Too many positions for state - acompute", "Privela pozicii pre 'state - acompute'"));
    }
    std::vector<int> rules, heads;
    for (int i = 0; i < count; ++i) {
        int p = positions_[at + 1 + i];
        int k = kind_[p];
        if (k == N_FINAL) {
            rules.push_back(left_[p]);
        } else if (k == N_FINALCTX) {
            if (left_[p] >= cap_.contextRules) {
                // the tables are built after the whole file is read: the
                // line is that of the rule that went over the limit
                capacity();
                size_t rule = static_cast<size_t>(left_[p]);
                errorAt(rule < ruleLines_.size() ? ruleLines_[rule] : -1, "%s",
                        tr("Many right context", "Vela pravych kontextov"));
            }
            rules.push_back(left_[p]);
            contextRules_[left_[p]] = 1;
        } else if (k == N_CTXMARK) {
            heads.push_back(left_[p]);
        }
    }
    if (rules.empty() && heads.empty()) {
        stopOffset_[s] = -1;
        return;
    }
    std::sort(rules.begin(), rules.end());
    for (size_t i = 0; i + 1 < rules.size(); ++i)
        if (rules[i] == rules[i + 1])
            rules[i] = 0;
    stopOffset_[s] = stopCounter_;
    out("                         %s\n", slovak_ ? vork::format("/* Akcia pre stav %d */", s).c_str()
                                                  : vork::format("/* Actions for state %d */", s).c_str());
    for (int r : rules)
        if (r != 0) {
            out("                         %d,\n", r);
            ++stopCounter_;
        }
    for (int h : heads) {
        out("                         %d,\n", h);
        ++stopCounter_;
    }
    out("                         0,\n");
    ++stopCounter_;
}

void Run::buildStates()
{
    std::map<std::vector<int>, int> stateIndex;  // set -> highest state holding it
    int numStart = static_cast<int>(startNames_.size());
    highestState_ = 0;
    while (highestState_ < 2 || highestState_ / 2 < numStart) {
        if (highestState_ >= limits_.states) {
            capacity(limits_.states == defaults_.states);
            error(tr("Too many states %s", "Privela stavov %s"),
                  hint(limits_.states, defaults_.states, "\nTry using %n num", "\nSkuste pouzit '%n num'"));
        }
        currentState_ = highestState_;
        clearMarks();
        if (root_ >= 0)
            first(root_);
        std::vector<int> set = takeMarked();
        statePositions_[highestState_] = addSet(set);
        stateIndex[set] = highestState_;
        ++highestState_;
    }
    --highestState_;
    clearMarks();

    writeVstopHead();
    for (int s = 0; s <= highestState_; ++s) {
        checkStop();
        fallback_[s] = -1;
        compressed_[s] = 0;
        stopList(s);

        // What each position of s reads.
        int at = statePositions_[s];
        int count = positions_[at];
        std::vector<std::pair<int, const unsigned char*>> readers;  // position, packed classes
        bool reads[128] = {};
        bool hasClass = false;
        for (int i = 0; i < count; ++i) {
            int p = positions_[at + 1 + i];
            int k = kind_[p];
            if (k < 128) {
                reads[k] = true;
            } else if (k == N_STRCONT) {
                reads[right_[p] & 0177] = true;
            } else if (k == N_CLASS) {
                hasClass = true;
                const unsigned char* packed = &packedPool_[static_cast<size_t>(left_[p])];
                for (int c = 1; c < 128; ++c)
                    if (classNumber_[c] != 0)
                        for (const unsigned char* q = packed; *q; ++q)
                            if (*q == classNumber_[c]) {
                                reads[c] = true;
                                break;
                            }
            }
        }

        std::vector<int> chars, targets;
        for (int c = 1; c < 128; ++c) {
            if (!reads[c])
                continue;
            clearMarks();
            for (int i = 0; i < count; ++i) {
                int p = positions_[at + 1 + i];
                int k = kind_[p];
                bool on = false;
                if (k < 128) {
                    on = k == c;
                } else if (k == N_STRCONT) {
                    on = right_[p] == c;
                } else if (k == N_CLASS && classNumber_[c] != 0) {
                    for (const unsigned char* q = &packedPool_[static_cast<size_t>(left_[p])]; *q; ++q)
                        if (*q == classNumber_[c]) {
                            on = true;
                            break;
                        }
                }
                if (!on || followSet_[p] < 0)
                    continue;
                int f = followSet_[p];
                for (int j = 0; j < positions_[f]; ++j)
                    mark(positions_[f + 1 + j]);
            }
            std::vector<int> next = takeMarked();
            if (next.empty()) {
                warning(tr("Bad state  %d %o", "Chybny stav  %d %o"), s, static_cast<unsigned>(c));
                continue;
            }
            auto found = stateIndex.find(next);
            int target;
            if (found != stateIndex.end()) {
                target = found->second;
            } else {
                if (highestState_ + 1 >= limits_.states) {
                    capacity(limits_.states == defaults_.states);
                    error(tr("Too many states %s", "Privela stavov %s"),
                          hint(limits_.states, defaults_.states, "\nTry using %n num", "\nSkuste pouzit '%n num'"));
                }
                target = ++highestState_;
                statePositions_[target] = addSet(next);
                stateIndex[next] = target;
            }
            chars.push_back(c);
            targets.push_back(target);
        }
        clearMarks();
        if (chars.empty())
            transBase_[s] = -1;
        else
            packState(s, chars, targets, hasClass);
    }
    writeVstopTail();
}

} // namespace duq_lex

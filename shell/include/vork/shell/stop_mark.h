// StopMark: the source line of a debug stop, selected in its editor page.
// It is only true while the run stands at that stop: when the run goes on
// unwatched or ends, the window takes it away again.
#pragma once

#include <QPointer>

namespace vork::shell {

class TStranka;

class StopMark {
public:
    // Selects line `line` (counted from 1) of the page's editor, caret at
    // the line's start, and brings it into view.  False when the page has
    // no such line; an earlier mark is taken away then.
    bool mark(TStranka* page, int line);
    // Takes the mark away.  Only the selection the mark made goes: one the
    // user has made since is left as it is.  The caret stays.
    void clear();
    // The page holding the mark, or null.
    TStranka* page() const;

private:
    QPointer<TStranka> page_;
    int anchor_ = -1;
    int position_ = -1;
};

} // namespace vork::shell

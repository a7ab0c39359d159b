// Puts the colouring passes' spans onto an editor page.
//
// The colours are display formats of the blocks' layouts, not character
// formats of the document: applying them adds no undo step, leaves the
// modified flag alone, emits no textChanged and keeps the selection and the
// first visible line.  Text that no span covers shows in the editor's own
// plain black.
#pragma once

#include "vork/colour/colouring.h"

class QPlainTextEdit;

namespace vork::shell {

class ColourApplier {
public:
    explicit ColourApplier(const vork::colour::WordTable& table);  // keeps a reference

    // The whole-text pass over the editor's text; replaces any colouring.
    void colourWhole(QPlainTextEdit& editor);
    // Everything black, plain.
    void removeColouring(QPlainTextEdit& editor);
    // The line pass on one line (block); replaces that line's colouring
    // only.  A block number outside the text does nothing.
    void recolourLine(QPlainTextEdit& editor, int blockNumber);

private:
    const vork::colour::WordTable& table_;
};

} // namespace vork::shell

// The run arguments typed for a project's generated compiler, most recent
// first, kept in baseName + ".arg" (one per line, CR LF).  The same list
// offers the run arguments and the Jal argument.
#pragma once

#include <string>
#include <vector>

namespace vork {

class ArgumentHistory {
public:
    static std::string fileFor(const std::string& baseName) { return baseName + ".arg"; }

    // The largest history file read (thousands of items); a larger one, or
    // one that is not a regular file, is not read.
    static constexpr size_t kMaxFileBytes = 1024 * 1024;

    // An accepted dialog text: a new, non-empty text goes to the top; a
    // text already in the list stays where it is.  A text with a line
    // break is not kept, since the file holds one item per line.
    void add(const std::string& text);

    // Replaces the items with the file's lines.  A missing or unreadable
    // file leaves the items as they are.  Empty and repeated lines are
    // dropped, since the dialog never stores either.
    bool load(const std::string& baseName);
    // Writes the items (errors ignored, reported by the result) and then
    // empties the list.
    bool save(const std::string& baseName);

    const std::vector<std::string>& items() const { return items_; }
    void clear() { items_.clear(); }

private:
    std::vector<std::string> items_;
};

} // namespace vork

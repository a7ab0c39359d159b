// The failure of a project construction, carrying the text to show.
#pragma once

#include <stdexcept>
#include <string>

namespace vork {

class ProjectError : public std::runtime_error {
public:
    enum class Kind {
        Io,         // shown to the user
        Cancelled,  // the user declined; nothing is shown
    };

    ProjectError(Kind kind, const std::string& text) : std::runtime_error(text), kind_(kind) {}
    Kind kind() const { return kind_; }
    bool cancelled() const { return kind_ == Kind::Cancelled; }

private:
    Kind kind_;
};

} // namespace vork

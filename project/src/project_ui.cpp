#include "vork/project/project_ui.h"

namespace vork {

bool FixedAnswerUi::askYesNo(const std::string& text, const std::string& caption)
{
    ++questions_;
    const bool yes = answer_ == Answer::Yes;
    if (out_)
        std::fprintf(out_, "%s: %s [%s]\n", caption.c_str(), text.c_str(), yes ? "Áno" : "Nie");
    return yes;
}

void FixedAnswerUi::showMessage(const std::string& text, const std::string& caption, Icon)
{
    ++messages_;
    last_ = text;
    if (out_)
        std::fprintf(out_, "%s: %s\n", caption.c_str(), text.c_str());
}

} // namespace vork

// What the project needs from a user: an answer to a yes/no question and a
// place to show a message.  The GUI answers with message boxes; the
// headless runner answers from its command-line options.
#pragma once

#include <cstdio>
#include <string>

namespace vork {

class ProjectUi {
public:
    enum class Icon { Information, Warning, Error };

    virtual ~ProjectUi() = default;
    virtual bool askYesNo(const std::string& text, const std::string& caption) = 0;
    virtual void showMessage(const std::string& text, const std::string& caption, Icon icon) = 0;
};

// Answers every question the same way and writes questions and messages to
// a stream, one "caption: text" item each.
class FixedAnswerUi : public ProjectUi {
public:
    enum class Answer { Yes, No };

    FixedAnswerUi(Answer answer, std::FILE* out) : answer_(answer), out_(out) {}

    bool askYesNo(const std::string& text, const std::string& caption) override;
    void showMessage(const std::string& text, const std::string& caption, Icon icon) override;

    int questionsAsked() const { return questions_; }
    int messagesShown() const { return messages_; }
    const std::string& lastMessage() const { return last_; }

private:
    Answer answer_;
    std::FILE* out_;
    int questions_ = 0;
    int messages_ = 0;
    std::string last_;
};

} // namespace vork

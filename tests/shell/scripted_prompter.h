// A Prompter for widget tests: answers from queues and records every
// question, so a command that asks can be run to its end without a modal
// loop.  An empty answer queue means No / Cancel.
#pragma once

#include "vork/shell/prompter.h"

#include <QDialog>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace vork::shell::test {

class ScriptedPrompter : public Prompter {
public:
    struct Shown {
        QString caption;
        QString text;
    };

    std::deque<bool> yesNo;
    std::deque<QString> files;
    std::deque<QFont> fonts;
    // Each fills a dialog in and returns its result code.
    std::deque<std::function<int(QDialog&)>> dialogs;

    std::vector<Shown> questions;
    std::vector<Shown> messages;
    std::vector<QString> errorTexts;
    std::vector<FileDialog> fileDialogs;

    bool askYesNo(const QString& caption, const QString& text, Icon) override
    {
        questions.push_back({caption, text});
        if (yesNo.empty())
            return false;
        const bool a = yesNo.front();
        yesNo.pop_front();
        return a;
    }
    // Answers of askNumber; none left: Cancel.
    std::deque<int> numbers;
    bool askNumber(QWidget*, const QString& caption, const QString& label, int& value, int, int) override
    {
        questions.push_back({caption, label});
        if (numbers.empty())
            return false;
        value = numbers.front();
        numbers.pop_front();
        return true;
    }
    // Cancel for the next Yes/No/Cancel question.
    bool cancelNext = false;
    Answer askYesNoCancel(const QString& caption, const QString& text, Icon icon) override
    {
        if (!cancelNext)
            return Prompter::askYesNoCancel(caption, text, icon);
        cancelNext = false;
        questions.push_back({caption, text});
        return Answer::Cancel;
    }
    void inform(const QString& caption, const QString& text, Icon) override { messages.push_back({caption, text}); }
    void showErrorText(const QString& text) override { errorTexts.push_back(text); }
    QString chooseFile(QWidget*, const FileDialog& dialog) override
    {
        fileDialogs.push_back(dialog);
        if (files.empty())
            return {};
        QString f = files.front();
        files.pop_front();
        return f;
    }
    bool chooseFont(QWidget*, QFont& font, int) override
    {
        if (fonts.empty())
            return false;
        font = fonts.front();
        fonts.pop_front();
        return true;
    }
    int execDialog(QDialog& dialog) override
    {
        if (dialogs.empty())
            return QDialog::Rejected;
        auto fill = std::move(dialogs.front());
        dialogs.pop_front();
        return fill(dialog);
    }
};

} // namespace vork::shell::test

#include "commands.h"

#include "vork/project/command_line.h"
#include "vork/project/project_error.h"
#include "vork/project/project_file.h"

#include <algorithm>
#include <cstdio>

namespace vork::app {

Registry& Registry::instance()
{
    static Registry registry;
    return registry;
}

void Registry::addCommand(Command command)
{
    commands_.push_back(std::move(command));
}

void Registry::addModifier(Modifier modifier)
{
    modifiers_.push_back(std::move(modifier));
}

const Command* Registry::findCommand(const std::string& name) const
{
    for (const Command& c : commands_)
        if (c.name == name)
            return &c;
    return nullptr;
}

const Modifier* Registry::findModifier(const std::string& name) const
{
    for (const Modifier& m : modifiers_)
        if (m.name == name)
            return &m;
    return nullptr;
}

std::vector<const Command*> Registry::commands() const
{
    std::vector<const Command*> out;
    for (const Command& c : commands_)
        out.push_back(&c);
    std::stable_sort(out.begin(), out.end(), [](const Command* a, const Command* b) { return a->order < b->order; });
    return out;
}

std::vector<const Modifier*> Registry::modifiers() const
{
    std::vector<const Modifier*> out;
    for (const Modifier& m : modifiers_)
        out.push_back(&m);
    std::stable_sort(out.begin(), out.end(), [](const Modifier* a, const Modifier* b) { return a->order < b->order; });
    return out;
}

ProjectUi& Invocation::ui()
{
    if (!ui_) {
        auto a = answer.value_or(false) ? FixedAnswerUi::Answer::Yes : FixedAnswerUi::Answer::No;
        ui_ = std::make_unique<FixedAnswerUi>(a, stderr);
    }
    return *ui_;
}

QCoreApplication& Invocation::coreApplication()
{
    if (!app_)
        app_ = std::make_unique<QCoreApplication>(argc_, argv_);
    return *app_;
}

bool storableRunArguments(const std::vector<std::string>& words)
{
    const std::string line = joinArguments(words);
    if (line.find_first_of("\r\n") != std::string::npos) {
        std::fprintf(stderr, "vork: argumenty programu nesmú obsahovať koniec riadku\n");
        return false;
    }
    if (line.size() > kMaxProjectLine) {
        std::fprintf(stderr, "vork: argumenty programu sú dlhšie ako %zu znakov\n", kMaxProjectLine);
        return false;
    }
    return true;
}

int reportProjectError(const std::exception& e)
{
    std::fprintf(stderr, "%s\n", e.what());
    return kExitFailure;
}

} // namespace vork::app

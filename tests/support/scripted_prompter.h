#pragma once
// A Prompter for tests: answers from a script, records everything asked.
#include "app/ui/prompter.h"

#include <QStringList>

#include <deque>
#include <optional>
#include <vector>

namespace kestrova::test {

struct AskedMessage {
    QString caption;
    QString text;
    ui::Icon icon;
    ui::Buttons buttons;
};

class ScriptedPrompter : public ui::Prompter {
public:
    ScriptedPrompter() { ui::setPrompter(this); }
    ~ScriptedPrompter() override { ui::setPrompter(nullptr); }

    // Answers for the coming questions, in order; when none is left: Ok / Yes.
    std::deque<ui::Answer> answers;
    // Paths for the coming file dialogs; an empty optional means Cancel.
    std::deque<std::optional<QString>> files;

    std::vector<AskedMessage> messages;
    std::vector<ui::FileRequest> fileRequests;
    QStringList errors;

    QString lastText() const { return messages.empty() ? QString() : messages.back().text; }

    ui::Answer message(QWidget *, const QString &caption, const QString &text, ui::Icon icon,
                       ui::Buttons buttons) override
    {
        messages.push_back({caption, text, icon, buttons});
        if (!answers.empty()) {
            const ui::Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == ui::Buttons::YesNo || buttons == ui::Buttons::YesNoDefaultNo ? ui::Answer::Yes
                                                                                        : ui::Answer::Ok;
    }

// GCC 12 reports a false "maybe uninitialized" on moving a std::optional<QString> out
// of the deque in optimised builds.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
    std::optional<QString> file(QWidget *, const ui::FileRequest &request) override
    {
        fileRequests.push_back(request);
        if (files.empty())
            return std::nullopt;
        std::optional<QString> f = std::move(files.front());
        files.pop_front();
        if (!f.has_value())
            return std::nullopt;
        return *f;
    }
#pragma GCC diagnostic pop

    void error(QWidget *, const QString &text) override { errors << text; }
};

} // namespace kestrova::test

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

    // Answers for the coming questions, in order; when none is left, the first button
    // of the set: Ok or Yes.
    std::deque<ui::Answer> answers;
    // Paths for the coming file dialogs; an empty optional means Cancel.
    std::deque<std::optional<QString>> files;
    // Choices for the coming dialogs that take several files; when none is left, such a
    // dialog takes one path from files.
    std::deque<std::optional<QStringList>> fileLists;

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
        switch (buttons) {
        case ui::Buttons::YesNo:
        case ui::Buttons::YesNoDefaultNo:
        case ui::Buttons::YesNoCancel: return ui::Answer::Yes;
        default: return ui::Answer::Ok;
        }
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

    std::optional<QStringList> openFiles(QWidget *parent, const ui::FileRequest &request) override
    {
        if (fileLists.empty())
            return ui::Prompter::openFiles(parent, request);
        fileRequests.push_back(request);
        std::optional<QStringList> f = std::move(fileLists.front());
        fileLists.pop_front();
        return f;
    }
#pragma GCC diagnostic pop

    void error(QWidget *, const QString &text) override { errors << text; }
};

} // namespace kestrova::test

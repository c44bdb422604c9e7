#pragma once

#include "platform/backends/scripted/ScriptedAnswers.h"

#include <optional>
#include <string>

namespace host {

// Scripted answers to the plug-in's interface queries (codes 5, 8 and 14).
// They share one queue with the dialog answers of the headless backend, so
// answers are consumed strictly in order, one per dialog or query. An empty
// queue answers a query false.
struct Answer {
    enum class Kind { Pick, Cancel };
    Kind kind = Kind::Cancel;
    std::string text;
};

class AnswerQueue {
public:
    void push(Answer answer)
    {
        forms::Answer queued;
        queued.kind = answer.kind == Answer::Kind::Pick ? forms::Answer::Kind::Pick : forms::Answer::Kind::Cancel;
        queued.text = std::move(answer.text);
        backend().queue(std::move(queued));
    }
    bool empty() const { return backend().pendingAnswers() == 0; }
    std::size_t size() const { return backend().pendingAnswers(); }

    // The next answer as a query sees it: anything but a pick cancels it.
    std::optional<Answer> take()
    {
        auto next = backend().next();
        if (!next)
            return std::nullopt;
        if (next->kind == forms::Answer::Kind::Pick)
            return Answer{Answer::Kind::Pick, next->text};
        return Answer{Answer::Kind::Cancel, {}};
    }

private:
    static forms::ScriptedAnswers& backend() { return forms::ScriptedAnswers::instance(); }
};

} // namespace host

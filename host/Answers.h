#pragma once

#include <deque>
#include <optional>
#include <string>

namespace host {

// Scripted answers for the plug-in's questions, consumed in order, one per
// dialog or query. An empty queue cancels a dialog and answers a query false.
struct Answer {
    enum class Kind { Pick, Cancel };
    Kind kind = Kind::Cancel;
    std::string text;
};

class AnswerQueue {
public:
    void push(Answer answer) { queue_.push_back(std::move(answer)); }
    bool empty() const { return queue_.empty(); }
    std::size_t size() const { return queue_.size(); }

    std::optional<Answer> take()
    {
        if (queue_.empty())
            return std::nullopt;
        Answer front = std::move(queue_.front());
        queue_.pop_front();
        return front;
    }

private:
    std::deque<Answer> queue_;
};

} // namespace host

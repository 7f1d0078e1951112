#pragma once

#include "app/boxes/MessageBoxes.h"

#include <deque>
#include <functional>
#include <vector>

namespace taskwick::testing {

// Answers boxes without showing them: takes the queued answers in order (Yes when the
// queue is empty) and keeps every box's kind, title and text.
class RecordingBoxPresenter : public BoxPresenter {
public:
    struct Box {
        BoxKind kind;
        QString text;
        QString title;
        bool notice = false;  // shown without waiting and without the keyboard
    };

    bool present(BoxKind kind, const QString& text, const QString& title) override {
        boxes.push_back({kind, text, title});
        if (whilePresenting) {
            whilePresenting(boxes.back());
        }
        if (answers.empty()) {
            return true;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void notify(BoxKind kind, const QString& text, const QString& title) override {
        present(kind, text, title);
        boxes.back().notice = true;
    }
    void setNextAnswer(bool yes) { answers.push_back(yes); }

    std::vector<Box> boxes;
    std::deque<bool> answers;
    // Runs while a box is "open", as events delivered by its own event loop would.
    std::function<void(const Box&)> whilePresenting;
};

}  // namespace taskwick::testing

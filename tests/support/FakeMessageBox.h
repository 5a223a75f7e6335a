#pragma once
// Scripted message boxes: records every box shown, answers from a queue.
#include "platform/MessageBox.h"

#include <deque>
#include <vector>

namespace zebrix::test {

class FakeMessageBox : public MessageBoxService {
public:
    struct Shown {
        QString text;
        QString title;
        MessageIcon icon;
        MessageButtons buttons;
    };
    MessageAnswer show(
        QWidget*, const QString& text, const QString& title, MessageIcon icon, MessageButtons buttons) override
    {
        shown.push_back({text, title, icon, buttons});
        if (!answers.empty()) {
            const MessageAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
    std::vector<Shown> shown;
    std::deque<MessageAnswer> answers;
};

} // namespace zebrix::test

#pragma once
// Scripted input box: records every box shown, answers from a queue (an empty
// queue is a cancel, which returns the empty string).
#include "platform/InputBox.h"

#include <deque>
#include <vector>

namespace zebrix::test {

class FakeInputBox : public InputBox {
public:
    struct Shown {
        QString title;
        QString prompt;
        QString defaultText;
    };
    QString getText(QWidget*, const QString& title, const QString& prompt, const QString& defaultText) override
    {
        shown.push_back({title, prompt, defaultText});
        if (answers.empty())
            return QString();
        const QString a = answers.front();
        answers.pop_front();
        return a;
    }
    std::vector<Shown> shown;
    std::deque<QString> answers;
};

} // namespace zebrix::test

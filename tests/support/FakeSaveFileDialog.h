#pragma once
// Scripted save dialog: records every request, answers from a queue (an empty
// queue or an empty entry is a cancel).
#include "platform/SaveFileDialog.h"

#include <QFileInfo>

#include <deque>
#include <vector>

namespace zebrix::test {

class FakeSaveFileDialog : public SaveFileDialog {
public:
    struct Answer {
        QString path;
        int fileType = 1;
        // The answer to "already exists, replace it?" when the dialog asks it;
        // declining cancels the dialog.
        bool replaceExisting = true;
    };

    std::optional<SaveDialogAnswer> getSaveFileName(QWidget*, const SaveDialogRequest& request) override
    {
        requests.push_back(request);
        if (answers.empty())
            return std::nullopt;
        const std::optional<Answer> a = answers.front();
        answers.pop_front();
        if (!a)
            return std::nullopt;
        if (request.confirmOverwrite && QFileInfo::exists(a->path)) {
            ++overwriteQuestions;
            if (!a->replaceExisting)
                return std::nullopt;
        }
        return SaveDialogAnswer{a->path, a->fileType};
    }

    std::deque<std::optional<Answer>> answers;
    std::vector<SaveDialogRequest> requests;
    int overwriteQuestions = 0;
};

} // namespace zebrix::test

#include "EditHistory.h"

namespace zebrix {

void EditHistory::record(
    qsizetype at, const QString& removed, const QString& inserted, int cursorBefore, int anchorBefore)
{
    Edit edit{at, removed, inserted, cursorBefore, anchorBefore, false};
    edit.typed = edit.removed.isEmpty() && edit.inserted.size() <= 2;
    for (const Edit& e : redo_)
        size_ -= e.removed.size() + e.inserted.size();
    redo_.clear();
    if (edit.typed && !undo_.empty()) {
        Edit& last = undo_.back();
        if (last.typed && last.at + last.inserted.size() == edit.at) {
            last.inserted += edit.inserted;
            size_ += edit.inserted.size();
            return;
        }
    }
    size_ += edit.removed.size() + edit.inserted.size();
    undo_.push_back(std::move(edit));
    while (undo_.size() > 1 && size_ > kMostCharacters) {
        size_ -= undo_.front().removed.size() + undo_.front().inserted.size();
        undo_.pop_front();
    }
}

void EditHistory::clear()
{
    undo_.clear();
    redo_.clear();
    size_ = 0;
}

std::optional<EditHistory::Edit> EditHistory::undo()
{
    if (undo_.empty())
        return std::nullopt;
    Edit edit = std::move(undo_.back());
    undo_.pop_back();
    edit.typed = false; // redone as one piece
    redo_.push_back(edit);
    return edit;
}

std::optional<EditHistory::Edit> EditHistory::redo()
{
    if (redo_.empty())
        return std::nullopt;
    Edit edit = std::move(redo_.back());
    redo_.pop_back();
    undo_.push_back(edit);
    return edit;
}

} // namespace zebrix

#pragma once
#include <QString>

#include <deque>
#include <optional>
#include <vector>

namespace zebrix {

// The undo and redo lists of a one-line text field. Each change is kept as
// the piece of text taken out and the piece put in at one place, with the
// cursor and selection anchor as they were before it; characters typed one
// after the other join into one step. The lists hold kMostCharacters at most,
// all steps together (the latest step is kept whatever its size).
class EditHistory {
public:
    static constexpr qsizetype kMostCharacters = qsizetype{8} << 20;

    struct Edit {
        qsizetype at;
        QString removed;
        QString inserted;
        int cursorBefore;
        int anchorBefore;
        bool typed; // one character typed: joins the typing before it
    };

    // Records the change of `removed` into `inserted` at `at` as one step
    // and forgets what could be redone.
    void record(qsizetype at, const QString& removed, const QString& inserted, int cursorBefore, int anchorBefore);
    // Forgets everything, as a text set by the program does.
    void clear();

    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    // The step to take back (`removed` put back in place of `inserted`), or to
    // make again; it moves to the other list.
    std::optional<Edit> undo();
    std::optional<Edit> redo();

private:
    std::deque<Edit> undo_;
    std::vector<Edit> redo_;
    qsizetype size_ = 0; // characters held by both lists
};

} // namespace zebrix

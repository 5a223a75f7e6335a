#pragma once
// Reading a one-line text without laying it out whole: where the cursor
// stops (characters and words, as QLineEdit steps over them) and a laid-out
// piece of it.
#include <QString>
#include <QTextLayout>

class QWidget;

namespace zebrix {

// A character is at most this many UTF-16 units away from the next place the
// cursor can stop (longer clusters are split).
constexpr qsizetype kClusterReach = 64;

bool IsBlank(QChar c);

// The cursor positions one character, or one word, after or before `position`.
int NextCharacter(const QString& text, int position);
int PreviousCharacter(const QString& text, int position);
int NextWord(const QString& text, int position);
int PreviousWord(const QString& text, int position);

// A piece of the text [from, to) laid out on one line in the widget's font
// and direction, shown as QLineEdit shows it, with the input method's
// pre-edit text at `preeditAt` when that lies in the piece.
class LinePiece {
public:
    LinePiece(const QString& text, qsizetype from, qsizetype to, const QWidget& widget, const QString& preedit = {},
        qsizetype preeditAt = -1);

    qreal x(qsizetype index) const { return line_.cursorToX(static_cast<int>(index - from_)); }
    qsizetype indexAt(qreal x) const { return from_ + line_.xToCursor(x); }
    qsizetype nextStop(qsizetype index) const
    {
        return from_ + layout_.nextCursorPosition(static_cast<int>(index - from_));
    }
    qreal ascent() const { return line_.ascent(); }
    // The width the whole piece takes, whatever order its characters stand in.
    qreal advance() const { return line_.horizontalAdvance(); }
    QTextLayout& layout() { return layout_; }

private:
    QTextLayout layout_;
    QTextLine line_;
    qsizetype from_;
};

// Whether the text holds right-to-left characters: where it does, the
// characters of a line do not stand left to right in the order of the text.
bool HasRightToLeft(QStringView text);

// The first start in [from, end] from which the text up to `end` takes at
// most `room` in the widget's font, found by widths alone.
qsizetype FirstStartFitting(const QString& text, qsizetype from, qsizetype end, qreal room, const QWidget& widget);

} // namespace zebrix

#include "LineText.h"

#include <QTextBoundaryFinder>
#include <QWidget>

#include <algorithm>

namespace zebrix {

namespace {

// What QLineEdit shows for a character: controls and line separators as
// blanks, so that the line stays one line.
QString DisplayText(QStringView text)
{
    QString s = text.toString();
    for (QChar& c : s) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\t') || u == 0x2028 || u == 0x2029 || u == 0xFFFC)
            c = QLatin1Char(' ');
    }
    return s;
}

// The characters that end a word for Ctrl+arrows, as in QLineEdit.
bool IsWordSeparator(QChar c)
{
    switch (c.unicode()) {
    case '.':
    case ',':
    case '?':
    case '!':
    case '@':
    case '#':
    case '$':
    case ':':
    case ';':
    case '-':
    case '<':
    case '>':
    case '[':
    case ']':
    case '(':
    case ')':
    case '{':
    case '}':
    case '=':
    case '/':
    case '+':
    case '%':
    case '&':
    case '^':
    case '*':
    case '\'':
    case '"':
    case '`':
    case '~':
    case '|':
    case '\\': return true;
    default: return false;
    }
}

} // namespace

bool IsBlank(QChar c) { return c.isSpace() || c.unicode() < 0x20; }

int NextCharacter(const QString& t, int position)
{
    const qsizetype n = t.size();
    if (position >= n)
        return static_cast<int>(n);
    const qsizetype to = std::min(n, position + kClusterReach);
    QTextBoundaryFinder finder(
        QTextBoundaryFinder::Grapheme, t.constData() + position, static_cast<int>(to - position));
    const qsizetype next = finder.toNextBoundary();
    return static_cast<int>(next > 0 ? position + next : position + 1);
}

int PreviousCharacter(const QString& t, int position)
{
    if (position <= 0)
        return 0;
    const qsizetype from = std::max<qsizetype>(0, position - kClusterReach);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, t.constData() + from, static_cast<int>(position - from));
    finder.toEnd();
    const qsizetype previous = finder.toPreviousBoundary();
    return static_cast<int>(previous >= 0 && from + previous < position ? from + previous : position - 1);
}

// Word steps as QLineEdit takes them: over a run of separators or of word
// characters, then over the blanks that follow.
int NextWord(const QString& t, int position)
{
    const qsizetype n = t.size();
    qsizetype p = position;
    if (p < n && IsWordSeparator(t[p])) {
        while (p < n && IsWordSeparator(t[p]))
            ++p;
    } else {
        while (p < n && !IsBlank(t[p]) && !IsWordSeparator(t[p]))
            ++p;
    }
    while (p < n && IsBlank(t[p]))
        ++p;
    return static_cast<int>(p);
}

int PreviousWord(const QString& t, int position)
{
    qsizetype p = std::min<qsizetype>(position, t.size());
    while (p > 0 && IsBlank(t[p - 1]))
        --p;
    if (p > 0 && IsWordSeparator(t[p - 1])) {
        while (p > 0 && IsWordSeparator(t[p - 1]))
            --p;
    } else {
        while (p > 0 && !IsBlank(t[p - 1]) && !IsWordSeparator(t[p - 1]))
            --p;
    }
    return static_cast<int>(p);
}

LinePiece::LinePiece(const QString& text, qsizetype from, qsizetype to, const QWidget& widget, const QString& preedit,
    qsizetype preeditAt)
    : layout_(DisplayText(QStringView(text).mid(from, to - from)), widget.font(), &widget)
    , from_(from)
{
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    option.setTextDirection(widget.layoutDirection());
    layout_.setTextOption(option);
    if (!preedit.isEmpty() && preeditAt >= from && preeditAt <= to)
        layout_.setPreeditArea(static_cast<int>(preeditAt - from), preedit);
    layout_.beginLayout();
    line_ = layout_.createLine();
    layout_.endLayout();
}

bool HasRightToLeft(QStringView text)
{
    for (const QChar ch : text) {
        switch (ch.direction()) {
        case QChar::DirR:
        case QChar::DirAL:
        case QChar::DirRLE:
        case QChar::DirRLO:
        case QChar::DirRLI: return true;
        default: break;
        }
    }
    return false;
}

qsizetype FirstStartFitting(const QString& t, qsizetype from, qsizetype end, qreal room, const QWidget& widget)
{
    qsizetype fits = end;
    while (from < fits) {
        const qsizetype middle = from + (fits - from) / 2;
        if (LinePiece(t, middle, end, widget).advance() <= room)
            fits = middle;
        else
            from = middle + 1;
    }
    return fits;
}

} // namespace zebrix

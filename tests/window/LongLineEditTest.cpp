// The text field that stays quick with a huge text: past ten thousand
// characters it draws a window of the text itself, and editing, undo, the
// clipboard, the mouse, input methods and screen readers work as in a QLineEdit.
#include "LongLineEdit.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace zebrix;

namespace {

constexpr qsizetype kLong = LongLineEdit::kWindowedFrom;
constexpr auto Ctrl = Qt::ControlModifier, Shift = Qt::ShiftModifier;

QString Repeated(const QString& piece, qsizetype length)
{
    QString s;
    while (s.size() < length)
        s += piece;
    return s.left(length);
}

class LongLineEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        edit.resize(305, 21);
        edit.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
        edit.activateWindow();
        edit.setFocus();
        QGuiApplication::clipboard()->clear();
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(&edit, key, modifiers);
    }
    static QString Clipboard() { return QGuiApplication::clipboard()->text(); }

    LongLineEdit edit;
};

} // namespace

TEST_F(LongLineEditTest, GoesWindowedPastTheLimitAndBackWithTheTextAndSignalsIntact)
{
    QSignalSpy changes(&edit, &QLineEdit::textChanged);
    const QString limit = Repeated(QStringLiteral("ZEBRIX 1.0 "), kLong);
    edit.setText(limit);
    EXPECT_FALSE(edit.isWindowed());
    EXPECT_EQ(edit.echoMode(), QLineEdit::Normal);
    edit.end(false);
    QTest::keyClick(&edit, 'Q');
    EXPECT_TRUE(edit.isWindowed());
    EXPECT_EQ(edit.text(), limit + "Q"); // an ordinary text field to input methods, not a password:
    EXPECT_FALSE(edit.inputMethodHints() & (Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText));
    EXPECT_TRUE(edit.testAttribute(Qt::WA_InputMethodEnabled));
    Key(Qt::Key_Backspace);
    EXPECT_FALSE(edit.isWindowed());
    EXPECT_EQ(edit.text(), limit);
    ASSERT_EQ(changes.size(), 3);
    EXPECT_EQ(changes.back().front().toString(), limit);
    const QString million = Repeated(QStringLiteral("0123456789"), 1'000'000);
    edit.setLongText(million);
    EXPECT_TRUE(edit.isWindowed());
    EXPECT_EQ(edit.text(), million);
    edit.setLongText(QString());
    EXPECT_FALSE(edit.isWindowed());
    EXPECT_EQ(changes.size(), 5);
}

TEST_F(LongLineEditTest, KeysEditAWindowedTextAsAQLineEditEditsItsEnd)
{
    const QString tail = QString::fromUtf8("hello world, foo-bar e\u0301 \U0001D11E x.y  (z)");
    const QString head = Repeated(QStringLiteral("ABCDEFGHIJ "), 2 * kLong);
    QLineEdit plain(tail);
    plain.show();
    edit.setText(head + tail);
    ASSERT_TRUE(edit.isWindowed());
    const std::pair<Qt::Key, Qt::KeyboardModifiers> script[] = {
        {Qt::Key_Left, {}}, {Qt::Key_Left, Shift}, {Qt::Key_Left, Shift}, {Qt::Key_Right, {}}, {Qt::Key_Left, Ctrl},
        {Qt::Key_Left, Ctrl}, {Qt::Key_Left, Ctrl | Shift}, {Qt::Key_Right, Ctrl}, {Qt::Key_Delete, {}},
        {Qt::Key_Left, {}}, {Qt::Key_Left, {}}, {Qt::Key_Delete, {}}, {Qt::Key_Backspace, {}},
        {Qt::Key_Backspace, Ctrl}, {Qt::Key_Delete, Ctrl}, {Qt::Key_Right, Shift}, {Qt::Key_Right, Shift},
        {Qt::Key_Delete, {}}, {Qt::Key_Right, Ctrl}, {Qt::Key_Right, Ctrl | Shift}, {Qt::Key_X, {}}, {Qt::Key_End, {}},
        {Qt::Key_Left, Shift}, {Qt::Key_Left, Shift}, {Qt::Key_Left, {}}, {Qt::Key_Right, {}},
    };
    plain.end(false);
    edit.end(false);
    for (std::size_t step = 0; step < std::size(script); ++step) {
        SCOPED_TRACE(step);
        QTest::keyClick(&plain, script[step].first, script[step].second);
        Key(script[step].first, script[step].second);
        ASSERT_EQ(edit.text(), head + plain.text());
        ASSERT_EQ(edit.cursorPosition() - head.size(), plain.cursorPosition());
        ASSERT_EQ(edit.selectedText(), plain.selectedText());
        if (plain.hasSelectedText()) { ASSERT_EQ(edit.selectionStart() - head.size(), plain.selectionStart()); }
    }
    EXPECT_TRUE(edit.isWindowed());
    Key(Qt::Key_Home); // Home and End reach the ends of the whole text
    Key(Qt::Key_Right);
    EXPECT_EQ(edit.cursorPosition(), 1);
    Key(Qt::Key_End, Shift);
    EXPECT_EQ(edit.selectedText().size(), edit.text().size() - 1);
}

TEST_F(LongLineEditTest, UndoTakesBackEachEditAndNeverEmptiesTheField)
{
    for (const qsizetype size : {qsizetype{20}, 3 * kLong}) {
        SCOPED_TRACE(size);
        const QString start = Repeated(QStringLiteral("0123456789"), size);
        edit.setLongText(start);
        edit.end(false);
        QTest::keyClicks(&edit, QStringLiteral("ABC")); // one step of typing
        Key(Qt::Key_Left);
        Key(Qt::Key_Backspace);
        const QString steps[] = {start + "AC", start + "ABC", start, start}; // nothing older: no change
        EXPECT_EQ(edit.text(), steps[0]);
        for (int i = 1; i < 4; ++i) {
            Key(Qt::Key_Z, Ctrl);
            EXPECT_EQ(edit.text(), steps[i]);
        }
        Key(Qt::Key_Z, Ctrl | Shift);
        EXPECT_EQ(edit.text(), start + "ABC");
        Key(Qt::Key_Y, Ctrl);
        EXPECT_EQ(edit.text(), start + "AC");
        EXPECT_FALSE(edit.canRedo());
    }
    // A million characters pasted over a selected short text, typed over, deleted: one step each.
    edit.setText(QStringLiteral("short"));
    edit.selectAll();
    const QString million = Repeated(QStringLiteral("ABCDEFGHIJ"), 1'000'000);
    QGuiApplication::clipboard()->setText(million);
    Key(Qt::Key_V, Ctrl);
    EXPECT_EQ(edit.text(), million);
    Key(Qt::Key_Z, Ctrl);
    EXPECT_EQ(edit.selectedText(), QStringLiteral("short")); // as it was before the paste
    EXPECT_FALSE(edit.isWindowed());
    Key(Qt::Key_Y, Ctrl);
    EXPECT_EQ(edit.text(), million);
    for (Qt::Key key : {Qt::Key_X, Qt::Key_Backspace}) {
        edit.selectAll();
        Key(key);
        EXPECT_EQ(edit.text(), key == Qt::Key_X ? QStringLiteral("x") : QString());
        Key(Qt::Key_Z, Ctrl);
        EXPECT_EQ(edit.text(), million);
    }
    edit.setText(QStringLiteral("new")); // a text set by the program starts a new history
    EXPECT_FALSE(edit.canUndo() || edit.canRedo());
}

TEST_F(LongLineEditTest, CopyCutAndPasteWorkOnAWindowedText)
{
    const QString head = Repeated(QStringLiteral("0123456789"), 2 * kLong);
    edit.setText(head + "CODE 39");
    edit.end(false);
    Key(Qt::Key_Left, Shift, 7);
    Key(Qt::Key_C, Ctrl);
    EXPECT_EQ(Clipboard(), "CODE 39");
    Key(Qt::Key_Left, Shift);
    Key(Qt::Key_X, Ctrl);
    EXPECT_EQ(Clipboard(), "9CODE 39");
    EXPECT_EQ(edit.text(), head.chopped(1));
    Key(Qt::Key_V, Ctrl, 2);
    EXPECT_EQ(edit.text(), head + "CODE 399CODE 39");

    // The desktop's key for the end of the line (Ctrl+K) puts it on the clipboard, as QLineEdit does.
    Key(Qt::Key_Left, {}, 7);
    const QKeySequence toEnd = QKeySequence::keyBindings(QKeySequence::DeleteEndOfLine).value(0);
    if (toEnd.isEmpty()) {
        Key(Qt::Key_End, Shift);
        Key(Qt::Key_X, Ctrl);
    } else {
        Key(toEnd[0].key(), toEnd[0].keyboardModifiers());
    }
    EXPECT_EQ(Clipboard(), "CODE 39");
    EXPECT_EQ(edit.text(), head + "CODE 399");

    edit.selectAll(); // the context menu's Copy
    QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(5, 5), edit.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&edit, &menuEvent);
    auto* menu = edit.findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    for (QAction* a : menu->actions())
        if (a->text().startsWith(QLineEdit::tr("&Copy")) && a->isEnabled())
            a->trigger();
    EXPECT_EQ(Clipboard(), head + "CODE 399");
    menu->close();
}

TEST_F(LongLineEditTest, TheMouseFindsTheCharactersShown)
{
    edit.setText(Repeated(QStringLiteral("WWWWWiiiii"), 3 * kLong) + "hello world");
    edit.end(false);
    edit.repaint();
    const int n = static_cast<int>(edit.text().size());
    EXPECT_GT(edit.firstShown(), n - 300); // the end is in view
    EXPECT_LT(edit.firstShown(), n - 11);
    const auto at = [&](int p) { return QPoint(edit.characterRect(p).left(), edit.height() / 2); };
    for (int p = n - 20; p <= n; ++p) { // every character in view is found where it is drawn
        ASSERT_TRUE(edit.rect().contains(edit.characterRect(p).topLeft())) << p;
        EXPECT_EQ(edit.positionAt(at(p)), p) << p;
    }
    EXPECT_TRUE(edit.characterRect(0).isNull()); // far out of view
    QTest::mouseClick(&edit, Qt::LeftButton, {}, at(n - 5));
    EXPECT_EQ(edit.cursorPosition(), n - 5);
    QTest::mousePress(&edit, Qt::LeftButton, {}, at(n - 11));
    QTest::mouseMove(&edit, at(n - 6));
    QTest::mouseRelease(&edit, Qt::LeftButton, {}, at(n - 6));
    EXPECT_EQ(edit.selectedText(), "hello");
    QTest::mouseDClick(&edit, Qt::LeftButton, {}, at(n - 3));
    EXPECT_EQ(edit.selectedText(), "world");
    Key(Qt::Key_Home); // the start comes back into view
    edit.repaint();
    EXPECT_EQ(edit.firstShown(), 0);
    EXPECT_EQ(edit.positionAt(at(3)), 3);
}

TEST_F(LongLineEditTest, InputMethodsAndScreenReadersGetTheRealText)
{
    const QString head = Repeated(QStringLiteral("0123456789"), 100'000);
    edit.setLongText(head);
    edit.end(false);
    QInputMethodEvent commit(QString(), {}); // a commit, then one replacing the last two characters
    commit.setCommitString(QStringLiteral("AB"));
    QApplication::sendEvent(&edit, &commit);
    EXPECT_EQ(edit.text(), head + "AB");
    QInputMethodEvent replace(QString(), {});
    replace.setCommitString(QStringLiteral("Z"), -2, 2);
    QApplication::sendEvent(&edit, &replace);
    EXPECT_EQ(edit.text(), head + "Z");

    // The text around the cursor, not a megabyte, at each query.
    const QString around = edit.inputMethodQuery(Qt::ImSurroundingText).toString();
    const int at = edit.inputMethodQuery(Qt::ImCursorPosition).toInt();
    EXPECT_LT(around.size(), 1000);
    EXPECT_EQ(around, (head + "Z").right(at));
    EXPECT_TRUE(edit.rect().contains(edit.inputMethodQuery(Qt::ImCursorRectangle).toRect().center()));

    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&edit);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::EditableText);
    EXPECT_EQ(accessible->text(QAccessible::Value), head + "Z");
    EXPECT_FALSE(accessible->state().passwordEdit);
    QAccessibleTextInterface* text = accessible->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->characterCount(), head.size() + 1);
    EXPECT_EQ(text->cursorPosition(), head.size() + 1);
    EXPECT_EQ(text->text(static_cast<int>(head.size()) - 2, static_cast<int>(head.size()) + 1), "89Z");
    accessible->editableTextInterface()->replaceText(0, 2, QStringLiteral("XY"));
    EXPECT_TRUE(edit.text().startsWith("XY23"));
    Key(Qt::Key_Z, Ctrl);
    EXPECT_EQ(edit.text(), head + "Z");
}

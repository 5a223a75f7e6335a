// The text field that stays quick with a huge text: past ten thousand
// characters it draws a window of the text itself. Editing, undo, the
// clipboard, the mouse, input methods and screen readers must work there as
// in an ordinary QLineEdit.
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

#include <memory>

using namespace zebrix;

namespace {

constexpr qsizetype kLong = LongLineEdit::kWindowedFrom;

QString Repeated(const QString& piece, qsizetype length)
{
    QString s;
    s.reserve(length + piece.size());
    while (s.size() < length)
        s += piece;
    s.truncate(length);
    return s;
}

class LongLineEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        edit = std::make_unique<LongLineEdit>();
        edit->resize(305, 21);
        edit->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(edit.get()));
        edit->activateWindow();
        edit->setFocus();
        QGuiApplication::clipboard()->clear();
    }

    std::unique_ptr<LongLineEdit> edit;
};

struct Key {
    int key;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

} // namespace

TEST_F(LongLineEditTest, GoesWindowedPastTheLimitAndBackWithTheTextAndSignalsIntact)
{
    QSignalSpy changes(edit.get(), &QLineEdit::textChanged);
    const QString limit = Repeated(QStringLiteral("ZEBRIX 1.0 "), kLong);
    edit->setText(limit);
    EXPECT_FALSE(edit->isWindowed());
    EXPECT_EQ(edit->echoMode(), QLineEdit::Normal);

    edit->end(false);
    QTest::keyClick(edit.get(), 'Q');
    EXPECT_TRUE(edit->isWindowed());
    EXPECT_EQ(edit->text(), limit + "Q");
    // Shown as an ordinary text field to input methods, not as a password.
    EXPECT_FALSE(edit->inputMethodHints() & (Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText));
    EXPECT_TRUE(edit->testAttribute(Qt::WA_InputMethodEnabled));

    QTest::keyClick(edit.get(), Qt::Key_Backspace);
    EXPECT_FALSE(edit->isWindowed());
    EXPECT_EQ(edit->text(), limit);
    ASSERT_EQ(changes.size(), 3);
    EXPECT_EQ(changes.back().front().toString(), limit);

    // A million characters set at once, and an empty text again.
    const QString million = Repeated(QStringLiteral("0123456789"), 1'000'000);
    edit->setLongText(million);
    EXPECT_TRUE(edit->isWindowed());
    EXPECT_EQ(edit->text(), million);
    edit->setLongText(QString());
    EXPECT_FALSE(edit->isWindowed());
    EXPECT_EQ(changes.size(), 5);
}

TEST_F(LongLineEditTest, KeysEditAWindowedTextAsAQLineEditEditsItsEnd)
{
    // The same keys at the end of a short text in a plain QLineEdit and at
    // the end of a windowed one give the same end, cursor and selection.
    const QString tail = QString::fromUtf8("hello world, foo-bar e\u0301 \U0001D11E x.y  (z)");
    const QString head = Repeated(QStringLiteral("ABCDEFGHIJ "), 2 * kLong);
    QLineEdit plain;
    plain.show();
    plain.setText(tail);
    edit->setText(head + tail);
    ASSERT_TRUE(edit->isWindowed());

    const std::vector<Key> script = {
        {Qt::Key_Left}, {Qt::Key_Left}, {Qt::Key_Left, Qt::ShiftModifier}, {Qt::Key_Left, Qt::ShiftModifier},
        {Qt::Key_Right}, {Qt::Key_Left, Qt::ControlModifier}, {Qt::Key_Left, Qt::ControlModifier},
        {Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier}, {Qt::Key_Right, Qt::ControlModifier},
        {Qt::Key_Delete}, {Qt::Key_Left}, {Qt::Key_Left}, {Qt::Key_Left}, {Qt::Key_Left}, {Qt::Key_Left},
        {Qt::Key_Delete}, {Qt::Key_Delete}, {Qt::Key_Backspace}, {Qt::Key_Backspace, Qt::ControlModifier},
        {Qt::Key_Delete, Qt::ControlModifier}, {Qt::Key_Right, Qt::ShiftModifier}, {Qt::Key_Right, Qt::ShiftModifier},
        {Qt::Key_Right, Qt::ShiftModifier}, {Qt::Key_Delete}, {Qt::Key_Right, Qt::ControlModifier},
        {Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier}, {Qt::Key_X}, {Qt::Key_End},
        {Qt::Key_Left, Qt::ShiftModifier}, {Qt::Key_Left, Qt::ShiftModifier}, {Qt::Key_Left}, {Qt::Key_Right},
    };
    plain.end(false);
    edit->end(false);
    int step = 0;
    for (const Key& k : script) {
        ++step;
        QTest::keyClick(&plain, static_cast<Qt::Key>(k.key), k.modifiers);
        QTest::keyClick(edit.get(), static_cast<Qt::Key>(k.key), k.modifiers);
        ASSERT_TRUE(edit->text().startsWith(head)) << "step " << step;
        ASSERT_EQ(edit->text().mid(head.size()), plain.text()) << "step " << step;
        ASSERT_EQ(edit->cursorPosition() - head.size(), plain.cursorPosition()) << "step " << step;
        ASSERT_EQ(edit->hasSelectedText(), plain.hasSelectedText()) << "step " << step;
        if (plain.hasSelectedText()) {
            ASSERT_EQ(edit->selectionStart() - head.size(), plain.selectionStart()) << "step " << step;
            ASSERT_EQ(edit->selectedText(), plain.selectedText()) << "step " << step;
        }
    }
    EXPECT_TRUE(edit->isWindowed());

    // Home and End go to the ends of the whole text.
    QTest::keyClick(edit.get(), Qt::Key_Home);
    EXPECT_EQ(edit->cursorPosition(), 0);
    QTest::keyClick(edit.get(), Qt::Key_Right);
    EXPECT_EQ(edit->cursorPosition(), 1);
    QTest::keyClick(edit.get(), Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(edit->selectedText().size(), edit->text().size() - 1);
}

TEST_F(LongLineEditTest, UndoTakesBackEachEditAndNeverEmptiesTheField)
{
    for (const qsizetype size : {qsizetype{20}, 3 * kLong}) {
        SCOPED_TRACE(size);
        const QString start = Repeated(QStringLiteral("0123456789"), size);
        edit->setLongText(start);
        edit->end(false);
        QTest::keyClicks(edit.get(), QStringLiteral("ABC")); // one step of typing
        QTest::keyClick(edit.get(), Qt::Key_Left);
        QTest::keyClick(edit.get(), Qt::Key_Backspace);
        EXPECT_EQ(edit->text(), start + "AC");

        QTest::keyClick(edit.get(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(edit->text(), start + "ABC");
        EXPECT_EQ(edit->cursorPosition(), start.size() + 2);
        QTest::keyClick(edit.get(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(edit->text(), start);
        QTest::keyClick(edit.get(), Qt::Key_Z, Qt::ControlModifier); // nothing older: no change
        EXPECT_EQ(edit->text(), start);

        QTest::keyClick(edit.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(edit->text(), start + "ABC");
        QTest::keyClick(edit.get(), Qt::Key_Y, Qt::ControlModifier);
        EXPECT_EQ(edit->text(), start + "AC");
        EXPECT_FALSE(edit->canRedo());
    }

    // A million characters pasted over a short text, and taken back.
    edit->setText(QStringLiteral("short"));
    edit->selectAll();
    const QString million = Repeated(QStringLiteral("ABCDEFGHIJ"), 1'000'000);
    QGuiApplication::clipboard()->setText(million);
    QTest::keyClick(edit.get(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), million);
    EXPECT_TRUE(edit->isWindowed());
    QTest::keyClick(edit.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), QStringLiteral("short"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("short")); // as it was before the paste
    EXPECT_FALSE(edit->isWindowed());
    QTest::keyClick(edit.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), million);

    // Typing over all of it, or Backspace: one step each.
    edit->selectAll();
    QTest::keyClick(edit.get(), 'x');
    EXPECT_EQ(edit->text(), QStringLiteral("x"));
    QTest::keyClick(edit.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), million);
    edit->selectAll();
    QTest::keyClick(edit.get(), Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QString());
    QTest::keyClick(edit.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), million);

    // A text set by the program starts a new history.
    edit->setText(QStringLiteral("new"));
    EXPECT_FALSE(edit->canUndo());
    EXPECT_FALSE(edit->canRedo());
}

TEST_F(LongLineEditTest, CopyCutAndPasteWorkOnAWindowedText)
{
    const QString head = Repeated(QStringLiteral("0123456789"), 2 * kLong);
    edit->setText(head + "CODE 39");
    edit->end(false);
    for (int i = 0; i < 7; ++i)
        QTest::keyClick(edit.get(), Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(edit.get(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "CODE 39");
    EXPECT_EQ(edit->text(), head + "CODE 39");

    QTest::keyClick(edit.get(), Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(edit.get(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "9CODE 39");
    EXPECT_EQ(edit->text(), head.chopped(1));

    QTest::keyClick(edit.get(), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(edit.get(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), head + "CODE 399CODE 39");

    // Where the desktop has a key for it (Ctrl+K), the end of the line goes
    // onto the clipboard, as QLineEdit does.
    for (int i = 0; i < 7; ++i)
        QTest::keyClick(edit.get(), Qt::Key_Left);
    const QKeySequence toEnd = QKeySequence::keyBindings(QKeySequence::DeleteEndOfLine).value(0);
    if (toEnd.isEmpty()) {
        QTest::keyClick(edit.get(), Qt::Key_End, Qt::ShiftModifier);
        QTest::keyClick(edit.get(), Qt::Key_X, Qt::ControlModifier);
    } else {
        QTest::keyClick(edit.get(), toEnd[0].key(), toEnd[0].keyboardModifiers());
    }
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "CODE 39");
    EXPECT_EQ(edit->text(), head + "CODE 399");

    // The context menu's entries do the same.
    edit->selectAll();
    QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(5, 5), edit->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(edit.get(), &menuEvent);
    auto* menu = edit->findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    QAction* copy = nullptr;
    for (QAction* a : menu->actions())
        if (a->text().startsWith(QLineEdit::tr("&Copy")))
            copy = a;
    ASSERT_NE(copy, nullptr);
    ASSERT_TRUE(copy->isEnabled());
    copy->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), head + "CODE 399");
    menu->close();
}

TEST_F(LongLineEditTest, TheMouseFindsTheCharactersShown)
{
    const QString head = Repeated(QStringLiteral("WWWWWiiiii"), 3 * kLong);
    edit->setText(head + "hello world");
    edit->end(false);
    edit->repaint();
    const int n = static_cast<int>(edit->text().size());
    EXPECT_GT(edit->firstShown(), n - 300); // the end is in view
    EXPECT_LT(edit->firstShown(), n - 11);

    // Every character in view is found again where it is drawn.
    for (int p = n - 20; p <= n; ++p) {
        const QRect r = edit->characterRect(p);
        ASSERT_FALSE(r.isNull()) << p;
        ASSERT_TRUE(edit->rect().contains(r.topLeft())) << p;
        EXPECT_EQ(edit->positionAt(QPoint(r.left(), r.center().y())), p) << p;
    }
    EXPECT_TRUE(edit->characterRect(0).isNull()); // far out of view

    // A click puts the cursor there; a drag selects; a double click takes a word.
    const QRect w = edit->characterRect(n - 5);
    QTest::mouseClick(edit.get(), Qt::LeftButton, {}, QPoint(w.left(), w.center().y()));
    EXPECT_EQ(edit->cursorPosition(), n - 5);
    QTest::mousePress(edit.get(), Qt::LeftButton, {}, QPoint(edit->characterRect(n - 11).left(), w.center().y()));
    QTest::mouseMove(edit.get(), QPoint(edit->characterRect(n - 6).left(), w.center().y()));
    QTest::mouseRelease(edit.get(), Qt::LeftButton, {}, QPoint(edit->characterRect(n - 6).left(), w.center().y()));
    EXPECT_EQ(edit->selectedText(), "hello");
    QTest::mouseDClick(edit.get(), Qt::LeftButton, {}, QPoint(edit->characterRect(n - 3).left(), w.center().y()));
    EXPECT_EQ(edit->selectedText(), "world");

    // Home brings the start back into view.
    QTest::keyClick(edit.get(), Qt::Key_Home);
    edit->repaint();
    EXPECT_EQ(edit->firstShown(), 0);
    EXPECT_EQ(edit->positionAt(QPoint(edit->characterRect(3).left(), w.center().y())), 3);
}

TEST_F(LongLineEditTest, InputMethodsAndScreenReadersGetTheRealText)
{
    const QString head = Repeated(QStringLiteral("0123456789"), 100'000);
    edit->setLongText(head);
    edit->end(false);

    // An input method's commit, then one replacing the last two characters.
    QInputMethodEvent commit(QString(), {});
    commit.setCommitString(QStringLiteral("AB"));
    QApplication::sendEvent(edit.get(), &commit);
    EXPECT_EQ(edit->text(), head + "AB");
    QInputMethodEvent replace(QString(), {});
    replace.setCommitString(QStringLiteral("Z"), -2, 2);
    QApplication::sendEvent(edit.get(), &replace);
    EXPECT_EQ(edit->text(), head + "Z");

    // The text around the cursor, not a megabyte, at each query.
    const QString around = edit->inputMethodQuery(Qt::ImSurroundingText).toString();
    const int at = edit->inputMethodQuery(Qt::ImCursorPosition).toInt();
    EXPECT_LT(around.size(), 1000);
    EXPECT_EQ(around.left(at), (head + "Z").right(at));
    EXPECT_EQ(around.mid(at), QString());
    const QRect cursor = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    EXPECT_TRUE(edit->rect().contains(cursor.center()));

    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(edit.get());
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
    EXPECT_TRUE(edit->text().startsWith("XY23"));
    QTest::keyClick(edit.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), head + "Z");
}

// A QLineEdit holding a slice of a huge text: everything acts on the whole text as in a QLineEdit.
#include "LongLineEdit.h"
#include "platform/FrenchTranslations.h"

#include <QAccessible>
#include <QApplication>
#include <QInputMethodEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTranslator>
#include <gtest/gtest.h>

using namespace zebrix;

namespace {

constexpr auto Ctrl = Qt::ControlModifier, Shift = Qt::ShiftModifier;
using Keys = std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>>;

class LongLineEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        edit.resize(305, 21);
        edit.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
        edit.setFocus();
    }
    void Press(const Keys& keys)
    {
        std::ranges::for_each(keys, [&](auto k) { QTest::keyClick(&edit, k.first, k.second); });
    }
    // Where Qt draws the cursor standing at `position` (it scrolls the line as it paints it).
    QRect CursorAt(int position)
    {
        edit.setCursorPosition(position);
        edit.repaint();
        return edit.inputMethodQuery(Qt::ImCursorRectangle).toRect();
    }
    LongLineEdit edit;
    const QString head = QStringLiteral("WWWWWiiiii").repeated(2 * LongLineEdit::kWholeUpTo / 10); // sliced
};

} // namespace

TEST_F(LongLineEditTest, KeysEditItAsAQLineEditEditsTheSameText)
{
    edit.setText(head.left(LongLineEdit::kWholeUpTo)); // a text up to the limit is its own slice
    EXPECT_EQ(edit.sliceSize(), LongLineEdit::kWholeUpTo);
    Press({{Qt::Key_Q, {}}});
    EXPECT_EQ(edit.sliceSize(), LongLineEdit::kSlice);
    const QString tail = QString::fromUtf8("hello world, foo-bar e\u0301 \U0001D11E x.y  (z)");
    const Keys script = {{Qt::Key_Left, {}}, {Qt::Key_Left, Shift}, {Qt::Key_Right, {}}, {Qt::Key_Left, Ctrl},
        {Qt::Key_Left, Ctrl | Shift}, {Qt::Key_Right, Ctrl}, {Qt::Key_Delete, {}}, {Qt::Key_Left, {}},
        {Qt::Key_Backspace, {}}, {Qt::Key_Backspace, Ctrl}, {Qt::Key_Delete, Ctrl}, {Qt::Key_Right, Shift},
        {Qt::Key_Delete, {}}, {Qt::Key_Right, Ctrl | Shift}, {Qt::Key_X, {}}, {Qt::Key_End, {}}, {Qt::Key_Left, Shift},
        {Qt::Key_Left, {}}, {Qt::Key_Left, {}}, {Qt::Key_K, Ctrl}};
    for (const QString& before : {QString(), head}) { // short: a plain QLineEdit; long: its end
        QLineEdit plain(tail);
        edit.setText(before + tail);
        for (std::size_t step = 0; step < script.size(); ++step) {
            SCOPED_TRACE(step);
            QTest::keyClick(&plain, script[step].first, script[step].second);
            Press({script[step]});
            ASSERT_EQ(edit.text(), before + plain.text());
            ASSERT_EQ(edit.cursorPosition() - before.size(), plain.cursorPosition());
            ASSERT_EQ(edit.selectedText(), plain.selectedText());
        }
    }
}

TEST_F(LongLineEditTest, EachChangeIsOneStepOfUndoAndOneSignalAndMayReachPastTheSlice)
{
    edit.setText(head + "CODE 39");
    QSignalSpy changes(&edit, &LongLineEdit::textChanged);
    Press(Keys(8, {Qt::Key_Left, Shift}));
    // Cut, two pastes, "ab" typed (one step), Home (the slice moves, the text does not), "s" at the start.
    Press({{Qt::Key_X, Ctrl}, {Qt::Key_V, Ctrl}, {Qt::Key_V, Ctrl}, {Qt::Key_A, {}}, {Qt::Key_B, {}},
        {Qt::Key_Home, {}}, {Qt::Key_S, {}}});
    EXPECT_EQ(edit.displayText().left(2), "sW"); // the field shows the start
    const std::tuple<Qt::Key, Qt::KeyboardModifiers, QString> steps[] = {{Qt::Key_Z, Ctrl, head + "CODE 39iCODE 39ab"},
        {Qt::Key_Z, Ctrl, head + "CODE 39iCODE 39"}, {Qt::Key_Z, Ctrl, head + "CODE 39"},
        {Qt::Key_Z, Ctrl, head.chopped(1)}, {Qt::Key_Z, Ctrl, head + "CODE 39"}, {Qt::Key_Z, Ctrl, head + "CODE 39"},
        {Qt::Key_Z, Ctrl | Shift, head.chopped(1)}, {Qt::Key_Y, Ctrl, head + "CODE 39"}};
    for (const auto& [key, modifiers, after] : steps) {
        Press({{key, modifiers}});
        EXPECT_EQ(edit.text(), after);
    }
    EXPECT_EQ(changes.size(), 13); // 6 edits, 7 undo and redo that changed something

    // A million characters pasted over a selected short text: taken back with the selection.
    edit.setText(QStringLiteral("short"));
    edit.selectAll();
    QGuiApplication::clipboard()->setText(QStringLiteral("ABCDEFGHIJ").repeated(100'000));
    Press({{Qt::Key_V, Ctrl}});
    EXPECT_EQ(edit.sliceSize(), LongLineEdit::kSlice);
    Press({{Qt::Key_Z, Ctrl}});
    EXPECT_EQ(edit.selectedText(), QStringLiteral("short"));
    edit.setText(QStringLiteral("new")); // a text set by the program starts a new history
    EXPECT_FALSE(edit.isRedoAvailable());

    // A selection wider than the slice: copied, typed over, cut.
    const QString text = head + "END";
    edit.setText(text);
    Press(Keys(2 * LongLineEdit::kSlice, {Qt::Key_Left, Shift})); // the slice follows, the anchor stays
    EXPECT_EQ(edit.selectedText(), text.right(2 * LongLineEdit::kSlice));
    EXPECT_LT(edit.sliceStart(), text.size() - 2 * LongLineEdit::kSlice);
    Press({{Qt::Key_A, Ctrl}, {Qt::Key_C, Ctrl}, {Qt::Key_Z, {}}});
    EXPECT_EQ(QGuiApplication::clipboard()->text(), text);
    EXPECT_EQ(edit.text(), "z");
    Press({{Qt::Key_Z, Ctrl}, {Qt::Key_End, {}}, {Qt::Key_Left, {}}, {Qt::Key_Home, Shift}, {Qt::Key_X, Ctrl}});
    EXPECT_EQ(edit.text(), "D");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), text.chopped(1));
}

TEST_F(LongLineEditTest, TheMouseInputMethodsAndScreenReadersFindTheWholeText)
{
    edit.setText(head + "hello world");
    const int n = static_cast<int>(edit.text().size());
    const auto at = [&](int p) { return QPoint(CursorAt(p).center().x(), edit.height() / 2); };
    const QPoint word = at(n - 3), to = at(n - 6), from = at(n - 11); // leftwards from the end: no scrolling
    QTest::mousePress(&edit, Qt::LeftButton, {}, from);
    QTest::mouseMove(&edit, to);
    QTest::mouseRelease(&edit, Qt::LeftButton, {}, to);
    EXPECT_EQ(edit.selectedText(), "hello");
    QTest::mouseDClick(&edit, Qt::LeftButton, {}, word);
    EXPECT_EQ(edit.selectedText(), "world");
    edit.end(false); // an input method selects the word before the cursor; typed over, undone: selected again
    QInputMethodEvent select({}, {{QInputMethodEvent::Selection, int(n - 5 - edit.sliceStart()), 5, {}}});
    QApplication::sendEvent(&edit, &select);
    Press({{Qt::Key_X, {}}, {Qt::Key_Z, Ctrl}});
    EXPECT_EQ(edit.selectedText(), "world");

    edit.end(false);
    QInputMethodEvent commit, compose(QStringLiteral("ab"), {}), done;
    commit.setCommitString(QStringLiteral("Z"), -2, 2); // replaces the last two characters
    QApplication::sendEvent(&edit, &commit);
    const QString text = head + "hello worZ";
    EXPECT_EQ(edit.text(), text);
    EXPECT_EQ(edit.inputMethodQuery(Qt::ImSurroundingText).toString(), text.mid(edit.sliceStart()));
    const qsizetype start = edit.sliceStart(); // composing near the slice's edge does not move it; the commit does
    edit.QLineEdit::setCursorPosition(static_cast<int>(LongLineEdit::kMargin / 2));
    QApplication::sendEvent(&edit, &compose);
    EXPECT_EQ(edit.sliceStart(), start);
    done.setCommitString(QStringLiteral("ab"));
    QApplication::sendEvent(&edit, &done);
    EXPECT_LT(edit.sliceStart(), start);

    Press({{Qt::Key_Z, Ctrl}, {Qt::Key_End, {}}});
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&edit);
    EXPECT_EQ(accessible->text(QAccessible::Value), text);
    EXPECT_EQ(accessible->textInterface()->cursorPosition(), text.size());
    EXPECT_EQ(accessible->textInterface()->text(n - 4, n - 1), "orZ");
    accessible->editableTextInterface()->replaceText(0, 2, QStringLiteral("XY"));
    EXPECT_TRUE(edit.text().startsWith("XYWWW"));
    Press({{Qt::Key_Z, Ctrl}}); // one step of undo
    EXPECT_EQ(edit.text(), text);
    edit.selectAll();
    EXPECT_EQ(accessible->textInterface()->selectionCount(), 1);
}

// Right-to-left: the cursor and the letter before it drawn in view, the mouse finds the letter there.
TEST_F(LongLineEditTest, RightToLeftTextKeepsTheCursorInView)
{
    const QString hebrew = QString::fromUtf8("אב ").repeated(3400) + "YZ",
                  arabic = QString::fromUtf8("سلام ").repeated(2100);
    const int h = static_cast<int>(hebrew.size()), a = static_cast<int>(arabic.size());
    const std::pair<QString, int> rows[] = {{hebrew, h}, {hebrew, h - 3}, {arabic, a}, {arabic, a - 40}, {arabic, 1},
        {"abc" + arabic, 12}, {arabic, 5001}}; // text, cursor
    for (const auto& [text, cursor] : rows) {
        edit.setText(text);
        const QRect bar = CursorAt(cursor), before = CursorAt(cursor - 1);
        const QImage shot = edit.grab().toImage();
        int ink = 0;
        for (int x = std::min(before.x(), bar.x()); x <= std::max(before.x(), bar.x()); ++x)
            for (int y = bar.top(); y <= bar.bottom(); ++y)
                ink += shot.rect().contains(x, y) && qGray(shot.pixel(x, y)) < 128;
        EXPECT_TRUE(edit.rect().contains(bar.center())) << cursor;
        EXPECT_GT(ink, 0) << cursor;
        const QPoint letter((before.center().x() + bar.center().x()) / 2, bar.center().y());
        EXPECT_NEAR(edit.cursorPositionAt(letter), cursor - 0.5, 0.5) << cursor;
    }
}

// Qt's own menu, in French as the program shows it (its texts are the catalogue's, proven by the message box's
// test): "Tout sélectionner" selects the whole text.
TEST_F(LongLineEditTest, TheMenusSelectAllSelectsTheWholeText)
{
    const QLocale locale;
    QTranslator* french = InstallFrenchTranslations();
    ASSERT_NE(french, nullptr) << "Qt's French translations (qt6-translations-l10n) are not installed";
    edit.setText(head);
    QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(5, 5), edit.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&edit, &menuEvent);
    auto* menu = edit.findChild<QMenu*>();
    EXPECT_TRUE(menu->actions().constLast()->text().startsWith(QStringLiteral("Tout sélectionner")));
    menu->actions().constLast()->trigger();
    EXPECT_EQ(edit.selectedText(), head);
    menu->close();
    QCoreApplication::removeTranslator(french);
    QLocale::setDefault(locale);
}

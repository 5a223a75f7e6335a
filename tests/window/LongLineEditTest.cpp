// The text field that stays quick with a huge text: past ten thousand
// characters it draws a window of the text itself, and keys, undo, the
// clipboard, the mouse, input methods and screen readers work as in a QLineEdit.
#include "LongLineEdit.h"
#include "platform/FrenchTranslations.h"
#include "platform/MessageBox.h"
#include "support/Modal.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTranslator>
#include <gtest/gtest.h>

#include <tuple>

using namespace zebrix;

namespace {

constexpr auto Ctrl = Qt::ControlModifier, Shift = Qt::ShiftModifier;

class LongLineEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        edit.resize(305, 21);
        edit.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
        edit.activateWindow();
        edit.setFocus();
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(&edit, key, modifiers);
    }
    LongLineEdit edit;
    const QString head = QStringLiteral("WWWWWiiiii").repeated(2 * LongLineEdit::kWindowedFrom / 10); // windowed
};

} // namespace

TEST_F(LongLineEditTest, GoesWindowedPastTheLimitAndKeysEditItAsAQLineEditEditsItsEnd)
{
    const QString limit = head.left(LongLineEdit::kWindowedFrom);
    edit.setText(limit);
    EXPECT_FALSE(edit.isWindowed());
    EXPECT_EQ(edit.echoMode(), QLineEdit::Normal);
    edit.end(false);
    QTest::keyClick(&edit, 'Q');
    EXPECT_EQ(edit.text(), limit + "Q");
    EXPECT_TRUE(edit.isWindowed()); // still an ordinary text field to input methods, not a password:
    EXPECT_FALSE(edit.inputMethodHints() & (Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText));
    Key(Qt::Key_Backspace);
    EXPECT_FALSE(edit.isWindowed());

    const QString tail = QString::fromUtf8("hello world, foo-bar e\u0301 \U0001D11E x.y  (z)");
    QLineEdit plain(tail);
    plain.show();
    edit.setText(head + tail);
    const std::pair<Qt::Key, Qt::KeyboardModifiers> script[] = {{Qt::Key_Left, {}}, {Qt::Key_Left, Shift},
        {Qt::Key_Right, {}}, {Qt::Key_Left, Ctrl}, {Qt::Key_Left, Ctrl | Shift}, {Qt::Key_Right, Ctrl},
        {Qt::Key_Delete, {}}, {Qt::Key_Left, {}}, {Qt::Key_Backspace, {}}, {Qt::Key_Backspace, Ctrl},
        {Qt::Key_Delete, Ctrl}, {Qt::Key_Right, Shift}, {Qt::Key_Delete, {}}, {Qt::Key_Right, Ctrl | Shift},
        {Qt::Key_X, {}}, {Qt::Key_End, {}}, {Qt::Key_Left, Shift}, {Qt::Key_Left, {}}};
    for (std::size_t step = 0; step < std::size(script); ++step) {
        SCOPED_TRACE(step);
        QTest::keyClick(&plain, script[step].first, script[step].second);
        Key(script[step].first, script[step].second);
        ASSERT_EQ(edit.text(), head + plain.text());
        ASSERT_EQ(edit.cursorPosition() - head.size(), plain.cursorPosition());
        ASSERT_EQ(edit.selectedText(), plain.selectedText());
    }
    Key(Qt::Key_Home); // Home and End reach the ends of the whole text
    Key(Qt::Key_End, Shift);
    EXPECT_EQ(edit.selectedText(), edit.text());
}

TEST_F(LongLineEditTest, UndoCopyCutAndPasteWorkOnAWindowedTextAndNeverEmptyTheField)
{
    edit.setText(head + "CODE 39");
    edit.end(false);
    Key(Qt::Key_Left, Shift, 8);
    Key(Qt::Key_X, Ctrl);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "iCODE 39");
    Key(Qt::Key_V, Ctrl, 2);
    EXPECT_EQ(edit.text(), head + "CODE 39iCODE 39");
    QTest::keyClicks(&edit, QStringLiteral("AB")); // one step of typing
    const std::tuple<Qt::Key, Qt::KeyboardModifiers, QString> steps[] = {{Qt::Key_Z, Ctrl, head + "CODE 39iCODE 39"},
        {Qt::Key_Z, Ctrl, head + "CODE 39"}, {Qt::Key_Z, Ctrl, head.chopped(1)}, {Qt::Key_Z, Ctrl, head + "CODE 39"},
        {Qt::Key_Z, Ctrl, head + "CODE 39"}, // nothing older
        {Qt::Key_Z, Ctrl | Shift, head.chopped(1)}, {Qt::Key_Y, Ctrl, head + "CODE 39"}};
    for (const auto& [key, modifiers, after] : steps) {
        Key(key, modifiers);
        EXPECT_EQ(edit.text(), after);
    }
    // A million characters pasted over a selected short text: taken back with the selection.
    edit.setText(QStringLiteral("short"));
    edit.selectAll();
    QGuiApplication::clipboard()->setText(QStringLiteral("ABCDEFGHIJ").repeated(100'000));
    Key(Qt::Key_V, Ctrl);
    EXPECT_TRUE(edit.isWindowed());
    Key(Qt::Key_Z, Ctrl);
    EXPECT_EQ(edit.selectedText(), QStringLiteral("short"));
    edit.setText(QStringLiteral("new")); // a text set by the program starts a new history
    EXPECT_FALSE(edit.canUndo() || edit.canRedo());
}

TEST_F(LongLineEditTest, TheMouseInputMethodsAndScreenReadersFindTheRealText)
{
    edit.setLongText(head + "hello world");
    edit.end(false);
    edit.repaint();
    const int n = static_cast<int>(edit.text().size());
    EXPECT_GT(edit.firstShown(), n - 300); // the end is in view, the start far out of it
    EXPECT_TRUE(edit.characterRect(0).isNull());
    const auto at = [&](int p) { return QPoint(edit.characterRect(p).left(), edit.height() / 2); };
    for (int p = n - 20; p <= n; ++p) // every character in view is found where it is drawn
        EXPECT_EQ(edit.positionAt(at(p)), p) << p;
    QTest::mousePress(&edit, Qt::LeftButton, {}, at(n - 11));
    QTest::mouseMove(&edit, at(n - 6));
    QTest::mouseRelease(&edit, Qt::LeftButton, {}, at(n - 6));
    EXPECT_EQ(edit.selectedText(), "hello");
    QTest::mouseDClick(&edit, Qt::LeftButton, {}, at(n - 3));
    EXPECT_EQ(edit.selectedText(), "world");

    edit.end(false);
    QInputMethodEvent commit(QString(), {}); // a commit that replaces the last two characters
    commit.setCommitString(QStringLiteral("Z"), -2, 2);
    QApplication::sendEvent(&edit, &commit);
    const QString text = head + "hello worZ";
    EXPECT_EQ(edit.text(), text);
    const QString around = edit.inputMethodQuery(Qt::ImSurroundingText).toString(); // not the whole text
    EXPECT_LT(around.size(), 1000);
    EXPECT_EQ(around, text.right(edit.inputMethodQuery(Qt::ImCursorPosition).toInt()));
    EXPECT_TRUE(edit.rect().contains(edit.inputMethodQuery(Qt::ImCursorRectangle).toRect().center()));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&edit);
    EXPECT_EQ(accessible->role(), QAccessible::EditableText);
    EXPECT_EQ(accessible->text(QAccessible::Value), text);
    EXPECT_EQ(accessible->textInterface()->cursorPosition(), text.size());
    EXPECT_EQ(accessible->textInterface()->text(n - 4, n - 1), "orZ");
    accessible->editableTextInterface()->replaceText(0, 2, QStringLiteral("XY"));
    EXPECT_TRUE(edit.text().startsWith("XYWWW"));
    Key(Qt::Key_Z, Ctrl); // one step of undo
    EXPECT_EQ(edit.text(), text);
    Key(Qt::Key_Home); // the start comes back into view
    edit.repaint();
    EXPECT_EQ(edit.firstShown(), 0);
    EXPECT_EQ(edit.positionAt(at(3)), 3);
}

// Right-to-left runs stand out of the text's order on the line: the cursor and
// the characters next to it are still in view, drawn where they are said to be.
TEST_F(LongLineEditTest, RightToLeftTextKeepsTheCursorInView)
{
    const QString hebrew = QString::fromUtf8("אב ").repeated(3400) + "YZ",
                  arabic = QString::fromUtf8("سلام ").repeated(2100);
    const int h = static_cast<int>(hebrew.size()), a = static_cast<int>(arabic.size());
    const std::tuple<QString, int, int, bool> rows[] = {// text, cursor, a letter next to it, the field full
        {hebrew, h, h - 1, true}, {hebrew, h - 2, h - 5, true}, {arabic, a, a - 3, true},
        {arabic.left(a - 40), a - 40, a - 43, true}, {arabic, 0, 0, true}, {"abc" + arabic, 12, 11, false},
        {arabic, 5001, 5000, true}};
    for (const auto& [text, cursor, letter, full] : rows) {
        edit.setLongText(text);
        edit.setCursorPosition(cursor);
        const QImage shot = edit.grab().toImage();
        const auto ink = [&](QRect r) {
            int dark = 0;
            for (int x = std::max(r.left(), 0); x <= std::min(r.right(), shot.width() - 1); ++x)
                for (int y = r.top(); y <= r.bottom(); ++y)
                    dark += qGray(shot.pixel(x, y)) < 128;
            return dark;
        };
        const QRect drawn = edit.characterRect(letter), bar = edit.inputMethodQuery(Qt::ImCursorRectangle).toRect();
        EXPECT_TRUE(edit.rect().contains(bar.center()) && edit.rect().contains(drawn) && ink(drawn) > 0) << cursor;
        EXPECT_NEAR(edit.positionAt(drawn.center()), letter, 1) << cursor;
        EXPECT_EQ(ink(QRect(edit.width() - 30, bar.top(), 20, bar.height())) > 0, full) << cursor; // no blank end
    }
}

// Qt's own texts, as the program shows them: in French, whatever the locale; the
// real message box's "Oui" and "Non" give their answers.
TEST_F(LongLineEditTest, QtsOwnTextsAreInFrench)
{
    const QLocale locale;
    QTranslator* french = InstallFrenchTranslations();
    ASSERT_NE(french, nullptr) << "Qt's French translations (qt6-translations-l10n) are not installed";
    edit.setText("abc");
    QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(5, 5), edit.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&edit, &menuEvent);
    QStringList seen;
    for (QAction* a : edit.findChild<QMenu*>()->actions())
        if (!a->isSeparator())
            seen << a->text().section(QLatin1Char('\t'), 0, 0);
    edit.findChild<QMenu*>()->close();
    for (const auto answer : {MessageAnswer::No, MessageAnswer::Yes}) {
        test::OnModal<QMessageBox>([&](QMessageBox* box) {
            seen << box->button(QMessageBox::Yes)->text() + "/" + box->button(QMessageBox::No)->text();
            box->button(answer == MessageAnswer::Yes ? QMessageBox::Yes : QMessageBox::No)->click();
        });
        EXPECT_EQ(
            QtMessageBoxService().show(nullptr, "?", "Zebrix", MessageIcon::Question, MessageButtons::YesNo), answer);
    }
    QCoreApplication::removeTranslator(french);
    QLocale::setDefault(locale);
    EXPECT_EQ(seen,
        QStringList({"&Annuler", "&Rétablir", "Co&uper", "Cop&ier", "Co&ller", "Supprimer", "Tout sélectionner",
            "&Oui/&Non", "&Oui/&Non"}));
}

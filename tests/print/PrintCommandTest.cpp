// The print button of the main window against a scripted print dialog and
// printer: what reaches the page, the pointer, and the printer's failures.
#include "PrintFixture.h"

using namespace zebrix;
using namespace zebrix::test;

namespace {

class Printing : public PrintTest {
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        printers.onStep = [this](const std::string& step) {
            if (step != "abort" && !BusyPointer())
                ADD_FAILURE() << "the pointer is not busy at " << step;
        };
    }

    bool BusyPointer() const { return form->cursor().shape() == Qt::BusyCursor; }
};

using Log = std::vector<std::string>;

} // namespace

TEST_F(Printing, CancelPrintsNothingSaysNothingAndLeavesThePointerAlone)
{
    Save(QStringLiteral("CANCEL"));
    form->setCursor(Qt::CrossCursor); // whatever the window shows, it keeps
    printers.cancel = true;
    Print();
    ASSERT_EQ(printers.dialogParents.size(), 1u);
    EXPECT_EQ(printers.dialogParents[0], form.get());
    EXPECT_TRUE(printers.log.empty());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(form->cursor().shape(), Qt::CrossCursor);

    // Also with nothing to print.
    form->unsetCursor();
    form->reset();
    Print();
    EXPECT_TRUE(printers.log.empty());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(NormalPointer());
}

TEST_F(Printing, TheSavedPictureGoesOnOnePageAtOneMillimetreUnderTheBusyPointer)
{
    const QString path = Save(QStringLiteral("ZEBRIX-42"));
    const QString caption = form->windowTitle();
    Print();
    EXPECT_EQ(printers.log, (Log{"begin", "draw", "end"}));
    ASSERT_EQ(printers.drawn.size(), 1u);
    EXPECT_EQ(printers.drawn[0].topLeftMm, QPointF(1.0, 1.0));
    EXPECT_EQ(printers.drawn[0].picture, LoadPicture(path));
    EXPECT_EQ(ReadZbar(printers.drawn[0].picture), "ZEBRIX-42");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(NormalPointer());
    // Printing reads the window and changes nothing on it.
    EXPECT_EQ(form->windowTitle(), caption);
    EXPECT_TRUE(form->barcodeView()->hasBackgroundPicture());
}

TEST_F(Printing, AFailureAtAnyStepIsToldOnceAndTheDocumentAbandoned)
{
    Save(QStringLiteral("FAIL"));
    using Step = FakePrintService::Step;
    const struct {
        Step step;
        Log log;
    } cases[] = {
        {Step::Begin, {"begin", "abort"}},
        {Step::DrawPicture, {"begin", "draw", "abort"}},
        {Step::End, {"begin", "draw", "end", "abort"}},
    };
    for (bool throws : {false, true})
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << "step " << static_cast<int>(c.step) << (throws ? " throws" : ""));
            printers.failAt = c.step;
            printers.throws = throws;
            printers.log.clear();
            messages.shown.clear();
            Print();
            EXPECT_EQ(printers.log, c.log);
            ExpectOnePrinterError();
            EXPECT_TRUE(NormalPointer());
        }

    // The program goes on: the next print succeeds.
    printers.failAt = Step::None;
    printers.log.clear();
    messages.shown.clear();
    Print();
    EXPECT_EQ(printers.log, (Log{"begin", "draw", "end"}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Printing, WithoutABackgroundPictureNothingIsPrinted)
{
    // Nothing saved yet: the drawn barcode is not what prints.
    form->textField()->setText(QStringLiteral("NOT SAVED"));
    Print();
    EXPECT_EQ(printers.log, (Log{"begin", "abort"}));
    ExpectOnePrinterError();
    EXPECT_TRUE(NormalPointer());

    // After a save and the reset, the same.
    Save(QStringLiteral("SAVED"));
    form->reset();
    printers.log.clear();
    messages.shown.clear();
    Print();
    EXPECT_EQ(printers.log, (Log{"begin", "abort"}));
    ExpectOnePrinterError();
    EXPECT_TRUE(printers.drawn.empty());
}

TEST_F(Printing, ALaterChangeOfTheTextIsNotPrintedUntilTheNextSave)
{
    const QString first = Save(QStringLiteral("FIRST"), QStringLiteral("first.bmp"));
    form->textField()->setText(QStringLiteral("SECOND")); // drawn over the saved picture
    ASSERT_NE(form->barcodeView()->image(), LoadPicture(first));
    Print();
    ASSERT_EQ(printers.drawn.size(), 1u);
    EXPECT_EQ(printers.drawn[0].picture, LoadPicture(first));
    EXPECT_EQ(ReadZbar(printers.drawn[0].picture), "FIRST");

    // Saved again (Save() starts from a clean surface): the page follows.
    const QString second = Save(QStringLiteral("SECOND"), QStringLiteral("second.bmp"));
    Print();
    ASSERT_EQ(printers.drawn.size(), 2u);
    EXPECT_EQ(printers.drawn[1].picture, LoadPicture(second));
    EXPECT_EQ(ReadZbar(printers.drawn[1].picture), "SECOND");
    EXPECT_TRUE(messages.shown.empty());
}

// Files saved through the command scan back, with two different readers, to
// the text drawn: JPEG at a sample of the ratios the box accepts, its ends
// and the fixed types' included (BMP and PNG keep the window's pixels
// exactly, which the picture tests scan; the converter's fuzz target runs
// every ratio).
#include "OutputTestSupport.h"
#include "output/SaveCommand.h"
#include "support/Decoders.h"
#include "support/FakeInputBox.h"
#include "support/FakeMessageBox.h"
#include "support/FakeSaveFileDialog.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

using namespace zebrix;
using namespace zebrix::test;

namespace {

struct Sample {
    const char* name;
    Symbology symbology;
    std::u16string text;
    std::string expected;
};

// Codabar readers differ on the start and stop characters: compare without them.
std::string WithoutCodabarGuards(std::string s)
{
    auto guard = [](char c) { return std::string_view("ABCDabcd").find(c) != std::string_view::npos; };
    if (s.size() >= 2 && guard(s.front()) && guard(s.back()))
        s = s.substr(1, s.size() - 2);
    return s;
}

bool Reads(const std::vector<std::string>& texts, const Sample& sample)
{
    return std::any_of(texts.begin(), texts.end(), [&](const std::string& t) {
        return t == sample.expected
            || (sample.symbology == Symbology::Codabar && WithoutCodabarGuards(t) == sample.expected);
    });
}

std::string Joined(const std::vector<std::string>& texts)
{
    std::string s;
    for (const auto& t : texts)
        s += "[" + t + "]";
    return s.empty() ? "nothing" : s;
}

class SavedFilesScan : public ::testing::TestWithParam<Sample> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        host.draw(GetParam().symbology, GetParam().text, Options{0, 1, 0});
        SaveSeams seams;
        seams.dialog = &dialog;
        seams.inputBox = &input;
        seams.messageBox = &messages;
        seams.converterFolders = {ConverterFolder()};
        seams.temporaryRoot = dir.path();
        command = std::make_unique<SaveCommand>(host, seams);
    }

    QImage save(const QString& name, int fileType, const QString& ratio = {})
    {
        dialog.answers.push_back(FakeSaveFileDialog::Answer{dir.filePath(name), fileType});
        if (!ratio.isEmpty())
            input.answers.push_back(ratio);
        command->run();
        EXPECT_TRUE(messages.shown.empty()) << messages.shown.front().text.toStdString();
        return QImage(command->memory().lastFileName);
    }

    void expectScans(const QImage& image, const std::string& what)
    {
        ASSERT_FALSE(image.isNull()) << what;
        const auto zxing = DecodeWithZXing(image);
        const auto zbar = DecodeWithZbar(image);
        EXPECT_TRUE(Reads(zxing, GetParam())) << what << ": ZXing read " << Joined(zxing);
        EXPECT_TRUE(Reads(zbar, GetParam())) << what << ": zbar read " << Joined(zbar);
    }

    QTemporaryDir dir;
    SurfaceHost host;
    FakeSaveFileDialog dialog;
    FakeInputBox input;
    FakeMessageBox messages;
    std::unique_ptr<SaveCommand> command;
};

void PrintTo(const Sample& s, std::ostream* os) { *os << s.name; }

} // namespace

TEST_P(SavedFilesScan, JpegAtTheRatiosOfTheBox)
{
    for (int ratio : {20, 21, 27, 33, 41, 50, 64, 79, 99, 100})
        expectScans(save("code.jpg", 5, QString::number(ratio)), "JPEG at " + std::to_string(ratio));
    for (int type : {2, 3, 4})
        expectScans(save("code.jpg", type), "JPEG of type " + std::to_string(type));
}

INSTANTIATE_TEST_SUITE_P(Symbologies, SavedFilesScan,
                         ::testing::Values(Sample{"Code39", Symbology::Code39, u"ZEBRIX-39", "ZEBRIX-39"},
                                           Sample{"Interleaved2of5", Symbology::Interleaved2of5, u"12345678", "12345678"},
                                           Sample{"Code128", Symbology::Code128, u"Zebrix 128!", "Zebrix 128!"},
                                           Sample{"Codabar", Symbology::Codabar, u"123-45$", "123-45$"}),
                         [](const auto& info) { return std::string(info.param.name); });

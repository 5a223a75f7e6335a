#pragma once
// A scripted print dialog and printer: the dialog is cancelled or hands out a
// document (recording every call in one log and failing, or throwing, at the
// step chosen) or the real document a test gives.
#include "platform/Printer.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace zebrix::test {

class FakePrintService : public PrintService {
public:
    enum class Step { None, Begin, DrawPicture, End };
    struct Drawn {
        QPointF topLeftMm;
        QImage picture;
    };

    std::unique_ptr<PrinterDocument> choosePrinter(QWidget* parent) override
    {
        dialogParents.push_back(parent);
        return cancel ? nullptr : realDocument ? realDocument() : std::make_unique<Document>(*this);
    }

    bool cancel = false, throws = false;
    Step failAt = Step::None;
    std::function<std::unique_ptr<PrinterDocument>()> realDocument;
    std::function<void(const std::string&)> onStep; // called with each step's name
    std::vector<QWidget*> dialogParents;
    std::vector<std::string> log; // "begin", "draw", "end", "abort"
    std::vector<Drawn> drawn;

private:
    struct Document : PrinterDocument {
        explicit Document(FakePrintService& s)
            : s_(s)
        {
        }
        bool begin() override { return step("begin", Step::Begin); }
        bool drawPicture(QPointF topLeftMm, const QImage& picture) override
        {
            s_.drawn.push_back({topLeftMm, picture});
            return step("draw", Step::DrawPicture);
        }
        bool end() override { return step("end", Step::End); }
        void abort() override { step("abort", Step::None); }
        bool step(const std::string& name, Step which)
        {
            s_.log.push_back(name);
            if (s_.onStep)
                s_.onStep(name);
            if (which != Step::None && which == s_.failAt && s_.throws)
                throw std::runtime_error("printer gone");
            return which == Step::None || which != s_.failAt;
        }
        FakePrintService& s_;
    };
};

} // namespace zebrix::test

#pragma once
// A scripted print dialog and printer: the dialog is cancelled or hands out a
// document that records every call in one log, and fails (or throws) at the
// step the test chooses. A test can also hand out a real document instead.
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
        if (cancel)
            return nullptr;
        if (realDocument)
            return realDocument();
        return std::make_unique<Document>(*this);
    }

    // What the dialog does.
    bool cancel = false;
    // When set, the dialog hands out this document instead of a recording one.
    std::function<std::unique_ptr<PrinterDocument>()> realDocument;
    // The step that fails, returning false or, with `throws`, throwing.
    Step failAt = Step::None;
    bool throws = false;
    // Called at every step of the document, with its name ("begin" ...).
    std::function<void(const std::string&)> onStep;

    std::vector<QWidget*> dialogParents;
    std::vector<std::string> log; // "begin", "draw", "end", "abort"
    std::vector<Drawn> drawn;

private:
    class Document : public PrinterDocument {
    public:
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

    private:
        bool step(const std::string& name, Step which)
        {
            s_.log.push_back(name);
            if (s_.onStep)
                s_.onStep(name);
            if (which != Step::None && which == s_.failAt) {
                if (s_.throws)
                    throw std::runtime_error("printer gone");
                return false;
            }
            return true;
        }
        FakePrintService& s_;
    };
};

} // namespace zebrix::test

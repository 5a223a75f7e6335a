#include "VerdictIndicator.h"

#include "verify/Readers.h"

#include <QMetaObject>

namespace zebrix {

VerdictIndicator::VerdictIndicator(QWidget* parent)
    : QLabel(parent)
{
    reader_.setMaxThreadCount(1);
    setObjectName(QStringLiteral("VerdictIndicator"));
    setTextFormat(Qt::PlainText);
    QFont bold = font(); // the parent's
    bold.setBold(true);
    setFont(bold);
    hide();
}

VerdictIndicator::~VerdictIndicator()
{
    // Its result is posted to this object, whose destruction then drops it.
    reader_.waitForDone();
}

void VerdictIndicator::judge(const Drawing& drawing, Symbology symbology, const Options& options, const QImage& image,
    bool drawnOverSavedPicture)
{
    ++generation_;
    if (auto known = JudgeWithoutReading(drawing, symbology)) {
        waiting_.reset();
        display(std::move(known));
        return;
    }
    display(std::nullopt); // the last verdict was of another drawing
    Job job{generation_, drawing, symbology, options, image, drawnOverSavedPicture};
    if (reading_)
        waiting_ = std::move(job);
    else
        start(std::move(job));
}

void VerdictIndicator::start(Job job)
{
    reading_ = true;
    reader_.start([this, job = std::move(job)] {
        const QImage gray = job.image.convertToFormat(QImage::Format_Grayscale8);
        const Verdict verdict
            = Judge(job.drawing, job.symbology, job.options, job.drawnOverSavedPicture, [&](Reader reader) {
                  const GreyPicture picture{
                      gray.constBits(), gray.width(), gray.height(), static_cast<int>(gray.bytesPerLine())};
                  return std::optional(ReadBarcodes(reader, picture, job.symbology));
              });
        QMetaObject::invokeMethod(
            this, [this, generation = job.generation, verdict] { finished(generation, verdict); },
            Qt::QueuedConnection);
    });
}

void VerdictIndicator::finished(std::uint64_t generation, const Verdict& verdict)
{
    reading_ = false;
    if (generation == generation_)
        display(verdict);
    if (waiting_) {
        Job next = std::move(*waiting_);
        waiting_.reset();
        start(std::move(next));
    }
}

void VerdictIndicator::display(std::optional<Verdict> verdict)
{
    shown_ = std::move(verdict);
    const std::string word = shown_ ? shown_->word() : std::string();
    if (word.empty()) {
        hide();
        setToolTip({});
        setAccessibleName({});
        setAccessibleDescription({});
    } else {
        const bool reads = shown_->kind == Verdict::Kind::Reads;
        // Light green or light orange on the window's black, and a mark.
        QPalette p = palette();
        p.setColor(QPalette::WindowText, reads ? QColor(0x7c, 0xf0, 0x7c) : QColor(0xff, 0xa0, 0x60));
        setPalette(p);
        const QString text = QString::fromUtf8(word);
        setText((reads ? QStringLiteral("\u2714 ") : QStringLiteral("\u2718 ")) + text);
        const QString why = QString::fromUtf8(shown_->explanation());
        setToolTip(why);
        setAccessibleName(text);
        setAccessibleDescription(why);
        show();
    }
    if (observer_ && shown_)
        observer_(*shown_);
}

} // namespace zebrix

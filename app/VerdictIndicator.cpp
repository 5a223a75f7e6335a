#include "VerdictIndicator.h"

#include "verify/Readers.h"

#include <QMetaObject>

#include <algorithm>

namespace zebrix {

namespace {

const QString kReads = QStringLiteral("\u2714 Lisible");
const QString kDoesNotRead = QStringLiteral("\u2718 Illisible");

} // namespace

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

    link_ = new QPushButton(QStringLiteral("Corriger"), parent ? parent : this);
    link_->setObjectName(QStringLiteral("VerdictRemedy"));
    link_->setAutoDefault(false);
    link_->setCursor(Qt::PointingHandCursor);
    QFont underlined = font();
    underlined.setBold(false);
    underlined.setUnderline(true);
    link_->setFont(underlined);
    // A link: its caption alone, in a light blue that reads on black, and a dotted frame when focused.
    link_->setStyleSheet(QStringLiteral("QPushButton { color: #8cc8ff; background: transparent; padding: 0; "
                                        "border: 1px solid transparent; } "
                                        "QPushButton:focus { border: 1px dotted #8cc8ff; }"));
    link_->hide();
    connect(link_, &QPushButton::clicked, this, [this] {
        if (const auto remedy = remedy_) // a copy: the drawing it causes replaces remedy_
            remedy();
    });
}

VerdictIndicator::~VerdictIndicator()
{
    delete link_; // a sibling
    // Its result is posted to this object, whose destruction then drops it.
    reader_.waitForDone();
}

void VerdictIndicator::place(const QRect& band)
{
    const QFontMetrics words(font());
    const int wordWidth = std::max(words.horizontalAdvance(kReads), words.horizontalAdvance(kDoesNotRead)) + 6;
    setGeometry(band.x(), band.y(), std::min(wordWidth, band.width()), band.height());
    const int linkWidth
        = std::min(QFontMetrics(link_->font()).horizontalAdvance(link_->text()) + 8, band.width() - width());
    link_->setGeometry(band.x() + width(), band.y(), std::max(linkWidth, 0), band.height());
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
    std::optional<Remedy> remedy = shown_ && findRemedy_ ? findRemedy_(*shown_) : std::nullopt;
    remedy_ = remedy ? std::move(remedy->apply) : nullptr;
    if (remedy) {
        link_->setToolTip(remedy->tooltip);
        link_->setAccessibleDescription(remedy->tooltip);
    }
    link_->setVisible(remedy.has_value());
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
        setText(reads ? kReads : kDoesNotRead);
        const QString why = QString::fromUtf8(shown_->explanation());
        setToolTip(why);
        setAccessibleName(QString::fromUtf8(word));
        setAccessibleDescription(why);
        show();
    }
    if (observer_ && shown_)
        observer_(*shown_);
}

} // namespace zebrix

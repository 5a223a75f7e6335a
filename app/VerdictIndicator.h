#pragma once
#include "barcode/Drawing.h"
#include "verify/Verdict.h"

#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QThreadPool>

#include <cstdint>
#include <functional>
#include <optional>

namespace zebrix {

// The window's word on its barcode: a mark and "Lisible" or "Illisible",
// the reason in the tooltip and the accessible description, nothing for an
// empty text. Every barcode is read with ZXing-C++ (and zbar) on a thread of
// its own, one picture at a time: while one is read, only the latest drawing
// waits, and a result is shown only if no drawing came after it. A message
// needs no reading and shows at once.
//
// Beside the word, a link "Corriger" (a flat button, reached with Tab) when
// the verdict has a remedy; its tooltip says what it does.
class VerdictIndicator : public QLabel {
public:
    explicit VerdictIndicator(QWidget* parent = nullptr);
    ~VerdictIndicator() override; // waits for the picture being read

    // The word and the link share `band`, in the parent's coordinates.
    void place(const QRect& band);

    // Judges a drawing shown in `image` (taken as it is now).
    void judge(const Drawing& drawing, Symbology symbology, const Options& options, const QImage& image,
        bool drawnOverSavedPicture);

    // The verdict of the latest drawing, once known.
    std::optional<Verdict> verdict() const { return shown_; }

    // What the link does for a verdict: its tooltip and its action, or none.
    struct Remedy {
        QString tooltip;
        std::function<void()> apply;
    };
    using RemedyFinder = std::function<std::optional<Remedy>(const Verdict&)>;
    void setRemedyFinder(RemedyFinder finder) { findRemedy_ = std::move(finder); }
    QPushButton* remedyLink() const { return link_; }

    // Called with every verdict shown (tests, benchmarks).
    using Observer = std::function<void(const Verdict&)>;
    void setObserver(Observer observer) { observer_ = std::move(observer); }

private:
    struct Job {
        std::uint64_t generation;
        Drawing drawing;
        Symbology symbology;
        Options options;
        QImage image;
        bool drawnOverSavedPicture;
    };
    void start(Job job);
    void finished(std::uint64_t generation, const Verdict& verdict);
    void display(std::optional<Verdict> verdict);

    QThreadPool reader_;
    std::uint64_t generation_ = 0;
    bool reading_ = false;
    std::optional<Job> waiting_;
    std::optional<Verdict> shown_;
    Observer observer_;
    QPointer<QPushButton> link_; // a sibling, beside the word
    RemedyFinder findRemedy_;
    std::function<void()> remedy_; // the shown link's
};

} // namespace zebrix

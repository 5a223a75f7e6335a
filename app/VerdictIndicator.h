#pragma once
#include "barcode/Drawing.h"
#include "verify/Verdict.h"

#include <QImage>
#include <QLabel>
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
class VerdictIndicator : public QLabel {
public:
    explicit VerdictIndicator(QWidget* parent = nullptr);
    ~VerdictIndicator() override; // waits for the picture being read

    // Judges a drawing shown in `image` (taken as it is now).
    void judge(const Drawing& drawing, Symbology symbology, const Options& options, const QImage& image,
        bool drawnOverSavedPicture);

    // The verdict of the latest drawing, once known.
    std::optional<Verdict> verdict() const { return shown_; }

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
};

} // namespace zebrix

#include "Batch.h"

#include "LineInput.h"
#include "barcode/Utf.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <unordered_set>

namespace zebrix::cli {

namespace {

using Clock = std::chrono::steady_clock;

// Keeps the messages in line order whatever order the lines finish in, and
// draws the progress bar between them. Only the lines finished ahead of the
// oldest unfinished one are held.
class Reporter {
public:
    Reporter(bool progress, const std::function<void(std::string_view)>& err)
        : progress_(progress), err_(err), start_(Clock::now())
    {
    }

    void setTotal(long long total)
    {
        std::lock_guard lock(mutex_);
        total_ = total;
    }

    void finish(long long line, std::string message)
    {
        std::lock_guard lock(mutex_);
        pending_.emplace(line, std::move(message));
        flush();
    }

    // Several lines at once: one lock for a whole chunk.
    void finish(std::vector<std::pair<long long, std::string>>& results)
    {
        std::lock_guard lock(mutex_);
        for (auto& [line, message] : results)
            pending_.emplace(line, std::move(message));
        flush();
    }

    void tick(bool final)
    {
        std::lock_guard lock(mutex_);
        if (!progress_)
            return;
        const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
        if (final) {
            clearBar();
            return;
        }
        if (seconds < 0.5)
            return; // short batches show nothing
        err_("\r" + ProgressLine(next_ - 1, total_, seconds, 79));
        barShown_ = true;
    }

private:
    void flush()
    {
        for (auto it = pending_.begin(); it != pending_.end() && it->first == next_; it = pending_.erase(it), ++next_) {
            if (!it->second.empty()) {
                clearBar();
                err_(it->second);
            }
        }
    }

    void clearBar()
    {
        if (barShown_)
            err_("\r\x1b[K");
        barShown_ = false;
    }

    std::mutex mutex_;
    bool progress_;
    const std::function<void(std::string_view)>& err_;
    std::map<long long, std::string> pending_;
    long long next_ = 1;
    long long total_ = 0;
    bool barShown_ = false;
    Clock::time_point start_;
};

struct Job {
    long long line;
    RenderRequest request;
    Layout layout;
    std::string path;
};

using Chunk = std::vector<Job>;
constexpr std::size_t kChunk = 32;

// A bounded queue of chunks of work: the reading thread waits when the
// writers fall behind.
class JobQueue {
public:
    explicit JobQueue(std::size_t capacity) : capacity_(capacity) {}
    void push(Chunk job)
    {
        std::unique_lock lock(mutex_);
        notFull_.wait(lock, [&] { return jobs_.size() < capacity_; });
        jobs_.push_back(std::move(job));
        notEmpty_.notify_one();
    }
    bool pop(Chunk& job)
    {
        std::unique_lock lock(mutex_);
        notEmpty_.wait(lock, [&] { return !jobs_.empty() || closed_; });
        if (jobs_.empty())
            return false;
        job = std::move(jobs_.front());
        jobs_.pop_front();
        notFull_.notify_one();
        return true;
    }
    void close()
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        notEmpty_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable notEmpty_, notFull_;
    std::deque<Chunk> jobs_;
    std::size_t capacity_;
    bool closed_ = false;
};

std::string Line(long long n, const std::string& what) { return "line " + std::to_string(n) + ": " + what + "\n"; }

} // namespace

std::string ProgressLine(long long done, long long total, double seconds, int columns)
{
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
    char tail[128];
    if (rate > 0 && done < total) {
        const auto left = static_cast<long long>(static_cast<double>(total - done) / rate + 0.5);
        std::snprintf(tail, sizeof tail, " %lld/%lld lines  %.0f lines/s  %lld:%02lld left", done, total, rate,
                      left / 60, left % 60);
    } else {
        std::snprintf(tail, sizeof tail, " %lld/%lld lines  %.0f lines/s", done, total, rate);
    }
    const int barWidth = std::max(10, columns - static_cast<int>(std::string_view(tail).size()) - 2);
    const int filled = total > 0 ? static_cast<int>(static_cast<double>(barWidth) * static_cast<double>(done)
                                                     / static_cast<double>(total))
                                 : barWidth;
    return "[" + std::string(static_cast<std::size_t>(filled), '#')
        + std::string(static_cast<std::size_t>(barWidth - filled), '.') + "]" + tail;
}

BatchCounts RunBatch(std::string_view input, const BatchSettings& settings,
                     const std::function<void(std::string_view)>& err)
{
    BatchCounts counts;
    {
        // The number of lines, for the progress bar; cheap next to drawing them.
        LineCursor counter(input);
        std::string_view line;
        while (counter.next(line))
            ++counts.lines;
    }
    if (counts.lines == 0)
        return counts;

    Reporter reporter(settings.progress, err);
    reporter.setTotal(counts.lines);
    std::atomic<long long> written{0}, failed{0}, writeErrors{0}, unreadable{0};
    unsigned threads = settings.jobs > 0 ? static_cast<unsigned>(settings.jobs) : std::max(1u, std::thread::hardware_concurrency());
    threads = static_cast<unsigned>(std::min<long long>(threads, counts.lines));

    JobQueue queue(2 * threads + 2);
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t)
        workers.emplace_back([&] {
            Chunk chunk;
            std::vector<std::pair<long long, std::string>> results;
            while (queue.pop(chunk)) {
                results.clear();
                for (const Job& job : chunk) {
                    const Product p = ProduceImage(job.request, job.layout, job.path, settings.output);
                    switch (p.status) {
                    case Product::Written: ++written; break;
                    case Product::WriteFailed: ++failed, ++writeErrors; break;
                    case Product::Unreadable: ++written, ++unreadable; break;
                    }
                    results.emplace_back(job.line, p.message.empty() ? std::string() : Line(job.line, p.message));
                }
                reporter.finish(results);
            }
        });

    std::atomic<bool> running{true};
    std::mutex tickMutex;
    std::condition_variable tickWake;
    std::thread ticker;
    if (settings.progress)
        ticker = std::thread([&] {
            std::unique_lock lock(tickMutex);
            while (!tickWake.wait_for(lock, std::chrono::milliseconds(100), [&] { return !running.load(); }))
                reporter.tick(false);
        });

    // Read, check and name every line here, in order, so that the first
    // line to take a file name keeps it whatever order the writers finish in.
    std::unordered_set<std::string> taken;
    std::u16string text;
    Chunk chunk;
    chunk.reserve(kChunk);
    LineCursor cursor(input);
    std::string_view lineBytes;
    for (long long n = 1; cursor.next(lineBytes); ++n) {
        auto reject = [&](const std::string& why) {
            ++failed;
            reporter.finish(n, Line(n, why));
        };
        if (!Utf8ToUtf16(lineBytes, text)) {
            reject("not valid UTF-8");
            continue;
        }
        if (text.empty()) {
            reject("empty line, nothing to draw");
            continue;
        }
        RenderRequest request = settings.base;
        request.text = text;
        Layout layout = LayOut(request);
        if (!layout.problem.empty()) {
            reject(layout.problem);
            continue;
        }
        if (auto tooBig = CheckSize(layout.width, request.height, settings.output.resolution); !tooBig.empty()) {
            reject(tooBig);
            continue;
        }
        std::string path = settings.names.Expand(n, text);
        if (!taken.insert(path).second) {
            reject(path + " was already written by an earlier line of this batch; not overwritten");
            continue;
        }
        chunk.push_back(Job{n, std::move(request), std::move(layout), std::move(path)});
        if (chunk.size() == kChunk) {
            queue.push(std::move(chunk));
            chunk = Chunk();
            chunk.reserve(kChunk);
        }
    }
    if (!chunk.empty())
        queue.push(std::move(chunk));
    queue.close();
    for (auto& w : workers)
        w.join();
    if (ticker.joinable()) {
        {
            std::lock_guard lock(tickMutex);
            running = false;
        }
        tickWake.notify_all();
        ticker.join();
    }
    reporter.tick(true);

    counts.written = written;
    counts.failed = failed;
    counts.writeErrors = writeErrors;
    counts.unreadable = unreadable;
    return counts;
}

} // namespace zebrix::cli

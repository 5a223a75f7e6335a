#include "Batch.h"

#include "BatchNames.h"
#include "BatchQueue.h"
#include "LineInput.h"
#include "Printable.h"
#include "barcode/Utf.h"
#include "output/files/FileOutput.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdint>
#include <map>
#include <mutex>
#include <pthread.h>
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
    Reporter(bool progress, long long total, const std::function<void(std::string_view)>& err)
        : progress_(progress)
        , err_(err)
        , total_(total)
        , start_(Clock::now())
    {
    }

    // The messages of finished lines, a whole chunk under one lock.
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
    long long total_;
    std::map<long long, std::string> pending_;
    long long next_ = 1;
    bool barShown_ = false;
    Clock::time_point start_;
};

constexpr std::size_t kChunk = 32;

// The bytes a batch holds at once in the lines it has read and not yet
// written (a longer line runs alone): memory stays the same whatever the
// threads and the line lengths.
constexpr std::size_t kBytesInHand = std::size_t{64} << 20;

} // namespace

std::string LineMessage(long long n, const std::string& what)
{
    return "line " + std::to_string(n) + ": " + Printable(what) + "\n";
}

std::string LayOutLine(LineReader::Result read, const std::string& bytes, RenderRequest& request, Layout& layout)
{
    if (read == LineReader::TooLong)
        return "longer than " + std::to_string(kMaxLineBytes >> 20) + " MiB, not drawn";
    if (!Utf8ToUtf16(bytes, request.text))
        return "not valid UTF-8";
    if (request.text.empty())
        return "empty line, nothing to draw";
    layout = LayOut(request);
    return layout.problem;
}

std::string ProgressLine(long long done, long long total, double seconds, int columns)
{
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
    char tail[128];
    if (total <= 0) { // from a pipe: the number of lines is not known
        std::snprintf(tail, sizeof tail, " %lld lines  %.0f lines/s", done, rate);
    } else if (rate > 0 && done < total) {
        const auto left = static_cast<long long>(static_cast<double>(total - done) / rate + 0.5);
        std::snprintf(tail, sizeof tail, " %lld/%lld lines  %.0f lines/s  %lld:%02lld left", done, total, rate,
            left / 60, left % 60);
    } else {
        std::snprintf(tail, sizeof tail, " %lld/%lld lines  %.0f lines/s", done, total, rate);
    }
    const int barWidth = std::max(10, columns - static_cast<int>(std::string_view(tail).size()) - 2);
    const int filled = total > 0 ? static_cast<int>(static_cast<double>(barWidth)
                           * static_cast<double>(std::min(done, total)) / static_cast<double>(total))
                                 : 0;
    return "[" + std::string(static_cast<std::size_t>(filled), '#')
        + std::string(static_cast<std::size_t>(barWidth - filled), '.') + "]" + tail;
}

std::atomic<int>& BatchStop()
{
    static std::atomic<int> stop{0};
    return stop;
}

BatchCounts RunBatch(
    std::string_view input, const BatchSettings& settings, const std::function<void(std::string_view)>& err)
{
    long long lines = 0;
    LineCursor counter(input);
    std::string_view line;
    while (counter.next(line))
        ++lines;
    LineReader reader(input);
    return RunBatch(reader, lines, settings, err);
}

BatchCounts RunBatch(LineReader& input, long long expectedLines, const BatchSettings& settings,
    const std::function<void(std::string_view)>& err)
{
    BatchCounts counts;
    Reporter reporter(settings.progress, expectedLines, err);
    std::atomic<long long> written{0}, failed{0}, writeErrors{0}, unreadable{0};
    unsigned threads
        = settings.jobs > 0 ? static_cast<unsigned>(settings.jobs) : std::max(1u, std::thread::hardware_concurrency());
    if (expectedLines > 0)
        threads = static_cast<unsigned>(std::min<long long>(threads, expectedLines));
    const std::atomic<int>& stop = BatchStop();

    // The signals that stop a batch reach this thread only, so that they
    // interrupt its reading; the writers finish the lines handed to them.
    sigset_t stopSignals, previous;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, &previous);

    JobQueue queue(2 * threads + 2);
    ByteBudget budget(kBytesInHand);
    std::once_flag uncheckedOnce;
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t)
        workers.emplace_back([&] {
            Chunk chunk;
            std::vector<std::pair<long long, std::string>> results;
            while (queue.pop(chunk)) {
                results.clear();
                for (Job& job : chunk) {
                    if (job.path.empty()) {
                        results.emplace_back(job.line, LineMessage(job.line, job.message));
                        budget.give(job.bytes);
                        continue;
                    }
                    Product p = ProduceImage(job.request, job.layout, job.path, settings.output);
                    const long long line = job.line;
                    const std::size_t bytes = job.bytes;
                    { // its memory freed (an assignment would keep it) before its room is given back
                        const Job done = std::move(job);
                    }
                    budget.give(bytes);
                    switch (p.status) {
                    case Product::Written: ++written; break;
                    case Product::WriteFailed: ++failed, ++writeErrors; break;
                    case Product::Unreadable: ++written, ++unreadable; break;
                    case Product::NotChecked:
                        ++written;
                        std::call_once(uncheckedOnce, [&] { counts.unchecked = std::move(p.message); });
                        p.message.clear(); // said once for the batch, not for each file
                        break;
                    }
                    results.emplace_back(line, p.message.empty() ? std::string() : LineMessage(line, p.message));
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
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);

    // Read, check and name every line here, in order, so that the first
    // line to take a file keeps it whatever order the writers finish in.
    // Lines that cannot be drawn go through the queue too: their messages
    // then wait for the lines before them in a bounded queue, never in a
    // growing list.
    TakenFiles taken;
    FileKeys keys;
    std::u16string text;
    Chunk chunk;
    chunk.reserve(kChunk);
    std::string lineBytes;
    long long n = 0;
    // Hands the writers the lines read so far.
    auto handOver = [&] {
        if (chunk.empty())
            return;
        queue.push(std::move(chunk));
        chunk = Chunk();
        chunk.reserve(kChunk);
    };
    for (;;) {
        // Lines typed, or sent slowly through a pipe, are drawn as they come.
        if (!chunk.empty() && !input.ready())
            handOver();
        const LineReader::Result r = input.next(lineBytes);
        if (r == LineReader::End || r == LineReader::Failed || stop.load() != 0) {
            counts.readError = r == LineReader::Failed ? input.error() : 0;
            break;
        }
        ++n;
        Job job{n, {}, {}, {}, {}};
        auto reject = [&](std::string why) {
            ++failed;
            job.message = std::move(why);
        };
        RenderRequest request = settings.base;
        Layout layout;
        std::string path, key;
        if (std::string why = LayOutLine(r, lineBytes, request, layout); !why.empty()) {
            reject(std::move(why));
        } else if (auto tooBig
                   = CheckSize(layout.width, request.height, settings.output.resolution, settings.output.type);
                   !tooBig.empty()) {
            reject(tooBig);
        } else if (path = settings.names.Expand(n, request.text), key = keys.key(path); taken.contains(key)) {
            reject(path + " was already written by an earlier line of this batch; not overwritten");
        } else if (const WriteResult refused = RefusedTarget(path); !refused.written()) {
            // Never written, so it takes no file from a later line.
            ++writeErrors;
            reject(Describe(refused, path));
        } else {
            taken.insert(key);
            job.request = std::move(request);
            job.layout = std::move(layout);
            job.path = std::move(path);
        }
        // The writers free room in the budget only for lines handed to them.
        job.bytes = JobBytes(job, settings.output);
        if (!budget.tryTake(job.bytes) && (handOver(), !budget.take(job.bytes)))
            break;
        chunk.push_back(std::move(job));
        if (chunk.size() == kChunk)
            handOver();
    }
    handOver(); // stopped, the lines read are finished too
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

    counts.lines = n;
    counts.written = written;
    counts.failed = failed;
    counts.writeErrors = writeErrors;
    counts.unreadable = unreadable;
    counts.stoppedBy = stop.load();
    return counts;
}

} // namespace zebrix::cli

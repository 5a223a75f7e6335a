#pragma once
// What a batch's reading thread hands its writers: lines laid out, in chunks,
// through a bounded queue, and the bytes they hold counted against a budget.
#include "Batch.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <vector>

namespace zebrix::cli {

struct Job {
    long long line;
    RenderRequest request;
    Layout layout;
    std::string path; // empty: nothing to draw, only the message to report
    std::string message; // why the line is not drawn
    std::size_t bytes = 0; // taken from the budget until the line is done
};

using Chunk = std::vector<Job>;

// What a line holds, about, from its reading to its file: its text (with the
// label and the message drawn from it), its bar columns, its raster, its file
// being made and, to verify it, the file read back as grey dots.
inline std::size_t JobBytes(const Job& job, const OutputSettings& output)
{
    const Drawing& d = job.layout.drawing;
    std::size_t bytes = sizeof(Job) + job.path.size() + job.message.size()
        + (job.request.text.size() + d.label.size() + d.message.size()) * sizeof(char16_t)
        + d.columns.size() * sizeof(d.columns[0]);
    if (job.path.empty())
        return bytes;
    const auto pixels = static_cast<std::size_t>(job.layout.width) * static_cast<std::size_t>(job.request.height);
    const auto dots = pixels * static_cast<std::size_t>(output.resolution.scale)
        * static_cast<std::size_t>(output.resolution.scale);
    switch (output.type) {
    case ImageType::Bmp:
    case ImageType::Png: bytes += pixels + dots / 4; break; // raster, and the file as it grows
    case ImageType::Jpeg: bytes += pixels + dots / 2; break;
    case ImageType::Svg: bytes += d.label.size() * 8 + d.columns.size() * 64; break; // XML escapes, rectangles
    }
    return bytes + (output.verify ? 2 * dots : 0);
}

// The bytes the lines in hand hold, at most a limit: a line waits for room,
// and one larger than the whole budget waits until it can run alone.
class ByteBudget {
public:
    explicit ByteBudget(std::size_t limit)
        : limit_(limit)
    {
    }
    bool tryTake(std::size_t bytes)
    {
        std::lock_guard lock(mutex_);
        return fits(bytes) && (held_ += bytes, true);
    }
    // Waits for room; false when the batch is stopped first.
    bool take(std::size_t bytes)
    {
        std::unique_lock lock(mutex_);
        while (!freed_.wait_for(lock, std::chrono::milliseconds(50), [&] { return fits(bytes); }))
            if (BatchStop().load() != 0)
                return false;
        held_ += bytes;
        return true;
    }
    void give(std::size_t bytes)
    {
        std::lock_guard lock(mutex_);
        held_ -= bytes;
        freed_.notify_all();
    }

private:
    bool fits(std::size_t bytes) const { return held_ == 0 || held_ + bytes <= limit_; }

    std::mutex mutex_;
    std::condition_variable freed_;
    std::size_t limit_;
    std::size_t held_ = 0;
};

// A bounded queue of chunks of work: the reading thread waits when the
// writers fall behind (they finish every chunk, even once stopped).
class JobQueue {
public:
    explicit JobQueue(std::size_t capacity)
        : capacity_(capacity)
    {
    }
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

} // namespace zebrix::cli

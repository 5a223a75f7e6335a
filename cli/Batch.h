#pragma once
#include "LineInput.h"
#include "NameTemplate.h"
#include "Produce.h"

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace zebrix::cli {

struct BatchSettings {
    RenderRequest base; // every option of a single drawing; the text comes from each line
    NameTemplate names;
    OutputSettings output;
    int jobs = 0; // threads; 0: one per core
    bool progress = false; // a progress bar on the error stream (a terminal)
};

struct BatchCounts {
    long long lines = 0;
    long long written = 0;
    long long failed = 0; // could not be drawn, named or written
    long long writeErrors = 0; // of which: the file could not be written
    long long unreadable = 0; // written, but not read back as drawn
    int readError = 0; // errno when the input could not be read to its end
    int stoppedBy = 0; // the signal that stopped the batch, 0 when it ran to its end
    std::string unchecked; // why --verify could not read the files back at all (the reader missing)
};

// Set (to SIGINT or SIGTERM) by a signal handler: the batch reads no more
// lines, finishes those it has read (none is left half written) and returns.
std::atomic<int>& BatchStop();

// One image per line of input. Messages ("line N: ...") go to err in line
// order. A line that cannot be drawn, or whose file an earlier line of the
// batch has taken (under its name or another one linked to it), is reported
// and skipped; the others are written. Lines are read as they are drawn and
// messages are held only for the few lines in hand, so memory stays the
// same for any number of lines. expectedLines (0: unknown) is for the
// progress bar.
BatchCounts RunBatch(LineReader& input, long long expectedLines, const BatchSettings& settings,
    const std::function<void(std::string_view)>& err);
BatchCounts RunBatch(
    std::string_view input, const BatchSettings& settings, const std::function<void(std::string_view)>& err);

// "line N: what\n", what made printable: a batch's message about one of its lines.
std::string LineMessage(long long n, const std::string& what);

// A line of a batch into request.text and laid out; empty, or why it cannot be drawn (too long, not
// UTF-8, empty, or the encoder's message).
std::string LayOutLine(LineReader::Result read, const std::string& bytes, RenderRequest& request, Layout& layout);

// The progress bar's line: bar, lines done, rate, time left.
std::string ProgressLine(long long done, long long total, double seconds, int columns);

} // namespace zebrix::cli

#include "cli/CliProgress.h"

#include <unistd.h>

#include <fmt/format.h>

#include "cli/TerminalText.h"
#include "intake/AddFileWorker.h"
#include "packing/PackNotice.h"

CliProgress::CliProgress(std::string label, bool showOnTerminal,
                         std::function<std::string()> currentPath)
    : label_(std::move(label)),
      show_(showOnTerminal && ::isatty(STDERR_FILENO) == 1),
      currentPath_(std::move(currentPath)) {}

CliProgress::~CliProgress() {
    Finish();
}

// The end notices need nothing here: the job learns how a worker ended from
// the worker itself once it has joined it.
void CliProgress::Post(const ZelNotice& notice) {
    if (notice.Is(ScanNotice::PathChanged) && currentPath_) {
        if (show_) Show(label_ + ": " + EscapeForTerminal(currentPath_()));
        return;
    }
    if (notice.Is(PackNotice::Progress)) {
        std::lock_guard<std::mutex> guard(mutex_);
        if (show_ && notice.value != lastPercent_) {
            lastPercent_ = notice.value;
            const std::string text = fmt::format("{}: {}%", label_, notice.value);
            const std::string line = "\r\x1b[K" + text;
            (void)!::write(STDERR_FILENO, line.data(), line.size());
            lineShown_ = true;
        }
    }
}

void CliProgress::Show(const std::string& text) {
    std::lock_guard<std::mutex> guard(mutex_);
    // Keep the line within a usual terminal width; cut on a UTF-8 boundary.
    std::string shown = text;
    if (shown.size() > 100) {
        size_t cut = shown.size() - 96;
        while (cut < shown.size() && (static_cast<unsigned char>(shown[cut]) & 0xC0) == 0x80)
            ++cut;
        shown = label_ + ": ..." + shown.substr(cut);
    }
    const std::string line = "\r\x1b[K" + shown;
    (void)!::write(STDERR_FILENO, line.data(), line.size());
    lineShown_ = true;
}

void CliProgress::Finish() {
    std::lock_guard<std::mutex> guard(mutex_);
    if (lineShown_) {
        static const char kClear[] = "\r\x1b[K";
        (void)!::write(STDERR_FILENO, kClear, sizeof kClear - 1);
        lineShown_ = false;
    }
}

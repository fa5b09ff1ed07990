#include "disc/DiscProgress.h"

#include <fmt/format.h>

#include <cmath>

#include "support/TextCodec.h"

namespace {

constexpr auto kReportEvery = std::chrono::milliseconds(250);

std::string Bytes(double bytes) {
    if (bytes >= 1e9) return fmt::format("{:.2f} GB", bytes / 1e9);
    if (bytes >= 1e6) return fmt::format("{:.1f} MB", bytes / 1e6);
    return fmt::format("{:.0f} KB", bytes / 1e3);
}

const char* PhaseText(DiscPhase phase) {
    switch (phase) {
        case DiscPhase::Checking:
            return "ファイルを確認中";
        case DiscPhase::Hashing:
            return "チェックサムを計算中";
        case DiscPhase::Writing:
            return "書き込み中";
        case DiscPhase::Verifying:
            return "検証中";
    }
    return "";
}

}  // namespace

ProgressMeter::ProgressMeter(DiscProgress base, const DiscProgressSink& sink)
    : progress_(base), sink_(sink), start_(std::chrono::steady_clock::now()) {
    progress_.done = 0;
    lastReport_ = start_;
    if (sink_) sink_(progress_);
}

void ProgressMeter::Set(uint64_t done) {
    progress_.done = done;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastReport_ < kReportEvery) return;
    lastReport_ = now;
    Report();
}

void ProgressMeter::Finish() {
    progress_.done = progress_.total;
    Report();
}

void ProgressMeter::Report() {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    progress_.bytesPerSecond = seconds > 0 ? progress_.done / seconds : 0;
    progress_.secondsLeft = progress_.bytesPerSecond > 0 && progress_.total >= progress_.done
                                ? (progress_.total - progress_.done) / progress_.bytesPerSecond
                                : -1;
    if (sink_) sink_(progress_);
}

std::u16string DescribeDiscProgress(const DiscProgress& progress) {
    std::string text;
    if (progress.pack != 0)
        text = fmt::format("パック {} / {}  ", progress.pack, progress.packCount);
    text += PhaseText(progress.phase);
    if (progress.total > 0)
        text += fmt::format("  {} / {}", Bytes(progress.done), Bytes(progress.total));
    if (progress.bytesPerSecond > 0) text += fmt::format("  {}/s", Bytes(progress.bytesPerSecond));
    if (progress.secondsLeft >= 0) {
        const long left = std::lround(progress.secondsLeft);
        text += left >= 60 ? fmt::format("  残り {} 分 {} 秒", left / 60, left % 60)
                           : fmt::format("  残り {} 秒", left);
    }
    return zel::Utf8ToUtf16(text);
}

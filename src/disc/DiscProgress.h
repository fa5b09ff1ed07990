#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

// How far writing or verifying has come, for the window and the terminal.
enum class DiscPhase : uint8_t {
    Checking,   // the pack's sources against the plan
    Hashing,    // the pack's checksums
    Writing,    // xorriso writes the image
    Verifying,  // reading it back
};

struct DiscProgress {
    DiscPhase phase = DiscPhase::Checking;
    uint32_t pack = 0;  // 1-based; 0 when verifying a medium on its own
    uint32_t packCount = 0;
    uint64_t done = 0;  // bytes of this phase
    uint64_t total = 0;
    double bytesPerSecond = 0;
    double secondsLeft = -1;  // -1 while unknown
};

using DiscProgressSink = std::function<void(const DiscProgress&)>;

// Speed and time left of one phase, from its start. Reports at most every
// quarter second so that a sink may print or post every report.
class ProgressMeter {
public:
    ProgressMeter(DiscProgress base, const DiscProgressSink& sink);
    void Advance(uint64_t bytes) { Set(progress_.done + bytes); }
    void Set(uint64_t done);
    void Finish();

private:
    void Report();

    DiscProgress progress_;
    const DiscProgressSink& sink_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastReport_;
};

// "パック 8 / 30  書き込み中  1.20 GB / 4.37 GB  21.3 MB/s  残り 2 分 28 秒"
std::u16string DescribeDiscProgress(const DiscProgress& progress);

#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

// One run of the xorriso program, its messages read line by line as it goes.
// The program rather than its library: a run can then be ended at any point
// without leaving the engine's state behind in this process, and its exit
// status says how it went. Arguments go as they are, never through a shell,
// so any name is safe.
class XorrisoProcess {
public:
    // The program to run; CORVELIN_XORRISO overrides "xorriso" (tests, builds
    // that ship their own).
    static std::string Program();

    // Runs it with args; every line of its standard output and error reaches
    // onLine. Once cancel is set, xorriso is interrupted (it ends a write
    // cleanly on SIGINT) and, if it lingers, killed. Returns its exit status,
    // or -1 when it could not be started or was killed by a signal.
    int Run(const std::vector<std::string>& args,
            const std::function<void(std::string_view)>& onLine,
            const std::atomic<bool>* cancel = nullptr);

    // The problem messages of the last run ("SORRY", "FAILURE", "FATAL").
    const std::vector<std::string>& Problems() const { return problems_; }
    // The problems as one text for a message, at most a few lines.
    std::string ProblemText() const;

private:
    std::vector<std::string> problems_;
};

// xorriso's reply lines in packet mode start "R:1: " or "I:1: "; the text after.
std::string_view XorrisoText(std::string_view line);

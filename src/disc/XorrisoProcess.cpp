#include "disc/XorrisoProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>

extern char** environ;

namespace {

constexpr int kPollMs = 100;
constexpr auto kGraceAfterInterrupt = std::chrono::seconds(10);

}  // namespace

std::string XorrisoProcess::Program() {
    const char* program = std::getenv("CORVELIN_XORRISO");
    return program && *program ? program : "xorriso";
}

std::string_view XorrisoText(std::string_view line) {
    if (line.size() >= 5 && line[1] == ':' && line[3] == ':' && line[4] == ' ')
        line.remove_prefix(5);
    return line;
}

std::string XorrisoProcess::ProblemText() const {
    std::string text;
    size_t shown = 0;
    for (const std::string& problem : problems_) {
        if (++shown > 4) break;
        if (!text.empty()) text += "\n";
        text += problem;
    }
    return text;
}

int XorrisoProcess::Run(const std::vector<std::string>& args,
                        const std::function<void(std::string_view)>& onLine,
                        const std::atomic<bool>* cancel) {
    problems_.clear();
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
    // The child starts with the default signal dispositions and mask, so
    // our own handling of SIGINT does not keep it from ending a write.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    const std::string program = Program();
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawnError =
        posix_spawnp(&pid, program.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    ::close(pipeFds[1]);
    if (spawnError != 0) {
        ::close(pipeFds[0]);
        problems_.push_back(program + ": " + std::to_string(spawnError));
        return -1;
    }

    std::string pending;
    char buffer[65536];
    bool interrupted = false;
    std::chrono::steady_clock::time_point interruptedAt;
    auto takeLine = [&](std::string_view line) {
        const std::string_view text = XorrisoText(line);
        if (text.find(" : SORRY : ") != std::string_view::npos ||
            text.find(" : FAILURE : ") != std::string_view::npos ||
            text.find(" : FATAL : ") != std::string_view::npos ||
            text.find(" : ABORT : ") != std::string_view::npos)
            problems_.emplace_back(text);
        if (onLine) onLine(line);
    };
    for (;;) {
        if (cancel && cancel->load()) {
            if (!interrupted) {
                ::kill(pid, SIGINT);
                interrupted = true;
                interruptedAt = std::chrono::steady_clock::now();
            } else if (std::chrono::steady_clock::now() - interruptedAt > kGraceAfterInterrupt) {
                ::kill(pid, SIGKILL);
            }
        }
        pollfd pfd{pipeFds[0], POLLIN, 0};
        const int ready = ::poll(&pfd, 1, kPollMs);
        if (ready < 0 && errno != EINTR) break;
        if (ready <= 0) continue;
        const ssize_t got = ::read(pipeFds[0], buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            break;
        }
        if (got == 0) break;
        pending.append(buffer, static_cast<size_t>(got));
        size_t start = 0;
        for (size_t end; (end = pending.find('\n', start)) != std::string::npos; start = end + 1)
            takeLine(std::string_view(pending).substr(start, end - start));
        pending.erase(0, start);
    }
    if (!pending.empty()) takeLine(pending);
    ::close(pipeFds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

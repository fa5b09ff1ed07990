#pragma once
// Runs corvelin-cli as a child process, away from the developer's own profile.
// A run that would hang is killed and fails the test instead of the suite.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace testing_support {

struct CliResult {
    int status = -1;  // exit status, or 128 + signal; -1 when killed for taking too long
    std::string out;
    std::string err;
};

using Clock = std::chrono::steady_clock;

// One file's line of an export.
inline std::string Line(const std::string& path, unsigned long long size, int pack,
                        const std::string& group = "") {
    return path + "\t" + std::to_string(size) + "\t" + group + "\t" + std::to_string(pack) +
           "\t\r\n";
}

// argv[0] a full path, run through env(1) without the caller's profile folders
// nor standard input, in workingDir when one is given.
inline pid_t Spawn(const std::vector<std::string>& args, int outFd, int errFd,
                   const std::vector<std::string>& env = {}, const std::string& workingDir = {}) {
    std::vector<std::string> all = {"/usr/bin/env", "-u", "XDG_CONFIG_HOME", "-u",
                                    "LC_ALL",       "-u", "LC_MESSAGES"};
    if (!workingDir.empty()) all.insert(all.end(), {"-C", workingDir});
    // Japanese unless a test says otherwise: the tests check the program's own texts.
    all.insert(all.end(), {"HOME=/nonexistent-corvelin-home", "LANG=ja_JP.UTF-8"});
    all.insert(all.end(), env.begin(), env.end());
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    posix_spawn_file_actions_adddup2(&actions, errFd, 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// The exit status; past the deadline the child is killed and the test fails.
inline int WaitCli(pid_t pid, Clock::time_point deadline = Clock::now() + std::chrono::seconds(5)) {
    for (int status = 0;; usleep(10'000)) {
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (Clock::now() > deadline) break;
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    ADD_FAILURE() << "corvelin-cli did not end in time and was killed";
    return -1;
}

// nonBlockingOut: standard output is a non-blocking pipe, read late.
inline CliResult RunProgram(const std::vector<std::string>& args,
                            const std::vector<std::string>& env = {}, bool nonBlockingOut = false,
                            const std::string& workingDir = {}) {
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    int outPipe[2];
    std::FILE* errFile = std::tmpfile();
    if (!errFile || pipe2(outPipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    if (nonBlockingOut) fcntl(outPipe[1], F_SETFL, O_NONBLOCK);
    const pid_t pid = Spawn(args, outPipe[1], fileno(errFile), env, workingDir);
    close(outPipe[1]);
    if (pid < 0) throw std::runtime_error("spawn failed");
    if (nonBlockingOut) usleep(300'000);  // let the pipe fill first
    CliResult result;
    char buffer[65536];
    for (pollfd p{outPipe[0], POLLIN, 0}; Clock::now() < deadline;) {
        if (poll(&p, 1, 100) <= 0) continue;
        const ssize_t n = read(outPipe[0], buffer, sizeof buffer);
        if (n <= 0) break;
        result.out.append(buffer, static_cast<size_t>(n));
    }
    close(outPipe[0]);
    result.status = WaitCli(pid, deadline);
    std::rewind(errFile);
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, errFile)) > 0;)
        result.err.append(buffer, n);
    std::fclose(errFile);
    return result;
}

inline CliResult RunCli(std::vector<std::string> args, const std::string& workingDir = {}) {
    args.insert(args.begin(), CORVELIN_CLI_PATH);
    return RunProgram(args, {}, false, workingDir);
}

// For a test that signals the run; WaitCli gives its status.
inline pid_t StartCli(std::vector<std::string> args, int outFd, int errFd) {
    args.insert(args.begin(), CORVELIN_CLI_PATH);
    return Spawn(args, outFd, errFd);
}

}  // namespace testing_support

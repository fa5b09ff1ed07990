#pragma once
// Runs corvelin-cli as a child process and collects what it printed.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace testing_support {

struct CliResult {
    int status = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};

// Runs any program (argv[0] a full path) the way RunCli runs corvelin-cli.
// nonBlockingOut: standard output is a pipe in non-blocking mode, read late.
inline CliResult RunProgram(std::vector<std::string> argvStrings,
                            const std::vector<std::string>& extraEnv = {},
                            bool nonBlockingOut = false) {
    int outPipe[2];
    std::FILE* errFile = std::tmpfile();
    if (!errFile || pipe2(outPipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    if (nonBlockingOut) fcntl(outPipe[1], F_SETFL, O_NONBLOCK);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, fileno(errFile), 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    std::vector<char*> argv;
    for (auto& a : argvStrings)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    // Keep the run independent of the developer's own profile.
    std::vector<std::string> envStrings = {"HOME=/nonexistent-corvelin-home"};
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind("XDG_CONFIG_HOME=", 0) != 0 && entry.rfind("HOME=", 0) != 0) {
            envStrings.push_back(entry);
        }
    }
    envStrings.insert(envStrings.end(), extraEnv.begin(), extraEnv.end());
    std::vector<char*> envp;
    for (auto& e : envStrings)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(outPipe[1]);
    if (rc != 0) throw std::runtime_error("spawn failed");
    if (nonBlockingOut) usleep(300'000);  // let the pipe fill first
    CliResult result;
    char buffer[65536];
    for (ssize_t n; (n = read(outPipe[0], buffer, sizeof buffer)) > 0;)
        result.out.append(buffer, static_cast<size_t>(n));
    close(outPipe[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::rewind(errFile);
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, errFile)) > 0;)
        result.err.append(buffer, n);
    std::fclose(errFile);
    return result;
}

inline CliResult RunCli(const std::vector<std::string>& args, const std::string& workingDir = {},
                        const std::vector<std::string>& extraEnv = {}) {
    std::vector<std::string> argvStrings;
    if (!workingDir.empty()) {
        // Start in another folder through env(1), which every Debian system has.
        argvStrings = {"/usr/bin/env", "-C", workingDir, CORVELIN_CLI_PATH};
    } else {
        argvStrings = {CORVELIN_CLI_PATH};
    }
    argvStrings.insert(argvStrings.end(), args.begin(), args.end());
    return RunProgram(std::move(argvStrings), extraEnv);
}

// Starts corvelin-cli with standard output on outFd and standard error into
// errFile, for a test that signals it; WaitCli gives its status.
inline pid_t StartCli(const std::vector<std::string>& args, int outFd, const std::string& errFile) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT, 0644);
    std::vector<std::string> strings = {CORVELIN_CLI_PATH};
    strings.insert(strings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : strings)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// The exit status (128 + signal); -1 and the child killed when it has not
// ended within five seconds.
inline int WaitCli(pid_t pid) {
    for (int i = 0; i < 500; ++i) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        usleep(10'000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

}  // namespace testing_support

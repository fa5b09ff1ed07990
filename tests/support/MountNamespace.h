#pragma once
// Runs a step in a child process under a condition a test cannot make in its
// own process (tests run as root, where permissions never stop a write).

#include <dirent.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

enum class Isolation {
    ReadOnly,      // the folder bound over itself read-only, in a private mount namespace
    Unprivileged,  // user and group "nobody"
};

struct IsolatedRun {
    bool available = false;  // false: the condition cannot be made here, skipReason says why
    std::string skipReason;
    std::string output;  // what the step returned
};

// Makes the condition in the child; the reason it could not, or "".
inline std::string Isolate(const std::string& folder, Isolation kind) {
    auto failed = [](const char* what) { return std::string(what) + ": " + std::strerror(errno); };
    const char* dir = folder.c_str();
    switch (kind) {
        case Isolation::Unprivileged:
            if (::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0)) return "";
            return failed("setuid");
        case Isolation::ReadOnly:
            break;
    }
    if (::unshare(CLONE_NEWNS) != 0) return failed("unshare");
    // Without this the mounts would show in the machine's namespace.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return failed("private");
    if (::mount(dir, dir, nullptr, MS_BIND, nullptr) != 0) return failed("bind");
    return ::mount(nullptr, dir, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0
               ? ""
               : failed("read-only remount");
}

// The step runs in the child once the condition is made; mounts end with it.
inline IsolatedRun RunIsolated(const std::string& folder, Isolation kind,
                               const std::function<std::string()>& step) {
    IsolatedRun run;
    int fds[2];
    if (::pipe(fds) != 0) return run;
    const pid_t pid = ::fork();
    if (pid == 0) {
        const std::string reason = Isolate(folder, kind);
        const std::string text = reason.empty() ? "+" + step() : "-" + reason;
        const bool whole = ::write(fds[1], text.data(), text.size()) == ssize_t(text.size());
        ::_exit(whole ? 0 : 2);
    }
    ::close(fds[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; pid > 0 && (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(n));
    ::close(fds[0]);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || (!text.empty() && text[0] == '-')) {
        run.skipReason = "cannot isolate the test here (" + text + ")";
        return run;
    }
    run.available = true;
    run.output = text.empty() ? text : text.substr(1);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) run.output += "\n[child failed]";
    return run;
}

// The names in a folder, sorted, separated by "|": catches leftover files.
inline std::string FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* ent = ::readdir(dir))
            if (std::strcmp(ent->d_name, ".") != 0 && std::strcmp(ent->d_name, "..") != 0)
                names.push_back(ent->d_name);
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    std::string out;
    for (const std::string& name : names)
        out += (out.empty() ? "" : "|") + name;
    return out;
}

}  // namespace testing_support

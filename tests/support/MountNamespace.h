#pragma once
// Runs a step in a child process under conditions a test cannot make in its
// own process: a read-only or tiny mount in a private mount namespace, an
// unprivileged user (tests run as root, where permissions never stop a write),
// a file-size limit. Where the condition cannot be made, the run says why, and
// the test skips with that reason:
//   if (!run.available) GTEST_SKIP() << run.skipReason;

#include <dirent.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
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
    None,           // the child as it is
    ReadOnly,       // the folder bound over itself, read-only
    TinyTmpfs,      // a fresh 64 KiB tmpfs over the folder
    Unprivileged,   // user and group "nobody" (when running as root)
    FileSizeLimit,  // files may not grow past 32 bytes; SIGXFSZ ignored
};

struct IsolatedRun {
    bool available = false;  // false: the condition cannot be made here
    std::string skipReason;
    std::string output;  // what the step returned
};

namespace detail {

// Makes the condition in the child; the reason it could not, or "".
inline std::string Isolate(const std::string& folder, Isolation kind) {
    auto failed = [](const char* what) { return std::string(what) + ": " + std::strerror(errno); };
    const char* dir = folder.c_str();
    switch (kind) {
        case Isolation::None:
            return "";
        case Isolation::Unprivileged:
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
                return failed("setuid");
            }
            return "";
        case Isolation::FileSizeLimit: {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{32, 32};
            return ::setrlimit(RLIMIT_FSIZE, &limit) == 0 ? "" : failed("setrlimit");
        }
        default:
            break;
    }
    if (::unshare(CLONE_NEWNS) != 0) return failed("unshare");
    // Without this every mount below would show in the machine's namespace;
    // it fails where "/" is not a mount point (a chroot), and then nothing
    // can be mounted safely.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        return failed("making / private");
    }
    if (kind == Isolation::ReadOnly) {
        if (::mount(dir, dir, nullptr, MS_BIND, nullptr) != 0) return failed("bind");
        if (::mount(nullptr, dir, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
            return failed("read-only remount");
        }
    } else if (::mount("tmpfs", dir, "tmpfs", 0, "size=64k") != 0) {
        return failed("tmpfs");
    }
    return "";
}

inline void WriteAllOrExit(int fd, const std::string& text) {
    for (size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0) ::_exit(2);
        done += static_cast<size_t>(n);
    }
}

}  // namespace detail

// The step runs in the child once the condition is made; what it returns comes
// back in output. Mounts end with the child.
inline IsolatedRun RunIsolated(const std::string& folder, Isolation kind,
                               const std::function<std::string()>& step) {
    IsolatedRun run;
    int fds[2];
    if (::pipe(fds) != 0) {
        run.skipReason = "no pipe";
        return run;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        const std::string reason = detail::Isolate(folder, kind);
        detail::WriteAllOrExit(fds[1], reason.empty() ? "+" + step() : "-" + reason);
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string text;
    char buffer[4096];
    ssize_t n;
    while (pid > 0 && (n = ::read(fds[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(n));
    ::close(fds[0]);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid) {
        run.skipReason = "no child process";
        return run;
    }
    if (!text.empty() && text[0] == '-') {
        run.skipReason = "cannot isolate the test here (" + text.substr(1) + ")";
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
        while (const dirent* ent = ::readdir(dir)) {
            const std::string name = ent->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    std::string out;
    for (const std::string& name : names)
        out += (out.empty() ? "" : "|") + name;
    return out;
}

}  // namespace testing_support

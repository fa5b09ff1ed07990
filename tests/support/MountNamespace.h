#pragma once
// Runs a step in a child process with its own mount namespace, so that a test
// can make a folder read-only or tiny for real without touching the machine's
// mounts. Tests run as root, where permissions never stop a write; a read-only
// mount or a full file system still does.

#include <dirent.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

enum class MountKind {
    ReadOnly,   // the folder bound over itself, read-only
    TinyTmpfs,  // a fresh 64 KiB tmpfs over the folder
};

struct IsolatedRun {
    bool available = false;  // false: no namespace or mount permitted here
    std::string output;      // what the step returned
};

// The step runs in the child after the mount; what it returns comes back in
// output. The mount is gone when the child ends.
inline IsolatedRun RunWithMount(const std::string& folder, MountKind kind,
                                const std::function<std::string()>& step) {
    IsolatedRun run;
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return run;
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return run;
    }
    if (pid == 0) {
        ::close(pipeFds[0]);
        if (::unshare(CLONE_NEWNS) != 0) ::_exit(77);
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) ::_exit(77);
        const char* dir = folder.c_str();
        if (kind == MountKind::ReadOnly) {
            if (::mount(dir, dir, nullptr, MS_BIND, nullptr) != 0) ::_exit(77);
            if (::mount(nullptr, dir, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
                ::_exit(77);
            }
        } else if (::mount("tmpfs", dir, "tmpfs", 0, "size=64k") != 0) {
            ::_exit(77);
        }
        const std::string out = step();
        size_t done = 0;
        while (done < out.size()) {
            const ssize_t n = ::write(pipeFds[1], out.data() + done, out.size() - done);
            if (n <= 0) ::_exit(2);
            done += static_cast<size_t>(n);
        }
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0)
        run.output.append(buffer, static_cast<size_t>(n));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.available = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (WIFEXITED(status) && WEXITSTATUS(status) != 77 && WEXITSTATUS(status) != 0) {
        run.available = true;
        run.output += "\n[child failed with status " + std::to_string(WEXITSTATUS(status)) + "]";
    } else if (WIFSIGNALED(status)) {
        run.available = true;
        run.output += "\n[child died by signal " + std::to_string(WTERMSIG(status)) + "]";
    }
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

#pragma once
// Runs a step in a child process as user and group "nobody": tests run as
// root, where permissions never stop a write.

#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// What the step returns, run in a child as user and group "nobody"; nothing when
// the child cannot drop root.
inline std::optional<std::string> RunUnprivileged(const std::function<std::string()>& step) {
    int fds[2];
    if (::pipe(fds) != 0) return std::nullopt;
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
        const std::string text = step();
        ::_exit(::write(fds[1], text.data(), text.size()) == ssize_t(text.size()) ? 0 : 2);
    }
    ::close(fds[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; pid > 0 && (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(n));
    ::close(fds[0]);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return std::nullopt;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 3) return std::nullopt;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) text += "\n[child failed]";
    return text;
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

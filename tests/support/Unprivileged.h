#pragma once
// Runs a step in a child process as user and group "nobody": tests run as
// root, where permissions never stop a write.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// Whether the step succeeded; nothing when the child cannot drop root.
inline std::optional<bool> RunUnprivileged(const std::function<bool()>& step) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
        ::_exit(step() ? 1 : 0);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return std::nullopt;
    EXPECT_TRUE(WIFEXITED(status)) << "the step ended on signal " << WTERMSIG(status);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 3) return std::nullopt;
    return WIFEXITED(status) && WEXITSTATUS(status) == 1;
}

// The names in a folder, sorted, separated by "|": catches leftover files.
inline std::string FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string out;
    for (const std::string& name : names)
        out += (out.empty() ? "" : "|") + name;
    return out;
}

}  // namespace testing_support

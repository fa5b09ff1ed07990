#include "cli/CliSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <initializer_list>

namespace {

int g_pipe[2] = {-1, -1};
void (*g_onSignal)() = nullptr;

void OnSignal(int) {
    const int saved = errno;
    if (g_onSignal) g_onSignal();
    if (g_pipe[1] >= 0) (void)!::write(g_pipe[1], "x", 1);
    errno = saved;
}

}  // namespace

bool InstallCliSignals(void (*onSignal)()) {
    g_onSignal = onSignal;
    const bool piped = ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) == 0;
    if (!piped) g_pipe[0] = g_pipe[1] = -1;
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (const int sig : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&action.sa_mask, sig);
    for (const int sig : {SIGINT, SIGTERM, SIGHUP})
        sigaction(sig, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
    signal(SIGXFSZ, SIG_IGN);
    return piped;
}

int CliInterruptFd() {
    return g_pipe[0];
}

#include "support/ZelMfcThread.h"

#include <system_error>

ZelMfcThread::~ZelMfcThread() {
    Join();
}

bool ZelMfcThread::Start() {
    Join();
    if (thread_.joinable()) return false;  // called from Run on its own thread
    exitCode_ = 0;
    try {
        thread_ = std::thread([this] { exitCode_ = Run(); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void ZelMfcThread::Join() {
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) {
        thread_.join();
    }
}

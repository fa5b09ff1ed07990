#pragma once

// The signals that end a run (SIGINT, SIGTERM, SIGHUP) call onSignal and make
// InterruptFd() readable for good, so that a wait on a pipe, a FIFO or a
// terminal can end at once. Handlers do not restart system calls. SIGPIPE and
// SIGXFSZ are ignored: a closed reader or a file-size limit is a write error
// that the export reports and cleans up after. Returns false when the pipe
// could not be made (signals are still handled, waits just cannot be ended).
bool InstallCliSignals(void (*onSignal)());

// The read end of the signal pipe, -1 before InstallCliSignals.
int CliInterruptFd();

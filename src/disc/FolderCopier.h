#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

// Copies files onto a folder's medium so that a pulled cable or a crash never
// leaves a half file under a real name: the data goes to a temporary name, the
// file system is synced, and only then does each file take its real name,
// which must not exist yet. Syncing a batch of files at once rather than each
// file costs one journal commit instead of thousands.

// Copies source to the new file temp (a leftover of that name is removed
// first), with the source's permissions, owner and times as far as the target
// holds them, as "cp -p" keeps them. The data stays in the kernel
// (copy_file_range) where the two file systems allow it. Not synced. Returns 0
// or an errno, ECANCELED when cancel was set; temp is gone after a failure.
// progress gets the bytes copied since its last call.
int CopyToTemporary(const std::string& source, const std::string& temp,
                    const std::atomic<bool>& cancel, const std::function<void(uint64_t)>& progress);

// Gives temp the name target; EEXIST when target exists, which stays as it is.
int RenameWithoutReplacing(const std::string& temp, const std::string& target);

// Writes out everything of the file system that holds folder (syncfs).
int SyncFileSystem(const std::string& folder);

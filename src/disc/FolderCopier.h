#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

// Copies one file onto a folder's medium so that a pulled cable or a crash
// never leaves a half file under a real name: the data goes to temp, is
// synced, and only then takes the name target, which must not exist yet.
// The data stays in the kernel (copy_file_range) where the two file systems
// allow it. Permissions, owner and times follow the source as far as the
// target can hold them, as "cp -p" keeps them.
//
// Returns 0 or an errno: EEXIST when target appeared meanwhile, ECANCELED when
// cancel was set; temp is gone in every case. progress gets the bytes copied
// since its last call.
int CopyFileSafely(const std::string& source, const std::string& target, const std::string& temp,
                   const std::atomic<bool>& cancel, const std::function<void(uint64_t)>& progress);

// fsync of a folder, so that the names renamed into it last as the data does.
int SyncFolder(const std::string& folder);

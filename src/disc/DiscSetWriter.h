#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "disc/DiscProgress.h"
#include "disc/DiscSet.h"

namespace zel {
class IFileSystem;
}

// What the user answers when the next medium is wanted.
enum class MediumAnswer {
    Go,    // a medium is in the drive: write this pack
    Skip,  // leave this pack for later
    Redo,  // write the previous pack once more
    Stop,  // end the run; the set file keeps where it stopped
};

// The window or the terminal, called on the writer's thread.
class IDiscWriterHost {
public:
    virtual ~IDiscWriterHost() = default;
    virtual void Progress(const DiscProgress& progress) = 0;
    // A drive only: the medium for pack of count; problem says what was wrong
    // with the one in the drive (not blank, too small, none), empty at first.
    virtual MediumAnswer AskForMedium(uint32_t pack, uint32_t count,
                                      const std::u16string& problem) = 0;
    // Folders only: the folder for pack of count (its root is the pack's
    // root); problem says why the last one could not take it.
    virtual MediumAnswer AskForFolder(uint32_t pack, uint32_t count, const std::u16string& problem,
                                      std::string& folder) {
        (void)pack, (void)count, (void)problem, (void)folder;
        return MediumAnswer::Stop;
    }
    // After every pack the run touched, with its new state.
    virtual void PackFinished(const DiscSetPack& pack) { (void)pack; }
    // Once a pack is written, and again once it is verified, with its new
    // state already in the set file: the caller records the set elsewhere
    // (the catalog). pack is the one whose state and checksums changed.
    // Nothing here can fail the writing.
    virtual void SetSaved(const DiscSet& set, uint32_t pack) { (void)set, (void)pack; }
};

struct DiscWriteOptions {
    bool toDrive = false;    // else image files into folder
    bool toFolders = false;  // each pack's files into a folder the host names
    std::string folder;      // for image files
    std::string device;      // a drive, or "stdio:FILE" for a file that acts as one
    bool verify = true;
    bool md5 = false;             // xorriso also records its MD5 checksums
    std::vector<uint32_t> packs;  // the packs to write; empty for all
};

// Writes a set's packs, one image or medium each, in order: every pack not
// written yet, so that a run after a stop goes on where the last one ended.
// Before a pack is written its sources are checked against the set and
// hashed; its medium gets the files at their set paths, volume label, and the
// reserved folder with the checksum list and the set's index. Every change of
// a pack's state is saved to the set file before the run goes on.
class CDiscSetWriter {
public:
    enum class Outcome { Done, SomeFailed, Stopped, Cancelled, SetFileFailed };

    CDiscSetWriter(DiscSet& set, std::string setFilePath, zel::IFileSystem& fs);

    Outcome Run(const DiscWriteOptions& options, IDiscWriterHost& host,
                const std::atomic<bool>& cancel);

    // Why the run ended early, or a summary of the failed packs.
    const std::u16string& Message() const { return message_; }

    // The image file of a pack in folder: "pack01.iso".
    std::string ImageName(uint32_t pack) const;

private:
    enum class PackOutcome { Written, Failed, Skipped, Redo, Stopped, Cancelled };

    PackOutcome WritePack(DiscSetPack& pack, const DiscWriteOptions& options, IDiscWriterHost& host,
                          const std::atomic<bool>& cancel);
    bool CheckSources(DiscSetPack& pack, const std::vector<DiscSetFile*>& files);
    bool HashSources(DiscSetPack& pack, const std::vector<DiscSetFile*>& files,
                     IDiscWriterHost& host, const std::atomic<bool>& cancel);
    bool WaitForMedium(DiscSetPack& pack, const DiscWriteOptions& options, IDiscWriterHost& host,
                       uint64_t imageBytes, MediumAnswer& answer);
    PackOutcome WriteToFolder(DiscSetPack& pack, const std::vector<DiscSetFile*>& files,
                              const std::string& sums, const std::string& index,
                              const DiscWriteOptions& options, IDiscWriterHost& host,
                              const std::atomic<bool>& cancel);
    // Reads a written pack back (an image, a drive or a folder) and records
    // the result; Written when it matched.
    PackOutcome VerifyWritten(DiscSetPack& pack, const std::string& medium, DiscProgress verifying,
                              IDiscWriterHost& host, const std::atomic<bool>& cancel);
    void Fail(DiscSetPack& pack, std::u16string reason);
    bool Save();

    DiscSet& set_;
    std::string setFilePath_;
    zel::IFileSystem& fs_;
    std::u16string message_;
    bool saveFailed_ = false;
};

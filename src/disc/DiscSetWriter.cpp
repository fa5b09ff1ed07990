#include "disc/DiscSetWriter.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <ctime>
#include <system_error>
#include <thread>

#include <fmt/format.h>

#include "disc/ChecksumList.h"
#include "disc/DiscSetBuilder.h"
#include "disc/DiscVerifier.h"
#include "disc/FileHasher.h"
#include "disc/ReservedFileFill.h"
#include "disc/ReservedRoom.h"
#include "disc/SetFileStore.h"
#include "disc/SetIndexFormat.h"
#include "disc/Sha256.h"
#include "disc/XorrisoProcess.h"
#include "packing/GraftListWriter.h"
#include "packing/ImageSizeEstimate.h"
#include "support/AtomicFileWriter.h"
#include "support/FileSystem.h"
#include "support/TextCodec.h"
#include "support/UiText.h"

namespace {

constexpr size_t kMaxNamedSources = 5;
// How far hashing beside xorriso may read ahead of it: some seconds of
// writing, a small share of the page cache.
constexpr uint64_t kHashAhead = uint64_t{512} << 20;

int64_t Now() {
    return static_cast<int64_t>(std::time(nullptr));
}

std::u16string U8(const std::string& text) {
    return zel::Utf8ToUtf16(text);
}

bool HasLineBreak(std::string_view bytes) {
    return bytes.find_first_of("\r\n") != std::string_view::npos;
}

// A folder of its own for the reserved files and the path list of one pack,
// removed with everything in it.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& parent) {
        std::string pattern = parent + "/.corvelin-XXXXXX";
        if (::mkdtemp(pattern.data())) path_ = pattern;
    }
    ~ScratchFolder() {
        for (const std::string& file : files_)
            ::unlink(file.c_str());
        if (!path_.empty()) ::rmdir(path_.c_str());
    }
    bool Ok() const { return !path_.empty(); }
    // The file's path, or empty with error set.
    std::string Write(const char* name, std::string_view contents, int& error) {
        const std::string path = path_ + "/" + name;
        files_.push_back(path);
        return zel::WriteFileAtomically(zel::IFileSystem::Default(), path, contents, error)
                   ? path
                   : std::string();
    }

private:
    std::string path_;
    std::vector<std::string> files_;
};

std::string TempParent() {
    const char* base = std::getenv("TMPDIR");
    return base && *base ? base : "/tmp";
}

std::string ListedPaths(const std::vector<const DiscSetFile*>& files) {
    std::string text;
    for (size_t i = 0; i < files.size() && i < kMaxNamedSources; ++i)
        text += "\n" + zel::EncodeFileName(zel::ForDisplay(files[i]->diskPath));
    if (files.size() > kMaxNamedSources)
        text +=
            "\n" + TrFormat("ほか {count} 件", fmt::arg("count", files.size() - kMaxNamedSources));
    return text;
}

// Why a pack's sources could not be hashed.
std::u16string UnreadableReason(const HashFailure& failure, const std::vector<std::string>& paths) {
    return zel::DecodeFileName(TrFormat("ファイルを読めませんでした: {reason}\n{path}",
                                        fmt::arg("reason", zel::ErrorText(failure.error)),
                                        fmt::arg("path", paths[failure.index])));
}

std::vector<std::string> SourcePaths(const std::vector<DiscSetFile*>& files) {
    std::vector<std::string> paths;
    paths.reserve(files.size());
    for (const DiscSetFile* file : files)
        paths.push_back(zel::EncodeFileName(file->diskPath));
    return paths;
}

// The files in the order xorriso lays them out, and so reads them: a folder's
// entries by name, byte for byte, a folder's contents before the next name.
std::vector<DiscSetFile*> InImageOrder(std::vector<DiscSetFile*> files) {
    std::stable_sort(files.begin(), files.end(), [](const DiscSetFile* a, const DiscSetFile* b) {
        const std::u16string& x = a->discPath;
        const std::u16string& y = b->discPath;
        // A separator sorts before every other character.
        return std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end(),
                                            [](char16_t c, char16_t d) {
                                                if (c == d) return false;
                                                if (c == u'/' || d == u'/') return c == u'/';
                                                return c < d;
                                            });
    });
    return files;
}

// Files gone or changed since the set was made.
void FindChangedSources(const std::vector<DiscSetFile*>& files,
                        std::vector<const DiscSetFile*>& gone,
                        std::vector<const DiscSetFile*>& changed) {
    for (const DiscSetFile* file : files) {
        uint64_t size = 0;
        int64_t mtimeNs = 0;
        const int error = StatSource(zel::EncodeFileName(file->diskPath), size, mtimeNs);
        if (error != 0) {
            gone.push_back(file);
        } else if (size != file->size || mtimeNs != file->mtimeNs) {
            changed.push_back(file);
        }
    }
}

// The sectors xorriso reports in "Writing:   12345s   12.3%".
bool WrittenSectors(std::string_view line, uint64_t& sectors) {
    const size_t at = line.find("Writing:");
    if (at == std::string_view::npos) return false;
    std::string_view rest = line.substr(at + 8);
    while (!rest.empty() && rest.front() == ' ')
        rest.remove_prefix(1);
    auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), sectors);
    return ec == std::errc() && end != rest.data() + rest.size() && *end == 's';
}

struct MediumState {
    bool found = false;
    bool blank = false;
    uint64_t freeBytes = 0;
};

MediumState ProbeMedium(const std::string& device) {
    MediumState state;
    XorrisoProcess xorriso;
    const int status =
        xorriso.Run({"-no_rc", "-pkt_output", "on", "-outdev", device, "-tell_media_space"},
                    [&](std::string_view line) {
                        const std::string_view text = XorrisoText(line);
                        if (text.rfind("Media status :", 0) == 0) {
                            state.found = text.find("is blank") != std::string_view::npos;
                            state.blank = state.found;
                            if (text.find("is written") != std::string_view::npos)
                                state.found = true;
                        }
                        uint64_t sectors = 0;
                        if (text.rfind("Media space  :", 0) == 0) {
                            std::string_view number = text.substr(14);
                            while (!number.empty() && number.front() == ' ')
                                number.remove_prefix(1);
                            std::from_chars(number.data(), number.data() + number.size(), sectors);
                            state.freeBytes = sectors * 2048;
                        }
                    });
    if (status != 0) state.found = false;
    return state;
}

std::string DeviceFile(const std::string& device) {
    return device.rfind("stdio:", 0) == 0 ? device.substr(6) : device;
}

}  // namespace

CDiscSetWriter::CDiscSetWriter(DiscSet& set, std::string setFilePath, zel::IFileSystem& fs)
    : set_(set), setFilePath_(std::move(setFilePath)), fs_(fs) {}

std::string CDiscSetWriter::ImageName(uint32_t pack) const {
    const std::string list = CGraftListWriter::ListName(pack, set_.packs.size());
    return list.substr(0, list.size() - 4) + ".iso";
}

bool CDiscSetWriter::Save() {
    if (saveFailed_) return false;
    std::u16string message;
    if (SaveSetFile(fs_, setFilePath_, set_, message)) return true;
    message_ = message;
    saveFailed_ = true;
    return false;
}

void CDiscSetWriter::Fail(DiscSetPack& pack, std::u16string reason) {
    pack.state = DiscPackState::Failed;
    pack.reason = std::move(reason);
    Save();
}

CDiscSetWriter::Outcome CDiscSetWriter::Run(const DiscWriteOptions& options, IDiscWriterHost& host,
                                            const std::atomic<bool>& cancel) {
    message_.clear();
    saveFailed_ = false;
    std::vector<size_t> order;
    for (size_t i = 0; i < set_.packs.size(); ++i) {
        bool chosen = options.packs.empty();
        for (uint32_t number : options.packs)
            chosen = chosen || number == set_.packs[i].number;
        if (chosen) order.push_back(i);
    }
    if (!Save()) return Outcome::SetFileFailed;
    bool anyFailed = false;
    size_t redo = order.size();  // a pack written again on the user's word
    for (size_t k = 0; k < order.size();) {
        DiscSetPack& pack = set_.packs[order[k]];
        const bool done =
            pack.state == DiscPackState::Written || pack.state == DiscPackState::Verified;
        if (done && redo != k) {
            ++k;
            continue;
        }
        if (cancel.load()) return Outcome::Cancelled;
        const PackOutcome outcome = WritePack(pack, options, host, cancel);
        redo = order.size();
        host.PackFinished(pack);
        if (saveFailed_) return Outcome::SetFileFailed;
        switch (outcome) {
            case PackOutcome::Written:
                ++k;
                break;
            case PackOutcome::Failed:
                anyFailed = true;
                ++k;
                break;
            case PackOutcome::Skipped:
                ++k;
                break;
            case PackOutcome::Redo:
                if (k > 0) redo = --k;
                break;
            case PackOutcome::Cancelled:
                return Outcome::Cancelled;
            case PackOutcome::Stopped:
                return Outcome::Stopped;
        }
    }
    if (anyFailed) {
        message_ = Tr16("書き込めなかったパックがあります:");
        for (const DiscSetPack& pack : set_.packs)
            if (pack.state == DiscPackState::Failed)
                message_ += U8("\n" + TrFormat("パック {pack}: ", fmt::arg("pack", pack.number))) +
                            pack.reason;
        return Outcome::SomeFailed;
    }
    // A pack skipped at the prompt is not written: the set is not done.
    std::string skipped;
    for (size_t index : order)
        if (set_.packs[index].state == DiscPackState::Planned)
            skipped += fmt::format(" {}", set_.packs[index].number);
    if (skipped.empty()) return Outcome::Done;
    message_ = U8(Tr("飛ばしたパックがあります:") + skipped);
    return Outcome::Stopped;
}

bool CDiscSetWriter::CheckSources(DiscSetPack& pack, const std::vector<DiscSetFile*>& files) {
    std::vector<const DiscSetFile*> gone, changed;
    FindChangedSources(files, gone, changed);
    if (gone.empty() && changed.empty()) return true;
    std::string reason;
    if (!gone.empty())
        reason += Tr("計画の後で見つからなくなったファイルがあります:") + ListedPaths(gone);
    if (!changed.empty()) {
        if (!reason.empty()) reason += "\n";
        reason +=
            Tr("計画の後でサイズか更新日時が変わったファイルがあります:") + ListedPaths(changed);
    }
    Fail(pack, zel::DecodeFileName(reason));
    return false;
}

bool CDiscSetWriter::HashSources(DiscSetPack& pack, const std::vector<DiscSetFile*>& files,
                                 IDiscWriterHost& host, const std::atomic<bool>& cancel) {
    DiscProgress base;
    base.phase = DiscPhase::Hashing;
    base.pack = pack.number;
    base.packCount = static_cast<uint32_t>(set_.packs.size());
    for (const DiscSetFile* file : files)
        base.total += file->size;
    const DiscProgressSink sink = [&host](const DiscProgress& p) { host.Progress(p); };
    ProgressMeter meter(base, sink);
    const std::vector<std::string> paths = SourcePaths(files);
    std::vector<std::string> hexes;
    HashFailure failure;
    if (!HashFiles(
            paths, hexes, cancel, [&](uint64_t done) { meter.Set(done); }, failure)) {
        if (failure.error == ECANCELED) return false;
        Fail(pack, UnreadableReason(failure, paths));
        return false;
    }
    for (size_t i = 0; i < files.size(); ++i)
        files[i]->sha256 = std::move(hexes[i]);
    meter.Finish();
    return true;
}

bool CDiscSetWriter::WaitForMedium(DiscSetPack& pack, const DiscWriteOptions& options,
                                   IDiscWriterHost& host, uint64_t imageBytes,
                                   MediumAnswer& answer) {
    std::u16string problem;
    for (;;) {
        answer = host.AskForMedium(pack.number, static_cast<uint32_t>(set_.packs.size()), problem);
        if (answer != MediumAnswer::Go) return false;
        const MediumState medium = ProbeMedium(options.device);
        if (!medium.found) {
            problem = Tr16("ドライブにディスクが入っていないか、読み取れません。");
        } else if (!medium.blank) {
            problem = Tr16("ドライブのディスクは空ではありません。空のディスクを入れてください。");
        } else if (medium.freeBytes < imageBytes) {
            problem = Tr16Format(
                "ディスクの容量が足りません（必要 {needed} バイト、空き {free} バイト）。",
                fmt::arg("needed", imageBytes), fmt::arg("free", medium.freeBytes));
        } else {
            return true;
        }
    }
}

CDiscSetWriter::PackOutcome CDiscSetWriter::VerifyWritten(DiscSetPack& pack,
                                                          const std::string& medium,
                                                          DiscProgress verifying,
                                                          IDiscWriterHost& host,
                                                          const std::atomic<bool>& cancel) {
    const DiscProgressSink sink = [&host](const DiscProgress& p) { host.Progress(p); };
    VerifyResult result = VerifyMedium(medium, &cancel, sink, verifying);
    switch (result.outcome) {
        case VerifyResult::Outcome::Ok:
            pack.state = DiscPackState::Verified;
            pack.verifiedAt = Now();
            if (!Save()) return PackOutcome::Stopped;
            host.SetSaved(set_, pack.number);
            return PackOutcome::Written;
        case VerifyResult::Outcome::Cancelled:
            return PackOutcome::Cancelled;
        case VerifyResult::Outcome::Differs:
        case VerifyResult::Outcome::NotChecked:
            break;
    }
    Fail(pack, Tr16("検証で問題が見つかりました:\n") + DescribeVerifyResult(result));
    return PackOutcome::Failed;
}

CDiscSetWriter::PackOutcome CDiscSetWriter::WritePack(DiscSetPack& pack,
                                                      const DiscWriteOptions& options,
                                                      IDiscWriterHost& host,
                                                      const std::atomic<bool>& cancel) {
    const uint32_t count = static_cast<uint32_t>(set_.packs.size());
    std::vector<DiscSetFile*> files;
    for (DiscSetFile& file : set_.files)
        if (file.pack == pack.number) files.push_back(&file);

    DiscProgress checking;
    checking.pack = pack.number;
    checking.packCount = count;
    host.Progress(checking);
    if (!CheckSources(pack, files)) return PackOutcome::Failed;
    // An image file is hashed while xorriso writes it, its checksum list and
    // index first written with stand-ins of the same length and filled in
    // after. A disc cannot be filled in afterwards, nor can an image whose
    // MD5 records cover those files: they are hashed first. So are the files
    // copied to a folder, whose checksums decide what a resume may keep.
    const bool hashWhileWriting = !options.toDrive && !options.md5 && !options.toFolders;
    if (!hashWhileWriting && !HashSources(pack, files, host, cancel)) {
        if (!cancel.load()) return PackOutcome::Failed;
        Fail(pack, Tr16("中止しました。"));
        return PackOutcome::Cancelled;
    }

    // What goes into the reserved folder: the medium's index shows this pack
    // as written, since it is when the medium is read.
    const std::string standIn(64, '0');
    const auto checksums = [&files, &standIn, hashWhileWriting](bool final) {
        std::string sums;
        for (const DiscSetFile* file : files)
            sums += ChecksumLine(final || !hashWhileWriting ? file->sha256 : standIn,
                                 zel::EncodeFileName(file->discPath).substr(1));
        return sums;
    };
    std::string sums = checksums(false);
    CImageSizeEstimate estimate;
    for (const DiscSetFile* file : files)
        estimate.AddFile(file->discPath, file->size);
    DiscSet medium = set_;
    if (hashWhileWriting)
        for (DiscSetFile& file : medium.files)
            if (file.pack == pack.number) file.sha256 = standIn;
    // Why a pack failed is this machine's history, and its length cannot be
    // planned for: the medium's copy keeps only the states.
    for (DiscSetPack& other : medium.packs)
        other.reason.clear();
    medium.packs[pack.number - 1].state = DiscPackState::Written;
    medium.packs[pack.number - 1].writtenAt = Now();
    std::string index = WriteSetIndex(medium, false);
    estimate.AddFile(u"/_CORVELIN/SHA256SUMS", sums.size());
    estimate.AddFile(u"/_CORVELIN/INDEX.TSV", index.size());
    const uint64_t imageBytes = estimate.Bytes() + (options.md5 ? Md5RecordBytes(files.size()) : 0);
    if (options.toFolders) return WriteToFolder(pack, files, sums, index, options, host, cancel);

    if (options.toDrive) {
        MediumAnswer answer;
        if (!WaitForMedium(pack, options, host, imageBytes, answer)) {
            if (answer == MediumAnswer::Stop) return PackOutcome::Stopped;
            return answer == MediumAnswer::Redo ? PackOutcome::Redo : PackOutcome::Skipped;
        }
    } else if (set_.capacity > 0 && imageBytes > set_.capacity) {
        Fail(pack,
             Tr16Format("イメージ（{image} バイト）がメディア（{medium} バイト）に収まりません。",
                        fmt::arg("image", imageBytes), fmt::arg("medium", set_.capacity)));
        return PackOutcome::Failed;
    }

    ScratchFolder scratch(options.toDrive ? TempParent() : options.folder);
    if (!scratch.Ok()) {
        Fail(pack, U8(Tr("作業用のフォルダーを作れませんでした: ") + zel::ErrorText(errno)));
        return PackOutcome::Stopped;
    }
    std::vector<std::string> args = {"-no_rc", "-pkt_output", "on", "-abort_on", "FAILURE"};
    if (options.md5) args.insert(args.end(), {"-md5", "on"});
    const std::string image = options.folder + "/" + ImageName(pack.number);
    const std::string part = image + ".part";
    if (!options.toDrive) ::unlink(part.c_str());
    args.insert(args.end(),
                {"-outdev", options.toDrive ? options.device : "stdio:" + part, "-volid",
                 zel::EncodeFileName(pack.label), "-joliet", "on", "-compliance",
                 "joliet_long_names:iso_9660_level=3:no_emul_toc", "-follow", "param"});
    // Without the copy of the volume descriptors that xorriso puts ahead of a
    // session on rewritable media, the image is laid out as the estimate and
    // the graft lists' printed command lay it out, block for block.
    // Most names go through a path list, since a large pack's names do not
    // fit on a command line; a name with a line break, which no list line can
    // carry, goes as its own arguments.
    std::string list;
    std::vector<std::string> maps;
    for (const DiscSetFile* file : files) {
        const std::string disc = zel::EncodeFileName(file->discPath);
        const std::string disk = zel::EncodeFileName(file->diskPath);
        if (HasLineBreak(disc) || HasLineBreak(disk)) {
            maps.insert(maps.end(), {"-map", disk, disc});
        } else {
            list += EscapeGraftPath(disc) + "=" + EscapeGraftPath(disk) + "\n";
        }
    }
    int error = 0;
    const std::string sumsPath = scratch.Write("SHA256SUMS", sums, error);
    const std::string indexPath = sumsPath.empty() ? "" : scratch.Write("INDEX.TSV", index, error);
    const std::string listPath = indexPath.empty() ? "" : scratch.Write("pack.lst", list, error);
    if (listPath.empty()) {
        Fail(pack, U8(Tr("作業用のファイルを書けませんでした: ") + zel::ErrorText(error)));
        return PackOutcome::Stopped;
    }
    args.insert(args.end(), {"-pathspecs", "as_mkisofs", "-path_list", listPath});
    args.insert(args.end(), maps.begin(), maps.end());
    args.insert(args.end(), {"-map", sumsPath, std::string("/") + kChecksumFile, "-map", indexPath,
                             std::string("/") + kIndexFile});
    // Readable by everyone and owned by nobody in particular, as "-r" gives.
    args.insert(args.end(), {"-find", "/", "-exec", "mkisofs_r", "--", "-commit"});

    DiscProgress writing = checking;
    writing.phase = DiscPhase::Writing;
    writing.total = imageBytes;
    const DiscProgressSink sink = [&host](const DiscProgress& p) { host.Progress(p); };
    ProgressMeter meter(writing, sink);
    // xorriso reads the sources in the image's order, folder by folder and
    // name by name. The hashing reads them in that order too and stays at
    // most kHashAhead bytes ahead of what xorriso has written, so that xorriso
    // finds each file still in the page cache: a pack larger than the memory
    // is then read from the disk once, not twice.
    std::vector<DiscSetFile*> hashOrder;
    if (hashWhileWriting) hashOrder = InImageOrder(files);
    const std::vector<std::string> paths = SourcePaths(hashOrder);
    std::vector<std::string> hexes;
    HashFailure hashFailure;
    bool hashed = true;
    std::atomic<uint64_t> writtenBytes{0};
    std::atomic<bool> writerEnded{false};
    HashEachOptions paced;
    paced.pace = [&](uint64_t done) {
        while (done > writtenBytes.load() + kHashAhead && !writerEnded.load() && !cancel.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    };
    std::thread hashing;
    const auto hash = [&] {
        hashed = HashFiles(
            paths, hexes, cancel, [](uint64_t) {}, hashFailure, paced);
    };
    if (hashWhileWriting) {
        try {
            hashing = std::thread(hash);
        } catch (const std::system_error&) {
            writerEnded = true;  // nothing to wait for
            hash();
        }
    }
    XorrisoProcess xorriso;
    const int status = xorriso.Run(
        args,
        [&](std::string_view line) {
            uint64_t sectors = 0;
            if (!WrittenSectors(line, sectors)) return;
            meter.Set(sectors * 2048);
            writtenBytes = sectors * 2048;
        },
        &cancel);
    writerEnded = true;
    if (hashing.joinable()) hashing.join();
    if (cancel.load()) {
        if (!options.toDrive) ::unlink(part.c_str());
        Fail(pack, Tr16("中止しました。"));
        return PackOutcome::Cancelled;
    }
    if (status != 0) {
        if (!options.toDrive) ::unlink(part.c_str());
        std::string why = xorriso.ProblemText();
        if (why.empty())
            why = TrFormat("xorriso の終了コード {status}", fmt::arg("status", status));
        Fail(pack, zel::DecodeFileName(Tr("書き込めませんでした:\n") + why));
        return options.toDrive ? PackOutcome::Failed : PackOutcome::Stopped;
    }
    meter.Finish();
    if (hashWhileWriting) {
        if (!hashed) {
            ::unlink(part.c_str());
            Fail(pack, UnreadableReason(hashFailure, paths));
            return PackOutcome::Failed;
        }
        for (size_t i = 0; i < hashOrder.size(); ++i)
            hashOrder[i]->sha256 = std::move(hexes[i]);
        // The medium's copy lists the pack's files in the set's order, as files does.
        size_t next = 0;
        for (DiscSetFile& file : medium.files)
            if (file.pack == pack.number) file.sha256 = files[next++]->sha256;
        sums = checksums(true);
        index = WriteSetIndex(medium, false);
        std::string why;
        if (!FillReservedFiles(part, {{kChecksumFile, sums}, {kIndexFile, index}}, why)) {
            ::unlink(part.c_str());
            Fail(pack,
                 zel::DecodeFileName(Tr("チェックサムをイメージに書き込めませんでした:\n") + why));
            return PackOutcome::Stopped;
        }
    }
    // A source that changed while it was read may be on the medium half old,
    // half new: its checksum would not say so.
    std::vector<const DiscSetFile*> gone, changed;
    FindChangedSources(files, gone, changed);
    if (!gone.empty() || !changed.empty()) {
        if (!options.toDrive) ::unlink(part.c_str());
        gone.insert(gone.end(), changed.begin(), changed.end());
        Fail(pack, zel::DecodeFileName(Tr("書き込み中に変わったファイルがあります:") +
                                       ListedPaths(gone)));
        return PackOutcome::Failed;
    }
    if (!options.toDrive && ::rename(part.c_str(), image.c_str()) != 0) {
        Fail(pack, U8(Tr("イメージの名前を変えられませんでした: ") + zel::ErrorText(errno)));
        return PackOutcome::Stopped;
    }
    pack.state = DiscPackState::Written;
    pack.reason.clear();
    pack.writtenAt = medium.packs[pack.number - 1].writtenAt;
    pack.verifiedAt = 0;
    if (!Save()) return PackOutcome::Stopped;
    host.SetSaved(set_, pack.number);

    if (options.verify) {
        const PackOutcome verified = VerifyWritten(
            pack, options.toDrive ? DeviceFile(options.device) : image, checking, host, cancel);
        if (verified != PackOutcome::Written) return verified;
    }
    if (options.toDrive && options.device.rfind("stdio:", 0) != 0) {
        XorrisoProcess eject;
        eject.Run({"-no_rc", "-outdev", options.device, "-eject", "all"}, {});
    }
    return PackOutcome::Written;
}

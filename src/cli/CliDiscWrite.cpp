#include "cli/CliDiscWrite.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

#include <fmt/format.h>

#include "catalog/SetRecord.h"
#include "catalog/SetRecorder.h"
#include "cli/CliCatalog.h"
#include "cli/TerminalText.h"
#include "disc/DiscSetBuilder.h"
#include "disc/DiscSetWriter.h"
#include "disc/DiscVerifier.h"
#include "disc/ReservedRoom.h"
#include "disc/SetFileStore.h"
#include "packing/CorvelinDoc.h"
#include "support/FileSystem.h"
#include "support/TextCodec.h"
#include "support/UiText.h"

namespace {

void Error(const std::string& message) {
    std::fprintf(stderr, "corvelin-cli: %s\n", message.c_str());
}

std::string Text(const std::u16string& text) {
    return zel::Utf16ToUtf8(text);
}

// Progress on one line of standard error, rewritten while it is a terminal;
// the prompts for the next medium read standard input.
class TerminalHost : public IDiscWriterHost {
public:
    explicit TerminalHost(bool quiet, std::string catalogPath = {},
                          std::vector<std::string> folders = {})
        : show_(!quiet && ::isatty(STDERR_FILENO)),
          catalogPath_(std::move(catalogPath)),
          recorder_(catalogPath_),
          folders_(std::move(folders)) {}
    ~TerminalHost() override { ClearLine(); }

    void Progress(const DiscProgress& progress) override {
        if (!show_) return;
        std::fprintf(stderr, "\r\033[K%s", Text(DescribeDiscProgress(progress)).c_str());
        lineShown_ = true;
    }

    MediumAnswer AskForMedium(uint32_t pack, uint32_t count,
                              const std::u16string& problem) override {
        ClearLine();
        if (!problem.empty()) std::fprintf(stderr, "%s\n", Text(problem).c_str());
        std::fputs(TrFormat("パック {pack} / {count}: 空のディスクを入れて Enter を押してください "
                            "(s 飛ばす、r 前のパックをやり直す、q やめる): ",
                            fmt::arg("pack", pack), fmt::arg("count", count))
                       .c_str(),
                   stderr);
        std::fflush(stderr);
        char line[64];
        if (!std::fgets(line, sizeof line, stdin)) return MediumAnswer::Stop;
        switch (line[0]) {
            case 's':
                return MediumAnswer::Skip;
            case 'r':
                return MediumAnswer::Redo;
            case 'q':
                return MediumAnswer::Stop;
            default:
                return MediumAnswer::Go;
        }
    }

    // The folders of the command line in pack order, then the terminal's
    // answers; the terminal also answers for a folder that was refused.
    MediumAnswer AskForFolder(uint32_t pack, uint32_t count, const std::u16string& problem,
                              std::string& folder) override {
        ClearLine();
        if (!problem.empty()) std::fprintf(stderr, "%s\n", Text(problem).c_str());
        // A refused folder is not silently replaced by the next pack's.
        if (problem.empty() && next_ < folders_.size()) {
            folder = folders_[next_++];
            return MediumAnswer::Go;
        }
        std::fputs(TrFormat("パック {pack} / {count}: コピー先のフォルダを入力して Enter を押して"
                            "ください (空で飛ばす、q やめる): ",
                            fmt::arg("pack", pack), fmt::arg("count", count))
                       .c_str(),
                   stderr);
        std::fflush(stderr);
        std::string line;
        for (int c; (c = std::fgetc(stdin)) != EOF && c != '\n';)
            line += static_cast<char>(c);
        if (line.empty() && std::feof(stdin)) return MediumAnswer::Stop;
        if (line == "q") return MediumAnswer::Stop;
        if (line.empty()) return MediumAnswer::Skip;
        folder = line;
        return MediumAnswer::Go;
    }

    void PackFinished(const DiscSetPack& pack) override {
        ClearLine();
        std::string state;
        switch (pack.state) {
            case DiscPackState::Planned:
                return;
            case DiscPackState::Written:
                state = Tr("書き込み済み");
                break;
            case DiscPackState::Verified:
                state = Tr("書き込み・検証済み");
                break;
            case DiscPackState::Failed:
                state = Tr("失敗: ") + Text(pack.reason);
                break;
        }
        std::fputs(TrFormat("パック {pack}: {state}\n", fmt::arg("pack", pack.number),
                            fmt::arg("state", state))
                       .c_str(),
                   stderr);
    }

    void SetSaved(const DiscSet& set, uint32_t pack) override {
        if (catalogPath_.empty()) return;
        std::string message;
        recorder_.PackSaved(set, pack, message);
        // The same failure for every pack is said once.
        if (message.empty() || message == lastMessage_) return;
        ClearLine();
        Error(message);
        lastMessage_ = message;
    }

private:
    void ClearLine() {
        if (lineShown_) std::fputs("\r\033[K", stderr);
        lineShown_ = false;
    }

    bool show_;
    bool lineShown_ = false;
    std::string catalogPath_;
    catalog::SetRecorder recorder_;
    std::string lastMessage_;
    std::vector<std::string> folders_;
    size_t next_ = 0;
};

DiscWriteOptions WriteOptions(const CliOptions& options) {
    DiscWriteOptions write;
    write.toDrive = options.writeDisc.has_value();
    write.toFolders = !options.writeFolders.empty();
    if (options.writeImages) write.folder = *options.writeImages;
    if (options.writeDisc) {
        // A plain path names a drive; "stdio:FILE" a file that acts as one.
        write.device = *options.writeDisc;
    }
    write.verify = !options.noVerify;
    write.md5 = options.md5.value_or(false);
    return write;
}

int Write(const CliOptions& options, DiscSet& set, const std::string& path,
          const std::atomic<bool>& cancel) {
    const DiscWriteOptions write = WriteOptions(options);
    if (!write.toDrive && !write.toFolders) {
        const int error = zel::IFileSystem::Default().MakeFolder(write.folder, 0755);
        if (error != 0 && error != EEXIST) {
            Error(TrFormat("イメージのフォルダーを作れませんでした: {path}: {reason}",
                           fmt::arg("path", EscapeForTerminal(write.folder)),
                           fmt::arg("reason", zel::ErrorText(error))));
            return 1;
        }
    }
    if (!options.quiet)
        std::fputs(
            TrFormat("セットファイル: {path}\n", fmt::arg("path", EscapeForTerminal(path))).c_str(),
            stderr);
    CDiscSetWriter writer(set, path, zel::IFileSystem::Default());
    std::string catalogPath = CliCatalogPath(options, zel::IFileSystem::Default());
    if (catalogPath.empty()) Error(Tr("カタログの場所がわからないため、セットを記録しません"));
    TerminalHost host(options.quiet, std::move(catalogPath), options.writeFolders);
    const CDiscSetWriter::Outcome outcome = writer.Run(write, host, cancel);
    switch (outcome) {
        case CDiscSetWriter::Outcome::Done:
            return 0;
        case CDiscSetWriter::Outcome::Cancelled:
            Error(Tr("中断しました"));
            return 130;
        case CDiscSetWriter::Outcome::Stopped:
            if (!writer.Message().empty()) Error(Text(writer.Message()));
            Error(TrFormat("書き込みを途中でやめました。続きは --set {path} で書き込めます",
                           fmt::arg("path", EscapeForTerminal(path))));
            return 1;
        case CDiscSetWriter::Outcome::SomeFailed:
        case CDiscSetWriter::Outcome::SetFileFailed:
            Error(Text(writer.Message()));
            return 1;
    }
    return 1;
}

}  // namespace

bool WantsDiscWork(const CliOptions& options) {
    return options.verifyPath || options.setFile || options.WriteTargets() > 0;
}

int RunVerify(const CliOptions& options, const std::atomic<bool>& cancel) {
    TerminalHost host(options.quiet);
    const std::string path = options.verifyPath->rfind("stdio:", 0) == 0
                                 ? options.verifyPath->substr(6)
                                 : *options.verifyPath;
    const VerifyResult result =
        VerifyMedium(path, &cancel, [&host](const DiscProgress& p) { host.Progress(p); });
    host.PackFinished(DiscSetPack{});
    const std::string text = Text(DescribeVerifyResult(result));
    switch (result.outcome) {
        case VerifyResult::Outcome::Ok:
            if (!options.quiet) std::fputs(text.c_str(), stdout);
            return 0;
        case VerifyResult::Outcome::Cancelled:
            Error(Tr("中断しました"));
            return 130;
        case VerifyResult::Outcome::NotChecked:
            Error(text);
            return 1;
        case VerifyResult::Outcome::Differs:
            break;
    }
    std::fputs(text.c_str(), stdout);
    return kCliVerifyDiffers | (result.missing.empty() ? 0 : 1) | (result.changed.empty() ? 0 : 2) |
           (result.unreadable.empty() ? 0 : 4);
}

int ResumeSet(const CliOptions& options, const std::atomic<bool>& cancel) {
    DiscSet set;
    std::u16string message;
    if (!LoadSetFile(zel::IFileSystem::Default(), *options.setFile, set, message)) {
        Error(Text(message));
        return 1;
    }
    return Write(options, set, *options.setFile, cancel);
}

namespace {

DiscSet NewSet(const CCorvelinDoc& doc, const std::string& name, uint64_t packSize,
               const std::string& medium, uint64_t capacity, std::u16string target) {
    DiscSetHeader header;
    header.now = static_cast<int64_t>(std::time(nullptr));
    header.name = !name.empty() ? zel::DecodeFileName(name) : DefaultSetName(doc.root, header.now);
    header.medium = zel::Utf8ToUtf16(medium);
    header.packSize = packSize;
    header.capacity = capacity;
    header.target = std::move(target);
    return BuildDiscSet(doc.root, doc.packs, header);
}

}  // namespace

int RecordPlannedSet(const CliOptions& options, const CCorvelinDoc& doc, uint64_t packSize,
                     const std::string& medium, uint64_t capacity) {
    const DiscSet set = NewSet(doc, *options.recordSet, packSize, medium, capacity, u"plan");
    std::string message;
    const bool recorded =
        catalog::RecordSet(CliCatalogPath(options, zel::IFileSystem::Default()), set, message);
    if (!message.empty()) Error(message);
    if (!recorded) return 1;
    if (!options.quiet) {
        std::fputs(TrFormat("カタログに記録しました: {name} ({count} ファイル)\n",
                            fmt::arg("name", EscapeForTerminal(zel::EncodeFileName(set.name))),
                            fmt::arg("count", set.files.size()))
                       .c_str(),
                   stderr);
    }
    return 0;
}

int WriteNewSet(const CliOptions& options, const CCorvelinDoc& doc, uint64_t packSize,
                const std::string& medium, uint64_t capacity, const std::atomic<bool>& cancel) {
    DiscSet set =
        NewSet(doc, options.setName ? *options.setName : std::string(), packSize, medium, capacity,
               options.writeDisc               ? u"disc"
               : !options.writeFolders.empty() ? u"folder"
                                               : u"image");
    return Write(options, set, SetFilePath(set), cancel);
}

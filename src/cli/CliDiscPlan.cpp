#include "cli/CliDiscPlan.h"

#include <fcntl.h>
#include <unistd.h>

#include <fmt/format.h>

#include <iterator>

#include "cli/CliOptions.h"
#include "cli/TerminalText.h"
#include "intake/InventoryReader.h"
#include "packing/CorvelinDoc.h"
#include "packing/GraftListWriter.h"
#include "support/FileSystem.h"
#include "support/SizeFormat.h"
#include "support/TextCodec.h"
#include "support/UiText.h"

bool ReadInventoryInto(const CliOptions& options, const CImportSettingsPtr& settings,
                       const std::string& workingDir, CCorvelinDoc& doc, CPackFolderPtr& result,
                       std::string& message, const std::atomic<bool>& stop) {
    const std::string& name = *options.fromList;
    const bool standardInput = name == "-";
    const int fd = standardInput ? STDIN_FILENO : ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        message = TrFormat("ファイルリストを開けませんでした: {path} ({reason})",
                           fmt::arg("path", name), fmt::arg("reason", zel::ErrorText(errno)));
        return false;
    }
    CInventoryReader reader(settings, options.listLines ? '\n' : '\0', doc.nextItemId, workingDir);
    int error = 0;
    const bool ok = reader.Read(fd, error, &stop);
    if (!standardInput) ::close(fd);
    if (!ok) {
        message = TrFormat("ファイルリストを読めませんでした: {path} ({reason})",
                           fmt::arg("path", name), fmt::arg("reason", zel::ErrorText(error)));
        return false;
    }
    result = reader.TakeResult();  // finds the repeats
    if (reader.ProblemCount() > 0) {
        std::string text = TrFormat(
            "corvelin-cli: ファイルリストの {count} "
            "件のレコードを読み込めなかったため、除外しました:\n",
            fmt::arg("count", reader.ProblemCount()));
        for (const InventoryProblem& problem : reader.Problems()) {
            text += TrFormat("  レコード {record}: {problem}", fmt::arg("record", problem.record),
                             fmt::arg("problem", problem.text));
            if (!problem.path.empty() || problem.cut)
                text += ": " + EscapeForTerminal(problem.path) + (problem.cut ? "..." : "");
            text += "\n";
        }
        if (reader.ProblemCount() > reader.Problems().size())
            text += TrFormat("  ほか {count} 件\n",
                             fmt::arg("count", reader.ProblemCount() - reader.Problems().size()));
        std::fputs(text.c_str(), stderr);
    }
    if (result) doc.AddScannedItems(*result, reader.GetNextId());
    return true;
}

bool WriteDiscPlan(const CliOptions& options, const CCorvelinDoc& doc, zel::IFileSystem& fs,
                   std::FILE* out, std::string& message) {
    const std::string& folder = *options.graftListDir;
    CGraftListWriter writer(doc.root, doc.packs);
    if (!writer.Write(folder, message, fs)) return false;
    if (!options.printCommands) return true;
    std::string commands;
    for (size_t pack = 1; pack <= doc.packs.size(); ++pack)
        commands += CGraftListWriter::ImageCommand(folder, pack, doc.packs.size()) + "\n";
    if (std::fputs(commands.c_str(), out) < 0 || std::fflush(out) != 0) {
        message = Tr("コマンドを書き出せませんでした");
        return false;
    }
    return true;
}

void WriteImageFitWarnings(std::FILE* out, const std::vector<uint64_t>& images, uint64_t capacity) {
    // A plan in bytes can leave every pack over: tens of thousands of lines.
    const char* const form =
        Tr("警告: パック {pack} のイメージ ({image} バイト) はメディア ({medium} バイト) "
           "に収まりません\n");
    const std::string medium = GroupedAscii(capacity);
    std::string lines;
    for (size_t i = 0; i < images.size(); ++i) {
        if (images[i] <= capacity) continue;
        fmt::format_to(std::back_inserter(lines), fmt::runtime(form), fmt::arg("pack", i + 1),
                       fmt::arg("image", GroupedAscii(images[i])), fmt::arg("medium", medium));
        if (lines.size() >= 65536) {
            std::fwrite(lines.data(), 1, lines.size(), out);
            lines.clear();
        }
    }
    std::fwrite(lines.data(), 1, lines.size(), out);
}

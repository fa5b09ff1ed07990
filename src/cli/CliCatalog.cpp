#include "cli/CliCatalog.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>

#include <unordered_map>
#include "catalog/Catalog.h"
#include "catalog/CatalogLocation.h"
#include "catalog/CatalogSearch.h"
#include "catalog/SetSource.h"
#include "cli/CliJob.h"
#include "cli/TerminalText.h"
#include "settings/CorvelinSys.h"
#include "support/AtomicFileWriter.h"
#include "support/TextCodec.h"
#include "support/UiText.h"

namespace {

void Error(const std::string& message) {
    std::fprintf(stderr, "corvelin-cli: %s\n", message.c_str());
}

std::string Date(int64_t seconds) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&time, &local);
    char buffer[16];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d", &local);
    return buffer;
}

// One set by its id or its name; a name two sets share is refused.
bool OneSet(catalog::Catalog& catalog, const std::string& text, std::string& id) {
    const std::vector<std::string> ids = catalog.FindSetIds(zel::DecodeFileName(text));
    if (ids.size() == 1) {
        id = ids[0];
        return true;
    }
    const std::string shown = EscapeForTerminal(text);
    Error(ids.empty() ? TrFormat("セットが見つかりません: {set}", fmt::arg("set", shown))
                      : TrFormat("同じ名前のセットが複数あります。ID で指定してください: {set}",
                                 fmt::arg("set", shown)));
    return false;
}

int Export(catalog::Catalog& catalog, const std::string& path, zel::IFileSystem& fs) {
    zel::AtomicFileWriter writer(fs);
    const bool opened = path == "-" ? writer.OpenDescriptor(STDOUT_FILENO) : writer.Open(path);
    if (!opened) {
        Error(writer.AbortWithMessage(path));
        return kCliFailed;
    }
    if (!catalog.ExportTsv([&](std::string_view text) { return writer.Write(text); })) {
        writer.Abort();
        Error(catalog.Error().empty()
                  ? TrFormat("書き出せませんでした: {path}", fmt::arg("path", path))
                  : catalog.Error());
        return kCliFailed;
    }
    if (!writer.Commit()) {
        Error(writer.AbortWithMessage(path));
        return kCliFailed;
    }
    return kCliOk;
}

void List(catalog::Catalog& catalog) {
    // Data lines for scripts: plain numbers, the same in every language.
    for (const catalog::CatalogSetInfo& set : catalog.Sets()) {
        std::string line = set.id + '\t';
        catalog::AppendEscapedField(zel::EncodeFileName(set.name), line);
        line += '\t' + Date(set.createdAt) + '\t' + std::to_string(set.discCount) + '\t' +
                std::to_string(set.fileCount) + '\t' + std::to_string(set.bytes) + '\n';
        std::fputs(line.c_str(), stdout);
    }
}

bool Find(catalog::Catalog& catalog, const std::string& text) {
    std::unordered_map<int64_t, catalog::CatalogDiscInfo> discs;
    for (catalog::CatalogDiscInfo& disc : catalog.Discs())
        discs[disc.rowId] = std::move(disc);
    const bool terminal = ::isatty(STDOUT_FILENO) != 0;
    const auto field = [terminal](std::string_view bytes, std::string& line) {
        if (terminal) {
            line += EscapeForTerminal(bytes);
        } else {
            catalog::AppendEscapedField(bytes, line);
        }
    };
    std::string line;
    catalog::CatalogSearch search(catalog);
    return search.Run(text, [&](const catalog::CatalogHit& hit) {
        const catalog::CatalogDiscInfo& disc = discs[hit.discRowId];
        line.clear();
        field(hit.diskPath, line);
        line += '\t';
        field(zel::EncodeFileName(disc.label), line);
        line += '\t';
        field(zel::EncodeFileName(disc.setName), line);
        line += '\t' + Date(disc.writtenAt != 0 ? disc.writtenAt : disc.setCreatedAt) + '\t';
        field(hit.discPath, line);
        line += '\t' + std::to_string(hit.size) + '\n';
        return std::fputs(line.c_str(), stdout) >= 0;
    });
}

}  // namespace

std::string CliCatalogPath(const CliOptions& options, zel::IFileSystem& fs) {
    if (options.catalogPath) return *options.catalogPath;
    CorvelinSys sys(fs);
    if (!sys.FindProfile()) return catalog::CatalogPath("", "");
    return catalog::CatalogPath(sys.GetConfigurationFolder(),
                                sys.GetLocationFolder(ZelConfiguration::AppData));
}

bool OpenCliCatalog(const CliOptions& options, zel::IFileSystem& fs, catalog::Catalog& catalog) {
    const std::string path = CliCatalogPath(options, fs);
    if (path.empty()) {
        Error(
            Tr("カタログの場所がわかりません (HOME が設定されていません)。--catalog "
               "で指定してください"));
        return false;
    }
    if (!catalog.Open(path)) {
        Error(catalog.Error());
        return false;
    }
    if (!catalog.Notice().empty()) Error(catalog.Notice());
    return true;
}

int RunCatalogCommands(const CliOptions& options, zel::IFileSystem& fs) {
    catalog::Catalog catalog;
    if (!OpenCliCatalog(options, fs, catalog)) return kCliFailed;
    for (const std::string& path : options.catalogAdd) {
        DiscSet set;
        std::string message;
        if (!catalog::ReadSetSource(fs, path, set, message)) {
            Error(message);
            return kCliFailed;
        }
        if (!catalog.Record(set)) {
            Error(catalog.Error());
            return kCliFailed;
        }
        if (!options.quiet) {
            std::fputs(TrFormat("記録しました: {set} ({files} ファイル)\n",
                                fmt::arg("set", EscapeForTerminal(zel::EncodeFileName(set.name))),
                                fmt::arg("files", set.files.size()))
                           .c_str(),
                       stderr);
        }
    }
    std::string id;
    if (options.catalogRemove) {
        if (!OneSet(catalog, *options.catalogRemove, id)) return kCliUsage;
        if (!catalog.RemoveSet(id)) {
            Error(catalog.Error());
            return kCliFailed;
        }
    }
    if (options.catalogRename) {
        if (!OneSet(catalog, *options.catalogRename, id)) return kCliUsage;
        if (!catalog.RenameSet(id, zel::DecodeFileName(*options.newName))) {
            Error(catalog.Error());
            return kCliFailed;
        }
    }
    if (options.catalogExport) {
        if (const int status = Export(catalog, *options.catalogExport, fs); status != kCliOk) {
            return status;
        }
    }
    if (options.catalogList) List(catalog);
    if (options.find && !Find(catalog, *options.find)) {
        Error(catalog.Db().Error().empty() ? std::string(Tr("検索できませんでした"))
                                           : TrFormat("検索できませんでした: {reason}",
                                                      fmt::arg("reason", catalog.Db().Error())));
        return kCliFailed;
    }
    if (std::fflush(stdout) != 0) {
        Error(Tr("書き出せませんでした"));
        return kCliFailed;
    }
    return kCliOk;
}

#include "cli/CliJob.h"

#include <malloc.h>
#include <unistd.h>

#include <boost/make_shared.hpp>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>
#include <system_error>
#include <vector>

#include "catalog/ArchivedFiles.h"
#include "catalog/Catalog.h"
#include "cli/CliCatalog.h"
#include "cli/CliDiscPlan.h"
#include "cli/CliDiscWrite.h"
#include "cli/CliProgress.h"
#include "cli/PackSummary.h"
#include "cli/TerminalText.h"
#include "disc/ReservedRoom.h"
#include "intake/AddFileWorker.h"
#include "intake/AutoGroupProposal.h"
#include "intake/DropPath.h"
#include "intake/FileNameImportFilter.h"
#include "intake/ImportSettingsFile.h"
#include "packing/CorvelinDoc.h"
#include "packing/PackExporter.h"
#include "packing/PackImageEstimator.h"
#include "packing/PackImageSizes.h"
#include "packing/PackRunner.h"
#include "settings/CorvelinSys.h"
#include "settings/PackInfo.h"
#include "settings/SettingsStore.h"
#include "settings/WorkingPackSize.h"
#include "support/TextCodec.h"
#include "support/UiText.h"
#include "support/ZelDebugLog.h"

namespace {

std::atomic<bool> g_interrupted{false};
std::atomic<CAddFileWorker*> g_scan{nullptr};
std::atomic<std::atomic<uint32_t>*> g_packCancel{nullptr};

void Error(const std::string& message) {
    std::fprintf(stderr, "corvelin-cli: %s\n", message.c_str());
}

// The configuration folder: the one given, else the one the desktop program
// would find, else none (built-in defaults; nothing is read or written).
std::string FindConfigFolder(const CliOptions& options, zel::IFileSystem& fs) {
    if (options.configDir) return *options.configDir;
    CorvelinSys sys(fs);
    return sys.FindProfile() ? sys.GetConfigurationFolder() : std::string();
}

void AddNameFilters(std::vector<CImportFilterPtr>& list, const std::vector<std::string>& patterns) {
    for (const std::string& pattern : patterns) {
        list.push_back(boost::make_shared<CFileNameImportFilter>(zel::DecodeFileName(pattern), 0));
    }
}

void ReportSkipped(const SkippedEntryList& skipped) {
    if (skipped.empty()) return;
    std::fputs(TrFormat("corvelin-cli: {count} 件の項目を読み込めなかったため、除外しました:\n",
                        fmt::arg("count", skipped.size()))
                   .c_str(),
               stderr);
    for (const SkippedEntry& entry : skipped) {
        std::string line = "  " + EscapeForTerminal(entry.path) + ": " +
                           zel::Utf16ToUtf8(DescribeSkipReason(entry.reason));
        if (entry.error != 0) line += " (" + zel::ErrorText(entry.error) + ")";
        line += "\n";
        std::fputs(line.c_str(), stderr);
    }
}

// Threads that list folders ahead of the scan: the kernel's work on them
// overlaps the scan's own. CORVELIN_SCAN_READERS overrides the choice.
unsigned ScanReaders() {
    if (const char* env = std::getenv("CORVELIN_SCAN_READERS")) {
        const long value = std::strtol(env, nullptr, 10);
        if (value >= 0 && value <= 64) return static_cast<unsigned>(value);
    }
    return CAddFileWorker::DefaultReaders();
}

}  // namespace

void CliRequestCancel() {
    g_interrupted.store(true);
    if (CAddFileWorker* scan = g_scan.load()) scan->Cancel();
    if (std::atomic<uint32_t>* flag = g_packCancel.load()) flag->store(1);
}

CliJob::CliJob(const CliOptions& options, zel::IFileSystem& fs) : options_(options), fs_(fs) {}

CliJob::~CliJob() = default;

int CliJob::Run() {
    if (options_.CatalogOnly()) return RunCatalogCommands(options_, fs_);
    const bool showProgress = !options_.quiet;
    const bool summaryToStderr = options_.exportPath && *options_.exportPath == "-";
    if (options_.verifyPath) return RunVerify(options_, g_interrupted);

    // Settings and presets, read only.
    const std::string configFolder = FindConfigFolder(options_, fs_);
    SettingsStore settings;
    if (!configFolder.empty()) settings.Load(fs_, configFolder + "/Corvelin.ini");
    // Without --md5 or --no-md5, xorriso's MD5 records are as the profile says.
    if (!options_.md5) options_.md5 = settings.general.recordMd5 != 0;
    if (options_.setFile) return ResumeSet(options_, g_interrupted);

    ImportSettingsList presets;
    if (!configFolder.empty()) {
        LoadImportSettings(fs_, configFolder, presets);
    } else {
        presets.push_back(MakeDefaultImportSettings());
    }

    // The pack size: a registered name or a size text.
    // The default name may be missing from a cut or edited profile: the default
    // run still uses the built-in size.
    const std::u16string sizeText = zel::Utf8ToUtf16(options_.sizeText);
    const std::u16string fillRateText = zel::Utf8ToUtf16(options_.fillRateText);
    WorkingPackSize sizes;
    PackSizeError sizeError =
        ResolveWorkingPackSize(settings.packInfoList, sizeText, fillRateText, sizes);
    if (sizeError != PackSizeError::None && !options_.sizeGiven) {
        sizeError = ResolveWorkingPackSize(DefaultPackInfoList(), sizeText, fillRateText, sizes);
    }
    if (sizeError != PackSizeError::None) {
        Error(TrFormat("パックサイズに正しい値を入力してください: {size}",
                       fmt::arg("size", options_.sizeText)));
        return kCliUsage;
    }
    ZEL_DEBUG_LOG("PackSize: {}", sizes.workingSize);

    // The import settings of this drop.
    CImportSettingsPtr importSettings;
    if (options_.preset) {
        // Bytes that are not UTF-8 keep their identity, as in file names; a name
        // read from the presets file had them replaced, so that form matches too.
        CImportSettingsPtr preset =
            FindImportSettings(presets, zel::DecodeFileName(*options_.preset));
        if (!preset) preset = FindImportSettings(presets, zel::Utf8ToUtf16(*options_.preset));
        if (preset) {
            importSettings = boost::make_shared<CImportSettings>(*preset);
        } else {
            Error(TrFormat("インポート設定が見つかりません: {name}",
                           fmt::arg("name", *options_.preset)));
            return kCliUsage;
        }
    } else {
        importSettings = options_.inputPatterns.empty() ? MakeViewDefaultImportSettings()
                                                        : boost::make_shared<CImportSettings>();
    }
    AddNameFilters(importSettings->inputFilters, options_.inputPatterns);
    AddNameFilters(importSettings->ignoreFilters, options_.ignorePatterns);
    if (options_.autoGroup) importSettings->AutoGroup = 1;

    std::vector<std::string> paths;
    const std::string cwd = fs_.WorkingFolder();
    for (const std::string& path : options_.paths) {
        if (path[0] != '/' && cwd.empty()) {
            Error(TrFormat("作業フォルダがないため、相対パスを読み込めません: {path}",
                           fmt::arg("path", EscapeForTerminal(path))));
            return kCliUsage;
        }
        paths.push_back(AbsoluteDropPath(path, cwd));
    }

    // Scan, or read the inventory.
    doc_ = std::make_unique<CCorvelinDoc>();
    CCorvelinDoc& doc = *doc_;
    doc.keepPackResults = false;
    CPackFolderPtr result;
    if (options_.fromList) {
        std::string message;
        if (!ReadInventoryInto(options_, importSettings, cwd, doc, result, message,
                               g_interrupted)) {
            if (g_interrupted.load()) {
                Error(Tr("中断しました"));
                return kCliInterrupted;
            }
            Error(message);
            return kCliFailed;
        }
    } else {
        // Archived files are looked up in memory, loaded once for the dropped paths.
        catalog::Catalog catalog;
        catalog::ArchivedFiles archived;
        if (options_.skipArchived) {
            if (!OpenCliCatalog(options_, fs_, catalog)) return kCliFailed;
            std::string message;
            if (!archived.Load(catalog, paths, message)) {
                Error(message);
                return kCliFailed;
            }
        }
        CAddFileWorker* workerPtr = nullptr;
        CliProgress progress(Tr("読み込み中"), showProgress, [&workerPtr] {
            return workerPtr ? zel::EncodeFileName(workerPtr->GetCurrentPath()) : std::string();
        });
        CAddFileWorker worker(fs_, doc, importSettings, paths, &progress);
        worker.SetReadAhead(ScanReaders());
        if (options_.skipArchived) worker.SetArchiveCheck(&archived);
        workerPtr = &worker;
        g_scan.store(&worker);
        if (g_interrupted.load()) worker.Cancel();  // a signal before the worker was published
        const bool started = worker.Start();
        worker.Join();
        g_scan.store(nullptr);
        progress.Finish();
        ReportSkipped(worker.GetSkipped());
        if (!started) {
            Error(Tr("スレッドを開始できませんでした"));
            return kCliFailed;
        }
        if (!worker.GetErrorText().empty()) {
            Error(TrFormat("読み込みに失敗しました: {reason}",
                           fmt::arg("reason", zel::Utf16ToUtf8(worker.GetErrorText()))));
            return kCliFailed;
        }
        if (!worker.CommitTo(doc)) {
            Error(Tr("中断しました"));
            return kCliInterrupted;
        }
        result = worker.GetResult();
        if (options_.skipArchived && !options_.quiet) {
            std::fputs(catalog::DescribeArchived(archived, catalog.Discs()).c_str(), stderr);
        }
    }

    if (importSettings->AutoGroup && result) AcceptAllAutoGroups(doc, *result);
    // What the reading left free in the heap (listings, replaced child lists,
    // the reader's tables) goes back now: the packing's large tables are
    // mapped on their own and could not reuse it, and would peak above it.
    malloc_trim(0);

    // Pack: against the bytes, or against the estimated images.
    const uint64_t medium = sizes.capacity;
    // Media written by this run must hold their images: pack against them.
    const bool writes = options_.WriteTargets() > 0;
    const bool fitImage = options_.fitImage || settings.general.fitImage != 0 || writes;
    const bool udf = options_.udf;
    std::vector<uint64_t> images;
    {
        CliProgress progress(Tr("パック中"), showProgress);
        doc.cancelFlag.store(g_interrupted.load() ? 1 : 0);
        g_packCancel.store(&doc.cancelFlag);
        // A signal between the two lines above found no flag to set: look again.
        if (g_interrupted.load()) doc.cancelFlag.store(1);
        CPackRunner runner(doc, sizes.workingSize, &progress);
        if (fitImage) {
            ImageFitGoal goal{std::min(sizes.workingSize, medium), udf, 0, {}};
            // What writing adds to each medium: the reserved folder, MD5 records.
            if (writes) {
                goal.extraPerPack = [&doc, md5 = *options_.md5](const std::vector<PackBin>& packs) {
                    return PlannedReservedRoom(doc.root, packs, md5);
                };
            }
            runner.FitImages(goal);
        }
        const bool started = runner.Start();
        runner.Join();
        g_packCancel.store(nullptr);
        progress.Finish();
        if (!started) {
            Error(Tr("スレッドを開始できませんでした"));
            return kCliFailed;
        }
        switch (runner.GetOutcome()) {
            case CPackRunner::Outcome::Completed:
                doc.packSize = sizes.fullSize;
                images = runner.Images();
                break;
            case CPackRunner::Outcome::Failed:
                Error(
                    TrFormat("パックに失敗しました: {reason}", fmt::arg("reason", runner.Error())));
                return kCliFailed;
            default:
                Error(Tr("中断しました"));
                return kCliInterrupted;
        }
    }
    // The estimates and the lists and export below only read the packs: with
    // millions of files the estimates are worth running beside them. Whatever
    // way this ends, they are stopped and waited for before the packs go.
    std::atomic<bool> stopImages{false};
    std::future<std::vector<uint64_t>> pendingImages;
    // With an export, its two threads estimate each pack right after its
    // lines, while its items are at hand, instead of two more threads reading
    // every item again beside them.
    std::unique_ptr<CPackImageEstimator> besideExport;
    if (images.empty() && !options_.quiet && options_.exportPath) {
        besideExport = std::make_unique<CPackImageEstimator>(doc.root, doc.packs, udf);
    } else if (images.empty() && !options_.quiet) {
        try {
            pendingImages = std::async(std::launch::async, [&doc, udf, &stopImages] {
                return EstimatePackImages(doc.root, doc.packs, udf, &stopImages);
            });
        } catch (const std::system_error&) {
            images = EstimatePackImages(doc.root, doc.packs, udf);
        }
    }
    struct JoinImages {
        std::atomic<bool>& stop;
        std::future<std::vector<uint64_t>>& pending;
        ~JoinImages() {
            stop.store(true);
            if (pending.valid()) pending.wait();
        }
    } joinImages{stopImages, pendingImages};

    if (options_.graftListDir) {
        std::string message;
        if (!WriteDiscPlan(options_, doc, fs_, summaryToStderr ? stderr : stdout, message)) {
            Error(message);
            return kCliFailed;
        }
    }

    // Export.
    if (options_.exportPath) {
        if (g_interrupted.load()) {
            Error(Tr("中断しました"));
            return kCliInterrupted;
        }
        std::string message;
        CPackExporter exporter(doc.packs);
        if (besideExport) {
            exporter.SetAlongside([&estimator = *besideExport](size_t worker, size_t pack) {
                estimator.Estimate(worker, pack);
            });
        }
        const bool ok = *options_.exportPath == "-"
                            ? exporter.ExportToDescriptor(STDOUT_FILENO, "-", message, fs_)
                            : exporter.Export(*options_.exportPath, message, fs_);
        if (!ok) {
            // A signal ends the export's waits with a write failure: the run
            // was interrupted, and nothing was exported.
            if (g_interrupted.load()) {
                Error(Tr("中断しました"));
                return kCliInterrupted;
            }
            Error(message);
            return kCliFailed;
        }
    }

    if (options_.recordSet) {
        if (g_interrupted.load()) {
            Error(Tr("中断しました"));
            return kCliInterrupted;
        }
        if (RecordPlannedSet(options_, doc, sizes.workingSize, options_.sizeText, medium) != 0)
            return kCliFailed;
    }

    if (!options_.quiet) {
        if (besideExport) images = besideExport->TakeImages();
        if (pendingImages.valid()) images = pendingImages.get();
        std::FILE* out = summaryToStderr ? stderr : stdout;
        WritePackSummary(out, doc, sizes.fullSize, images);
        WriteImageFitWarnings(out, images, medium);
        // A write that failed on the way leaves the error flag, not a failed flush.
        if ((std::fflush(out) != 0 || std::ferror(out) != 0) && !summaryToStderr) {
            Error(Tr("集計表を書き出せませんでした"));
            return kCliFailed;
        }
    }
    if (options_.WriteTargets() > 0)
        return WriteNewSet(options_, doc, sizes.workingSize, options_.sizeText, medium,
                           g_interrupted);
    return kCliOk;
}

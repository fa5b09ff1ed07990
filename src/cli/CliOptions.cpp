#include "cli/CliOptions.h"

#include <getopt.h>

#include <vector>

#include "support/UiText.h"

namespace {

enum LongOnly {
    kInput = 256,
    kIgnore,
    kAutoGroup,
    kConfigDir,
    kVersion,
    kGraftLists,
    kPrintCommands,
    kFitImage,
    kUdf,
    kFromList,
    kLines,
    kCatalog,
    kSkipArchived,
    kFind,
    kCatalogAdd,
    kCatalogExport,
    kCatalogRemove,
    kCatalogRename,
    kNewName,
    kCatalogList,
    kWriteImages,
    kWriteDisc,
    kWriteFolders,
    kSet,
    kSetName,
    kRecordSet,
    kVerify,
    kNoVerify,
    kMd5,
    kNoMd5,
};

}  // namespace

bool ParseCliOptions(int argc, char** argv, CliOptions& options, std::string& error) {
    static const option kLongOptions[] = {
        {"size", required_argument, nullptr, 's'},
        {"fill-rate", required_argument, nullptr, 'r'},
        {"preset", required_argument, nullptr, 'p'},
        {"input", required_argument, nullptr, kInput},
        {"ignore", required_argument, nullptr, kIgnore},
        {"auto-group", no_argument, nullptr, kAutoGroup},
        {"export", required_argument, nullptr, 'o'},
        {"config-dir", required_argument, nullptr, kConfigDir},
        {"quiet", no_argument, nullptr, 'q'},
        {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, kVersion},
        {"graft-lists", required_argument, nullptr, kGraftLists},
        {"print-commands", no_argument, nullptr, kPrintCommands},
        {"fit-image", no_argument, nullptr, kFitImage},
        {"udf", no_argument, nullptr, kUdf},
        {"from-list", required_argument, nullptr, kFromList},
        {"lines", no_argument, nullptr, kLines},
        {"catalog", required_argument, nullptr, kCatalog},
        {"skip-archived", no_argument, nullptr, kSkipArchived},
        {"find", required_argument, nullptr, kFind},
        {"catalog-add", required_argument, nullptr, kCatalogAdd},
        {"catalog-export", required_argument, nullptr, kCatalogExport},
        {"catalog-remove", required_argument, nullptr, kCatalogRemove},
        {"catalog-rename", required_argument, nullptr, kCatalogRename},
        {"new-name", required_argument, nullptr, kNewName},
        {"catalog-list", no_argument, nullptr, kCatalogList},
        {"write-images", required_argument, nullptr, kWriteImages},
        {"write-disc", required_argument, nullptr, kWriteDisc},
        {"write-folders", required_argument, nullptr, kWriteFolders},
        {"set", required_argument, nullptr, kSet},
        {"set-name", required_argument, nullptr, kSetName},
        {"record-set", required_argument, nullptr, kRecordSet},
        {"verify", required_argument, nullptr, kVerify},
        {"no-verify", no_argument, nullptr, kNoVerify},
        {"md5", no_argument, nullptr, kMd5},
        {"no-md5", no_argument, nullptr, kNoMd5},
        {nullptr, 0, nullptr, 0},
    };
    opterr = 0;
    optind = 0;  // full re-initialisation of getopt, so parsing can run more than once
    int c;
    while ((c = getopt_long(argc, argv, ":s:r:p:o:qh", kLongOptions, nullptr)) != -1) {
        switch (c) {
            case 's':
                options.sizeText = optarg;
                options.sizeGiven = true;
                break;
            case 'r':
                options.fillRateText = optarg;
                break;
            case 'p':
                options.preset = optarg;
                break;
            case kInput:
                options.inputPatterns.emplace_back(optarg);
                break;
            case kIgnore:
                options.ignorePatterns.emplace_back(optarg);
                break;
            case kAutoGroup:
                options.autoGroup = true;
                break;
            case 'o':
                options.exportPath = optarg;
                break;
            case kConfigDir:
                options.configDir = optarg;
                break;
            case 'q':
                options.quiet = true;
                break;
            case 'h':
                options.help = true;
                break;
            case kVersion:
                options.version = true;
                break;
            case kGraftLists:
                options.graftListDir = optarg;
                break;
            case kPrintCommands:
                options.printCommands = true;
                break;
            case kFitImage:
                options.fitImage = true;
                break;
            case kUdf:
                options.udf = true;
                break;
            case kFromList:
                options.fromList = optarg;
                break;
            case kLines:
                options.listLines = true;
                break;
            case kCatalog:
                options.catalogPath = optarg;
                break;
            case kSkipArchived:
                options.skipArchived = true;
                break;
            case kFind:
                options.find = optarg;
                break;
            case kCatalogAdd:
                options.catalogAdd.emplace_back(optarg);
                break;
            case kCatalogExport:
                options.catalogExport = optarg;
                break;
            case kCatalogRemove:
                options.catalogRemove = optarg;
                break;
            case kCatalogRename:
                options.catalogRename = optarg;
                break;
            case kNewName:
                options.newName = optarg;
                break;
            case kCatalogList:
                options.catalogList = true;
                break;
            case kWriteImages:
                options.writeImages = optarg;
                break;
            case kWriteDisc:
                options.writeDisc = optarg;
                break;
            case kWriteFolders:
                options.writeFolders.emplace_back(optarg);
                break;
            case kSet:
                options.setFile = optarg;
                break;
            case kSetName:
                options.setName = optarg;
                break;
            case kRecordSet:
                options.recordSet = optarg;
                break;
            case kVerify:
                options.verifyPath = optarg;
                break;
            case kNoVerify:
                options.noVerify = true;
                break;
            case kMd5:
                options.md5 = true;
                break;
            case kNoMd5:
                options.md5 = false;
                break;
            case ':':
                error = TrFormat("オプションに値がありません: {option}",
                                 fmt::arg("option", argv[optind - 1]));
                return false;
            default:
                error = TrFormat("不明なオプションです: {option}",
                                 fmt::arg("option", argv[optind - 1]));
                return false;
        }
    }
    for (int i = optind; i < argc; ++i) {
        // An empty word (an unset "$DIR") must not stand for the working folder.
        if (argv[i][0] == '\0') {
            error = Tr("空のパスは指定できません");
            return false;
        }
        options.paths.emplace_back(argv[i]);
    }
    if (options.help || options.version) return true;
    if (options.catalogRename.has_value() != options.newName.has_value()) {
        error = Tr("--catalog-rename と --new-name は一緒に指定してください");
        return false;
    }
    if (options.CatalogOnly()) {
        if (!options.paths.empty() || options.fromList) {
            error = Tr("カタログの操作とパスは同時に指定できません");
            return false;
        }
        return true;
    }
    if (options.WriteTargets() > 1) {
        error = Tr("--write-images と --write-disc と --write-folders は同時に指定できません");
        return false;
    }
    // Verifying and going on with a set work on what is already planned.
    if (options.verifyPath || options.setFile) {
        if (!options.paths.empty() || options.fromList) {
            error = Tr("--verify と --set にはパスや --from-list を指定できません");
            return false;
        }
        if (options.verifyPath && (options.setFile || options.WriteTargets() > 0)) {
            error = Tr("--verify はほかの書き込みのオプションと同時に指定できません");
            return false;
        }
        if (options.setFile && options.WriteTargets() == 0) {
            error =
                Tr("--set には --write-images DIR か --write-disc DEVICE か --write-folders DIR "
                   "が必要です");
            return false;
        }
        return true;
    }
    if (options.skipArchived && options.fromList) {
        error = Tr("--skip-archived は --from-list と同時に指定できません (更新日時がありません)");
        return false;
    }
    if (options.fromList && !options.paths.empty()) {
        error = Tr("--from-list とパスは同時に指定できません");
        return false;
    }
    if (!options.fromList && options.paths.empty()) {
        error = Tr("ファイルまたはフォルダを指定してください");
        return false;
    }
    if (options.recordSet && !options.exportPath && !options.graftListDir) {
        error = Tr("--record-set には -o FILE か --graft-lists DIR が必要です");
        return false;
    }
    // A set that is written is recorded as it is written: not twice.
    if (options.recordSet && options.WriteTargets() > 0) {
        error = Tr(
            "--record-set は --write-images、--write-disc、--write-folders と同時に指定できません");
        return false;
    }
    if (options.printCommands && !options.graftListDir) {
        error = Tr("--print-commands には --graft-lists DIR が必要です");
        return false;
    }
    return true;
}

std::string CliUsage() {
    return Tr(
        "使い方: corvelin-cli [オプション] パス...\n"
        "        corvelin-cli [オプション] --from-list FILE\n"
        "        corvelin-cli [--catalog FILE] カタログの操作...\n"
        "        corvelin-cli --set FILE (--write-images DIR | --write-disc DEVICE |\n"
        "                                    --write-folders DIR...)\n"
        "        corvelin-cli --verify PATH\n"
        "ファイルとフォルダを読み込み、指定したサイズのメディアに分けてエクスポートします。\n"
        "\n"
        "  -s, --size TEXT        パックサイズ: 登録名 (例 \"DVD(4.7GB)\") またはサイズ (例 "
        "4700M)\n"
        "                         既定値 \"DVD(4.7GB)\"\n"
        "  -r, --fill-rate TEXT   使用率 (例 95%、95)。既定値 100%\n"
        "  -p, --preset NAME      インポート設定の名前\n"
        "      --input PATTERN    取り込むファイル名のパターン (複数指定可)\n"
        "      --ignore PATTERN   除外するファイル名のパターン (複数指定可)\n"
        "      --auto-group       似た名前のファイルを自動でグループにする\n"
        "  -o, --export FILE      結果をタブ区切りテキストで書き出す (- は標準出力)\n"
        "      --config-dir DIR   Corvelin.ini と ImportSettings.xml のフォルダ\n"
        "      --from-list FILE   読み込む代わりにファイルリストから計画する (- は標準入力)\n"
        "                         レコードは「サイズ<TAB>パス」、NUL 区切り\n"
        "                         (find DIR -type f -printf '%s\\t%p\\0')\n"
        "      --lines            ファイルリストのレコードを改行で区切る\n"
        "      --graft-lists DIR  パックごとに xorrisofs のパスリスト packNN.lst を書き出す\n"
        "      --print-commands   各パックのイメージを作る xorrisofs のコマンドを表示する\n"
        "      --fit-image        推定イメージサイズがメディアに収まるようにパックする\n"
        "      --udf              イメージサイズの推定に UDF を含める\n"
        "      --skip-archived    カタログにある同じパス・サイズ・更新日時のファイルを除外する\n"
        "      --catalog FILE     使うカタログ (既定: "
        "~/.local/share/Tessoly/Corvelin/catalog.sqlite)\n"
        "      --write-images DIR パックごとにイメージ packNN.iso を書き込み、検証する\n"
        "                         (書き込んだセットはカタログに記録する)\n"
        "      --write-disc DEVICE パックごとにドライブのディスクへ書き込み、検証する\n"
        "                         (次のディスクは標準エラーで尋ね、Enter で続ける)\n"
        "      --write-folders DIR パックごとのファイルをフォルダへコピーし、検証する\n"
        "                         (パックの順に繰り返し指定、足りなければ標準エラーで尋ねる)\n"
        "      --set FILE         セットファイルの続きを書き込む (パスは指定しない)\n"
        "      --set-name NAME    新しいセットの名前 (既定値 最初の項目の名前と日付)\n"
        "      --record-set NAME  -o や --graft-lists の計画を NAME "
        "のセット (未書き込み) としてカタログに記録する\n"
        "      --no-verify        書き込んだ後に読み返して検証しない\n"
        "      --md5              xorriso の MD5 チェックサムもイメージに記録する\n"
        "                         (既定値 オプションの設定、--no-md5 で記録しない)\n"
        "      --verify PATH      ディスクのフォルダ、ドライブ、イメージを検証する\n"
        "  -q, --quiet            集計表を表示しない\n"
        "  -h, --help             この説明を表示する\n"
        "      --version          バージョンを表示する\n"
        "  --                     以降をすべてパスとして扱う\n"
        "\n"
        "カタログの操作:\n"
        "      --find TEXT        パスに TEXT を含むファイルを表示する (1 行に 1 "
        "ファイル、タブ区切り:\n"
        "                         "
        "ディスク上のパス、ディスクのラベル、セット、日付、ディスク内のパス、サイズ)\n"
        "      --catalog-add FILE セットファイル、メディアの INDEX.TSV、または _CORVELIN "
        "を含む\n"
        "                         フォルダ (マウントしたディスク)、イメージファイル (.iso)\n"
        "                         からセットを記録する (複数指定可)\n"
        "      --catalog-export FILE  カタログをタブ区切りテキストで書き出す (- は標準出力)\n"
        "      --catalog-list     セットごとのディスク数とバイト数を表示する\n"
        "      --catalog-remove SET   セットを削除する (ID または名前)\n"
        "      --catalog-rename SET --new-name NAME  セットの名前を変更する\n"
        "\n"
        "終了コード: 0 成功、1 読み込み・書き出し・書き込みの失敗、2 指定の誤り、130 中断\n"
        "  --verify: 8 に、見つからないファイルがあれば 1、内容が異なれば 2、\n"
        "  読めなければ 4 を足した値 (9〜15)\n");
}

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
        "                         フォルダ (マウントしたディスク) からセットを記録する "
        "(複数指定可)\n"
        "      --catalog-export FILE  カタログをタブ区切りテキストで書き出す (- は標準出力)\n"
        "      --catalog-list     セットごとのディスク数とバイト数を表示する\n"
        "      --catalog-remove SET   セットを削除する (ID または名前)\n"
        "      --catalog-rename SET --new-name NAME  セットの名前を変更する\n"
        "\n"
        "終了コード: 0 成功、1 読み込みまたは書き出しの失敗、2 指定の誤り、130 中断\n");
}

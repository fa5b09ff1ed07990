#include "disc/DiscWriteForm.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include <fmt/format.h>

#include "support/TextCodec.h"

std::u16string DiscWriteForm::Problem() const {
    if (name.empty()) return u"セットの名前を入力してください。";
    if (ToImages() && folder.empty()) return u"イメージを書き込むフォルダーを選んでください。";
    if (std::find(chosen.begin(), chosen.end(), true) == chosen.end())
        return u"書き込むパックを選んでください。";
    return {};
}

DiscWriteOptions DiscWriteForm::Options() const {
    DiscWriteOptions options;
    options.toFolders = ToFolders();
    options.toDrive = !ToImages() && !options.toFolders;
    if (options.toDrive) {
        options.device = drives[target - 1];
    } else if (!options.toFolders) {
        options.folder = zel::EncodeFileName(folder);
    }
    options.verify = verify;
    options.md5 = md5;
    for (size_t i = 0; i < chosen.size(); ++i)
        if (chosen[i]) options.packs.push_back(static_cast<uint32_t>(i + 1));
    return options;
}

std::u16string FolderPrompt(uint32_t pack, uint32_t count, const std::u16string& problem) {
    std::u16string text = problem.empty() ? std::u16string() : problem + u"\n\n";
    return text +
           zel::Utf8ToUtf16(fmt::format(
               "パック {} / {}\nコピー先のフォルダー（外付けディスクなど）を選んでください。", pack,
               count));
}

std::vector<std::string> FindOpticalDrives(const std::string& devFolder) {
    std::vector<std::string> drives;
    DIR* dir = ::opendir(devFolder.c_str());
    if (!dir) return drives;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() < 3 || name.compare(0, 2, "sr") != 0 ||
            name.find_first_not_of("0123456789", 2) != std::string::npos)
            continue;
        std::string path = devFolder;
        path += '/';
        path += name;
        struct stat st;
        if (::stat(path.c_str(), &st) == 0 && S_ISBLK(st.st_mode)) drives.push_back(path);
    }
    ::closedir(dir);
    std::sort(drives.begin(), drives.end());
    return drives;
}

std::u16string MediumPrompt(uint32_t pack, uint32_t count, const std::u16string& problem) {
    std::u16string text = problem.empty() ? std::u16string() : problem + u"\n\n";
    return text +
           zel::Utf8ToUtf16(fmt::format(
               "パック {} / {}\n空のディスクを入れて「書き込む」を押してください。", pack, count));
}

#pragma once

#include <string>
#include <vector>

#include "disc/DiscSetWriter.h"

// What the writing dialog asks for, and its rules: the window only shows the
// fields and forwards them.
struct DiscWriteForm {
    std::u16string name;
    std::vector<std::string> drives;  // the optical drives found
    // 0: image files into folder; n: drives[n - 1]; drives.size() + 1: a
    // folder per pack, asked for as each pack begins.
    size_t target = 0;
    std::u16string folder;
    std::vector<bool> chosen;  // per pack
    bool verify = true;
    bool md5 = false;

    bool ToFolders() const { return target == drives.size() + 1; }
    bool ToImages() const { return !ToFolders() && (target == 0 || target > drives.size()); }
    // Why Start cannot go yet; empty when it can.
    std::u16string Problem() const;
    DiscWriteOptions Options() const;
};

// "パック 8 / 30" and the folder wanted, with the problem of the last one first.
std::u16string FolderPrompt(uint32_t pack, uint32_t count, const std::u16string& problem);

// The optical drives of this machine: /dev/srN that are block devices.
std::vector<std::string> FindOpticalDrives(const std::string& devFolder = "/dev");

// "パック 8 / 30" and what to do, with the problem of the last medium first.
std::u16string MediumPrompt(uint32_t pack, uint32_t count, const std::u16string& problem);

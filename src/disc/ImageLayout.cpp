#include "disc/ImageLayout.h"

#include <sys/stat.h>

#include <charconv>

#include "disc/XorrisoProcess.h"

namespace {

bool ReadNumber(std::string_view& text, uint64_t& out) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    if (ec != std::errc()) return false;
    text.remove_prefix(static_cast<size_t>(end - text.data()));
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    if (text.empty() || text.front() != ',') return false;
    text.remove_prefix(1);
    return true;
}

int OctalDigit(char c) {
    return c >= '0' && c <= '7' ? c - '0' : -1;
}

}  // namespace

uint64_t ImageFileLayout::Size() const {
    uint64_t size = 0;
    for (const ImageExtent& extent : extents)
        size += extent.size;
    return size;
}

bool DecodeXorrisoWord(std::string_view word, std::string& out) {
    out.clear();
    size_t i = 0;
    while (i < word.size()) {
        const char quote = word[i];
        if (quote != '\'' && quote != '"') return false;
        const size_t close = word.find(quote, i + 1);
        if (close == std::string_view::npos) return false;
        const std::string_view part = word.substr(i + 1, close - i - 1);
        i = close + 1;
        for (size_t k = 0; k < part.size(); ++k) {
            if (part[k] != '\\') {
                out += part[k];
                continue;
            }
            if (++k == part.size()) return false;
            const char c = part[k];
            switch (c) {
                case 'a':
                    out += '\a';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'e':
                    out += '\x1b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'v':
                    out += '\v';
                    break;
                case '\\':
                    out += '\\';
                    break;
                case '^':
                    if (++k == part.size()) return false;
                    out += static_cast<char>(part[k] & 0x1f);
                    break;
                default: {
                    int value = 0;
                    int digits = 0;
                    while (digits < 3 && k < part.size() && OctalDigit(part[k]) >= 0) {
                        value = value * 8 + OctalDigit(part[k++]);
                        ++digits;
                    }
                    if (digits == 0) return false;
                    --k;
                    out += static_cast<char>(value);
                }
            }
        }
    }
    return true;
}

void ImageLayout::AddReportLine(std::string_view line) {
    line = XorrisoText(line);
    constexpr std::string_view kPrefix = "File data lba:";
    if (line.substr(0, kPrefix.size()) != kPrefix) return;
    line.remove_prefix(kPrefix.size());
    uint64_t extentNumber = 0, block = 0, blocks = 0, size = 0;
    if (!ReadNumber(line, extentNumber) || !ReadNumber(line, block) || !ReadNumber(line, blocks) ||
        !ReadNumber(line, size))
        return;
    while (!line.empty() && line.front() == ' ')
        line.remove_prefix(1);
    std::string path;
    if (!DecodeXorrisoWord(line, path) || path.empty() || path.front() != '/') return;
    path.erase(0, 1);
    auto& extents = files_[path].extents;
    if (extents.size() <= extentNumber) extents.resize(extentNumber + 1);
    extents[extentNumber] = ImageExtent{block, size};
}

const ImageFileLayout* ImageLayout::Find(const std::string& path) const {
    auto it = files_.find(path);
    return it == files_.end() ? nullptr : &it->second;
}

std::string ImageLayout::DriveAddress(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0 && S_ISBLK(st.st_mode)) return path;
    return "stdio:" + path;
}

bool ImageLayout::Load(const std::string& device, std::string& error,
                       const std::atomic<bool>* cancel) {
    files_.clear();
    XorrisoProcess xorriso;
    const int status = xorriso.Run(
        {"-no_rc", "-pkt_output", "on", "-backslash_codes", "encode_output", "-indev",
         DriveAddress(device), "-find", "/", "-type", "f", "-exec", "report_lba", "--"},
        [this](std::string_view line) { AddReportLine(line); }, cancel);
    if (status != 0) {
        error = xorriso.ProblemText();
        if (error.empty()) error = "xorriso: " + std::to_string(status);
        return false;
    }
    return true;
}

#include "support/ZelConfReader.h"

#include <string_view>

#include "support/TextCodec.h"
#include "support/ZelText.h"

namespace {

std::string_view TrimmedBytes(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && text[begin] == ' ')
        ++begin;
    while (end > begin && text[end - 1] == ' ')
        --end;
    return text.substr(begin, end - begin);
}

std::u16string DecodeField(std::string_view bytes) {
    // A zero byte ends the text, as for any C string.
    const size_t nul = bytes.find('\0');
    if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);
    std::u16string text = zel::Utf8ToUtf16(bytes);
    zel::TrimSpaces(text);
    return text;
}

}  // namespace

ZelConfReader::ZelConfReader(ZelConfReadReceiver* receiver, bool wide, zel::IFileSystem& fs)
    : receiver_(receiver), wide_(wide), fs_(fs) {}

int ZelConfReader::Load(const std::string& path) {
    lastError_ = 0;
    if (!receiver_) return 0;
    std::string buffer;
    lastError_ = fs_.ReadFile(path, kMaxFileSize, buffer);
    if (lastError_ != 0) return 0;
    Parse(buffer.data(), buffer.size());
    return 1;
}

void ZelConfReader::Parse(const char* buffer, size_t size) {
    if (!receiver_ || !buffer) return;
    std::string_view rest(buffer, size);
    if (rest.substr(0, 3) == "\xEF\xBB\xBF") rest.remove_prefix(3);

    // Wide mode needs the wide callback; a plain receiver still gets the bytes.
    auto* ex = wide_ ? dynamic_cast<ZelConfReadReceiverEx*>(receiver_) : nullptr;

    while (!rest.empty()) {
        const size_t eol = rest.find_first_of("\r\n");
        const std::string_view line = rest.substr(0, eol);
        rest.remove_prefix(eol == std::string_view::npos ? rest.size() : eol + 1);
        if (line.empty() || line.front() == ';') continue;

        const size_t eq = line.find('=');
        const std::string_view key = line.substr(0, eq);
        const std::string_view value =
            eq == std::string_view::npos ? std::string_view() : line.substr(eq + 1);
        const bool more = ex ? ex->OnKeyValueW(DecodeField(key), DecodeField(value))
                             : receiver_->OnKeyValue(std::string(TrimmedBytes(key)),
                                                     std::string(TrimmedBytes(value)));
        if (!more) break;
    }
}

#include "disc/SetIndexFormat.h"

#include <charconv>
#include <vector>

#include "support/TextCodec.h"

namespace {

constexpr std::string_view kIndexMagic = "CORVELIN-INDEX";
constexpr std::string_view kSetMagic = "CORVELIN-SET";
constexpr uint32_t kMajorVersion = 1;

const DiscPackState kStates[] = {DiscPackState::Planned, DiscPackState::Written,
                                 DiscPackState::Verified, DiscPackState::Failed};

void AppendText(std::u16string_view text, std::string& out) {
    out += '\t';
    AppendIndexField(zel::EncodeFileName(text), out);
}

void AppendBytes(std::string_view bytes, std::string& out) {
    out += '\t';
    AppendIndexField(bytes, out);
}

template <typename T>
void AppendNumber(T value, std::string& out) {
    out += '\t';
    out += std::to_string(value);
}

bool Unescape(std::string_view field, std::string& out) {
    out.clear();
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            out += field[i];
            continue;
        }
        if (++i == field.size()) return false;
        switch (field[i]) {
            case '\\':
                out += '\\';
                break;
            case 't':
                out += '\t';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            default:
                return false;
        }
    }
    return true;
}

template <typename T>
bool ParseNumber(std::string_view field, T& out) {
    if (field.empty() || field.front() == '+') return false;
    auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), out);
    return ec == std::errc() && end == field.data() + field.size();
}

bool IsSha256(std::string_view text) {
    if (text.empty()) return true;
    if (text.size() != 64) return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (;;) {
        size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos) return fields;
        start = tab + 1;
    }
}

// One line's fields, read in order; the first fault is kept.
class FieldReader {
public:
    explicit FieldReader(std::vector<std::string_view> fields) : fields_(std::move(fields)) {}

    bool Enough(size_t count) const { return fields_.size() >= count; }
    void Text(std::u16string& out) {
        std::string bytes;
        Bytes(bytes);
        out = zel::DecodeFileName(bytes);
    }
    void Bytes(std::string& out) {
        if (!Unescape(fields_[next_++], out)) ok_ = false;
    }
    template <typename T>
    void Number(T& out) {
        if (!ParseNumber(fields_[next_++], out)) ok_ = false;
    }
    void Skip() { ++next_; }
    bool Ok() const { return ok_; }

private:
    std::vector<std::string_view> fields_;
    size_t next_ = 1;  // past the line kind
    bool ok_ = true;
};

bool ParseState(std::string_view name, DiscPackState& out) {
    for (DiscPackState state : kStates) {
        if (name == DiscPackStateName(state)) {
            out = state;
            return true;
        }
    }
    return false;
}

bool ReadVersion(std::string_view line, std::u16string& error) {
    auto fields = SplitFields(line);
    if (fields.size() < 2 || (fields[0] != kIndexMagic && fields[0] != kSetMagic)) {
        error = u"Corvelin のセットの索引ではありません。";
        return false;
    }
    // "1" or "1.x": a minor version only adds what older readers skip.
    std::string_view version = fields[1];
    uint32_t major = 0;
    if (!ParseNumber(version.substr(0, version.find('.')), major)) {
        error = u"セットの索引の版を読めません。";
        return false;
    }
    if (major > kMajorVersion) {
        error = u"このセットの索引は新しい版の Corvelin で書かれていて、読めません（版 " +
                zel::Utf8ToUtf16(version) + u"）。";
        return false;
    }
    if (major < 1) {
        error = u"セットの索引の版を読めません。";
        return false;
    }
    return true;
}

std::u16string LineError(size_t lineNumber, std::u16string_view what) {
    return zel::U16(std::to_string(lineNumber)) + u" 行目: " + std::u16string(what);
}

}  // namespace

void AppendIndexField(std::string_view bytes, std::string& out) {
    for (char c : bytes) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
}

const char* DiscPackStateName(DiscPackState state) {
    switch (state) {
        case DiscPackState::Planned:
            return "planned";
        case DiscPackState::Written:
            return "written";
        case DiscPackState::Verified:
            return "verified";
        case DiscPackState::Failed:
            return "failed";
    }
    return "planned";
}

std::string WriteSetIndex(const DiscSet& set, bool asSetFile) {
    std::string out;
    out.reserve(128 + set.files.size() * 160);
    out += asSetFile ? kSetMagic : kIndexMagic;
    out += "\t1\n";

    out += "SET";
    AppendBytes(set.id, out);
    AppendText(set.name, out);
    AppendNumber(set.createdAt, out);
    AppendNumber(set.packSize, out);
    AppendText(set.medium, out);
    AppendNumber(set.capacity, out);
    AppendText(set.target, out);
    AppendNumber(set.packs.size(), out);
    out += '\n';

    for (const DiscSetPack& pack : set.packs) {
        out += "PACK";
        AppendNumber(pack.number, out);
        AppendText(pack.label, out);
        out += '\t';
        out += DiscPackStateName(pack.state);
        AppendNumber(pack.writtenAt, out);
        AppendNumber(pack.verifiedAt, out);
        AppendText(pack.reason, out);
        out += '\n';
    }
    for (const DiscSetFile& file : set.files) {
        out += "FILE";
        AppendNumber(file.pack, out);
        AppendText(file.discPath, out);
        AppendText(file.diskPath, out);
        AppendNumber(file.size, out);
        AppendNumber(file.mtimeNs, out);
        AppendBytes(file.sha256, out);
        out += '\n';
    }
    return out;
}

bool ReadSetIndex(std::string_view text, DiscSet& out, std::u16string& error) {
    DiscSet set;
    bool haveSet = false;
    size_t packCount = 0;
    size_t lineNumber = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        // A raw CR never occurs inside a field, so a file that went through a
        // CRLF editor still reads.
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        if (lineNumber == 1) {
            if (!ReadVersion(line, error)) return false;
            continue;
        }
        if (line.empty()) continue;
        auto fields = SplitFields(line);
        std::string_view kind = fields[0];
        FieldReader reader(fields);
        if (kind == "SET") {
            if (haveSet) {
                error = LineError(lineNumber, u"SET 行が二つあります。");
                return false;
            }
            if (!reader.Enough(9)) {
                error = LineError(lineNumber, u"SET 行の項目が足りません。");
                return false;
            }
            reader.Bytes(set.id);
            reader.Text(set.name);
            reader.Number(set.createdAt);
            reader.Number(set.packSize);
            reader.Text(set.medium);
            reader.Number(set.capacity);
            reader.Text(set.target);
            reader.Number(packCount);
            if (!reader.Ok()) {
                error = LineError(lineNumber, u"SET 行を読めません。");
                return false;
            }
            haveSet = true;
        } else if (kind == "PACK") {
            if (!haveSet) {
                error = LineError(lineNumber, u"PACK 行が SET 行より前にあります。");
                return false;
            }
            if (!reader.Enough(7)) {
                error = LineError(lineNumber, u"PACK 行の項目が足りません。");
                return false;
            }
            DiscSetPack pack;
            reader.Number(pack.number);
            reader.Text(pack.label);
            std::string state;
            reader.Bytes(state);
            reader.Number(pack.writtenAt);
            reader.Number(pack.verifiedAt);
            reader.Text(pack.reason);
            if (!reader.Ok() || !ParseState(state, pack.state)) {
                error = LineError(lineNumber, u"PACK 行を読めません。");
                return false;
            }
            if (pack.number != set.packs.size() + 1) {
                error = LineError(lineNumber, u"パックの番号が順に並んでいません。");
                return false;
            }
            set.packs.push_back(std::move(pack));
        } else if (kind == "FILE") {
            if (!reader.Enough(7)) {
                error = LineError(lineNumber, u"FILE 行の項目が足りません。");
                return false;
            }
            DiscSetFile file;
            reader.Number(file.pack);
            reader.Text(file.discPath);
            reader.Text(file.diskPath);
            reader.Number(file.size);
            reader.Number(file.mtimeNs);
            reader.Bytes(file.sha256);
            if (!reader.Ok() || !IsSha256(file.sha256)) {
                error = LineError(lineNumber, u"FILE 行を読めません。");
                return false;
            }
            if (file.pack == 0 || file.pack > set.packs.size()) {
                error = LineError(lineNumber, u"FILE 行のパック番号がありません。");
                return false;
            }
            set.files.push_back(std::move(file));
        }
    }
    if (lineNumber == 0) {
        error = u"セットの索引が空です。";
        return false;
    }
    if (!haveSet) {
        error = u"セットの索引に SET 行がありません。";
        return false;
    }
    if (set.packs.size() != packCount) {
        error = u"セットの索引のパックの数が SET 行と合いません。";
        return false;
    }
    out = std::move(set);
    return true;
}

#pragma once
// Reads a line-oriented "key=value" text and hands every entry, in file order,
// to a receiver; meaning (nesting, quotes) is the receiver's business.

#include <cstddef>
#include <string>

#include "support/FileSystem.h"

class ZelConfReadReceiver {
public:
    virtual ~ZelConfReadReceiver() = default;
    // Raw bytes, trimmed of spaces. Returns false to stop reading.
    virtual bool OnKeyValue(const std::string& key, const std::string& value) = 0;
};

// Receives decoded text; use with a reader in wide mode.
class ZelConfReadReceiverEx : public ZelConfReadReceiver {
public:
    bool OnKeyValue(const std::string&, const std::string&) override { return true; }
    virtual bool OnKeyValueW(const std::u16string& key, const std::u16string& value) = 0;
};

// One entry per line (CR or LF ends a line). A line whose very first byte is ';'
// is a comment; empty lines are skipped. The key runs to the first '=', the value
// is everything after it; both lose leading and trailing spaces. A line without
// '=' is a key with an empty value. A leading UTF-8 byte-order mark is dropped.
// In wide mode the fields are decoded as UTF-8 (invalid sequences become U+FFFD).
class ZelConfReader {
public:
    static constexpr size_t kMaxFileSize = 16u << 20;

    explicit ZelConfReader(ZelConfReadReceiver* receiver = nullptr, bool wide = false,
                           zel::IFileSystem& fs = zel::IFileSystem::Default());
    virtual ~ZelConfReader() = default;
    ZelConfReader(const ZelConfReader&) = delete;
    ZelConfReader& operator=(const ZelConfReader&) = delete;

    void SetReceiver(ZelConfReadReceiver* receiver) { receiver_ = receiver; }
    void SetWide(bool wide) { wide_ = wide; }

    // Non-zero when the file was read and parsed. 0 without a receiver, for a
    // missing or unreadable file, for anything but a regular file and for files
    // over kMaxFileSize; the receiver is then never called.
    int Load(const std::string& path);
    // Hands every entry to the receiver until it returns false; text of any
    // shape parses, so there is nothing to report.
    void Parse(const char* buffer, size_t size);

    int LastError() const { return lastError_; }  // errno of a failed Load

private:
    ZelConfReadReceiver* receiver_;
    bool wide_;
    zel::IFileSystem& fs_;
    int lastError_ = 0;
};

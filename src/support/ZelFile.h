#pragma once
// A small file class over a POSIX descriptor with the stream interfaces of the
// support library. Positions and sizes are 32-bit: it carries small text files.

#include <cstdint>
#include <string>

#include "support/ZelFastMutex.h"

class IZelIOState {
public:
    virtual ~IZelIOState() = default;
    // 0 while there is more to read, 1 otherwise.
    virtual uint32_t GetState() = 0;
};

class IZelInputStream : public IZelIOState {
public:
    virtual uint32_t GetRemainingSize() = 0;
    virtual uint32_t Read(void* buffer, uint32_t size) = 0;
};

class IZelOutputStream : public IZelIOState {
public:
    virtual uint32_t Write(const void* buffer, uint32_t size) = 0;
};

class IZelSeekable {
public:
    virtual ~IZelSeekable() = default;
    // origin: 0 from the beginning, 1 from the current position, 2 from the end.
    virtual uint32_t Seek(int32_t offset, uint32_t origin) = 0;
    virtual uint32_t Tell() = 0;
};

// No operation throws: failures read or write 0 bytes and Seek reports
// 0xFFFFFFFF (no file, or the move failed) or 0 (unknown origin).
class ZelFile : public IZelInputStream,
                public IZelOutputStream,
                public IZelSeekable,
                private ZelIsNoncopyable {
public:
    static constexpr uint32_t kInvalidPosition = 0xFFFFFFFF;

    ZelFile() = default;
    ~ZelFile() override;

    // Path bytes. Both close an open file first; false leaves the file closed.
    bool OpenRead(const std::string& path);
    bool OpenWrite(const std::string& path);  // creates or truncates
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

    uint32_t Read(void* buffer, uint32_t size) override;
    uint32_t Write(const void* buffer, uint32_t size) override;
    uint32_t GetRemainingSize() override;
    uint32_t GetState() override;
    uint32_t Seek(int32_t offset, uint32_t origin) override;
    uint32_t Tell() override;

    uint32_t LastCount() const { return lastCount_; }  // bytes of the last read or write

private:
    int fd_ = -1;
    uint32_t lastCount_ = 0;
};

#include "disc/ReservedFileFill.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "disc/ImageLayout.h"
#include "support/FileSystem.h"

bool FillReservedFiles(const std::string& image,
                       const std::vector<std::pair<std::string, std::string>>& files,
                       std::string& error) {
    ImageLayout layout;
    if (!layout.Load(image, error)) return false;
    const int fd = ::open(image.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        error = zel::ErrorText(errno);
        return false;
    }
    for (const auto& [path, contents] : files) {
        const ImageFileLayout* file = layout.Find(path);
        if (!file || file->Size() != contents.size()) {
            error = "/" + path + ": イメージの中の大きさが合いません";
            ::close(fd);
            return false;
        }
        size_t from = 0;
        for (const ImageExtent& extent : file->extents) {
            uint64_t done = 0;
            while (done < extent.size) {
                const ssize_t n =
                    ::pwrite(fd, contents.data() + from + done, extent.size - done,
                             static_cast<off_t>(extent.block * ImageLayout::kBlock + done));
                if (n < 0 && errno == EINTR) continue;
                if (n <= 0) {
                    error = zel::ErrorText(n < 0 ? errno : EIO);
                    ::close(fd);
                    return false;
                }
                done += static_cast<uint64_t>(n);
            }
            from += extent.size;
        }
    }
    if (::close(fd) != 0) {
        error = zel::ErrorText(errno);
        return false;
    }
    return true;
}

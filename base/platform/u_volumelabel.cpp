#include "base/platform/u_volumelabel.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace {

// Where a file system type keeps its label and how to know it is that file
// system: a signature at a place of its own.
struct TLabelPlace {
    std::string_view fsType;
    off_t signatureAt;
    std::string_view signature;
    off_t labelAt;
    std::size_t labelLength;
};

constexpr off_t kIsoDescriptor = 16 * 2048;
constexpr off_t kExtSuperblock = 1024;

constexpr std::array kPlaces = {
    TLabelPlace{"iso9660", kIsoDescriptor, std::string_view("\x01" "CD001", 6), kIsoDescriptor + 40, 32},
    TLabelPlace{"ext2", kExtSuperblock + 56, std::string_view("\x53\xEF", 2), kExtSuperblock + 120, 16},
    TLabelPlace{"ext3", kExtSuperblock + 56, std::string_view("\x53\xEF", 2), kExtSuperblock + 120, 16},
    TLabelPlace{"ext4", kExtSuperblock + 56, std::string_view("\x53\xEF", 2), kExtSuperblock + 120, 16},
    TLabelPlace{"vfat", 82, "FAT32   ", 71, 11},
    TLabelPlace{"vfat", 54, "FAT1", 43, 11},
};

class TDeviceReader {
public:
    // Non-blocking: a drive that lost its medium answers at once.
    explicit TDeviceReader(const std::string& device)
        : fd_(::open(device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC))
    {
    }
    ~TDeviceReader()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    TDeviceReader(const TDeviceReader&) = delete;
    TDeviceReader& operator=(const TDeviceReader&) = delete;

    std::string Read(off_t at, std::size_t length) const
    {
        std::string bytes(length, '\0');
        const ssize_t read = fd_ < 0 ? -1 : ::pread(fd_, bytes.data(), length, at);
        bytes.resize(read > 0 ? static_cast<std::size_t>(read) : 0);
        return bytes;
    }

private:
    int fd_;
};

// A label field is padded with blanks (ISO 9660, FAT) or zeros (ext).
std::string Trimmed(std::string label)
{
    const std::size_t end = label.find('\0');
    if (end != std::string::npos)
        label.resize(end);
    while (!label.empty() && label.back() == ' ')
        label.pop_back();
    return label;
}

}  // namespace

std::string ReadVolumeLabel(const std::string& device, const std::string& fsType)
{
    std::optional<TDeviceReader> reader;
    for (const TLabelPlace& place : kPlaces) {
        if (place.fsType != fsType)
            continue;
        if (!reader)
            reader.emplace(device);
        if (reader->Read(place.signatureAt, place.signature.size()) != place.signature)
            continue;
        const std::string label = Trimmed(reader->Read(place.labelAt, place.labelLength));
        // FAT writes this when the volume was given no label.
        return label == "NO NAME" ? std::string() : label;
    }
    return {};
}

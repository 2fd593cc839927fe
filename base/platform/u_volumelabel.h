// The label a file system keeps in its own first blocks, for volumes that
// the label links of udev do not name (a system without udev, a disc
// mounted by hand). Only the few bytes of the label's place are read.
#pragma once

#include <string>

// The label of the file system of type fsType on the device or image file;
// empty when the type is not one read here (iso9660, ext2/3/4, vfat), the
// device cannot be read, or the file system has no label. Trailing blanks
// are dropped; an ISO 9660 label is the primary volume descriptor's.
std::string ReadVolumeLabel(const std::string& device, const std::string& fsType);

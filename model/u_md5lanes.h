// MD5 digests of many messages at once. MD5 takes its input one block after
// another, each step waiting for the last, so one message keeps a processor
// busy at well under a gigabyte a second: a scan by content digests
// thousands of windows of 64 KiB. On a processor with AVX2, eight messages
// of one length go side by side through the lanes of its vectors, in about
// the time one message takes alone. Other messages, and other processors,
// go one by one through TBWMd5. Safe to call from any thread.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "model/u_bwfs.h"

// The digest of each message, in their order.
std::vector<TBWDigest> Md5OfEach(const std::vector<std::span<const std::uint8_t>>& messages);

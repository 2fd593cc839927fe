// MD5 digests of many messages at once. MD5 takes its input one block after
// another, each step waiting for the last, so one message keeps a processor
// busy at well under a gigabyte a second: a scan by content digests
// thousands of windows of 64 KiB. On a processor with AVX2, eight messages
// go side by side through the lanes of its vectors, in about the time the
// longest takes alone, so they are taken eight at a time in the order of
// their lengths. On other processors they go one by one through TBWMd5.
// Safe to call from any thread.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "model/u_bwfs.h"

// The digest of each message, in their order.
std::vector<TBWDigest> Md5OfEach(const std::vector<std::span<const std::uint8_t>>& messages);

// What Md5OfEach has done since the process started: how many messages it
// digested, and in how many batches (eight side by side count one, and so
// does a message digested alone).
struct TBWMd5Tally {
    std::uint64_t messages = 0;
    std::uint64_t batches = 0;
};
TBWMd5Tally Md5Tally();

// Builders of Mp3 List bytes for tests: records and string pools laid out
// field by field, sealed with a correct header, so that damaged structures
// get past the digest and reach the reader.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "model/u_mplio.h"

// Little-endian 32-bit words.
std::string Words(std::initializer_list<std::int64_t> words);
// A pool entry: the length and the bytes.
std::string PoolEntry(const std::string& text);
// The header (magic, version 3, sizes, digest) followed by both sections.
std::string SealedList(const std::string& records, const std::string& strings);

// The entries of tests/data/model/golden.mpl: the volume "CD1" of the list
// holds these two files by the same artist, the second without an album.
std::vector<TMplFileRecord> GoldenFiles();

#include "model/u_md5lanes.h"

#include <gtest/gtest.h>

#include <random>
#include <string_view>

#include "model/u_bwdigest.h"

namespace {

std::vector<std::uint8_t> RandomBytes(std::mt19937& random, std::size_t count)
{
    std::vector<std::uint8_t> bytes(count);
    for (std::uint8_t& byte : bytes)
        byte = static_cast<std::uint8_t>(random());
    return bytes;
}

TBWDigest Md5OfBytes(const std::vector<std::uint8_t>& bytes)
{
    return Md5Of(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// The lengths where the padding changes (one block of it or two) and the
// window a scan digests; as many messages as fill no lane, some lanes, all
// of them and more, of one length and mixed.
TEST(Md5OfEach, GivesEachMessageTheDigestItHasAlone)
{
    std::mt19937 random(7);
    for (const std::size_t length : {0u, 1u, 55u, 56u, 63u, 64u, 65u, 119u, 120u, 1000u, 65536u}) {
        for (const std::size_t count : {1u, 2u, 7u, 8u, 9u, 17u}) {
            std::vector<std::vector<std::uint8_t>> bytes;
            for (std::size_t i = 0; i < count; ++i)
                bytes.push_back(RandomBytes(random, i % 3 == 2 ? length + i : length));
            std::vector<std::span<const std::uint8_t>> messages(bytes.begin(), bytes.end());
            const std::vector<TBWDigest> digests = Md5OfEach(messages);
            ASSERT_EQ(digests.size(), count);
            for (std::size_t i = 0; i < count; ++i)
                EXPECT_EQ(digests[i], Md5OfBytes(bytes[i])) << length << " bytes, message " << i << " of " << count;
        }
    }
    EXPECT_TRUE(Md5OfEach({}).empty());
}

// Messages far apart in length share the lanes: each lane's digest ends
// with its own message, however long the others go on.
TEST(Md5OfEach, MessagesOfAnyLengthsShareTheLanes)
{
    std::mt19937 random(11);
    std::vector<std::vector<std::uint8_t>> bytes;
    for (const std::size_t length : {65536u, 0u, 1u, 56u, 64u, 120u, 3000u, 65537u, 55u, 128u, 100000u})
        bytes.push_back(RandomBytes(random, length));
    std::vector<std::span<const std::uint8_t>> messages(bytes.begin(), bytes.end());
    const std::vector<TBWDigest> digests = Md5OfEach(messages);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        EXPECT_EQ(digests[i], Md5OfBytes(bytes[i])) << bytes[i].size() << " bytes";
}

}  // namespace

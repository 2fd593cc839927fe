#include "model/u_md5lanes.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <numeric>
#include <utility>

#include "model/u_bwdigest.h"

#if defined(__x86_64__)
#include <immintrin.h>
#define CORVELLA_MD5_LANES 1
#endif

namespace {

std::atomic<std::uint64_t> digested{0};
std::atomic<std::uint64_t> batched{0};

void CountDigests(std::uint64_t messages, std::uint64_t batches)
{
    digested.fetch_add(messages, std::memory_order_relaxed);
    batched.fetch_add(batches, std::memory_order_relaxed);
}

TBWDigest Md5Alone(std::span<const std::uint8_t> message)
{
    TBWMd5 md5;
    md5.Add(message.data(), message.size());
    return md5.Finish();
}

#ifdef CORVELLA_MD5_LANES

constexpr std::size_t kLanes = 8;
constexpr std::size_t kBlock = 64;
using TLanes = std::array<const std::uint8_t*, kLanes>;

// The constants of MD5's 64 steps (RFC 1321).
constexpr std::array<std::uint32_t, 64> kSines = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};
constexpr std::array<int, 16> kShifts = {7, 12, 17, 22, 5, 9, 14, 20, 4, 11, 16, 23, 6, 10, 15, 21};
constexpr std::array<std::uint32_t, 4> kStart = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};

constexpr std::size_t WordOfStep(std::size_t step)
{
    switch (step / 16) {
    case 0: return step;
    case 1: return (5 * step + 1) % 16;
    case 2: return (3 * step + 5) % 16;
    default: return (7 * step) % 16;
    }
}

#define CORVELLA_AVX2 __attribute__((target("avx2"), always_inline)) inline

template <int kShift>
CORVELLA_AVX2 __m256i RotateLeft(__m256i x)
{
    return _mm256_or_si256(_mm256_slli_epi32(x, kShift), _mm256_srli_epi32(x, 32 - kShift));
}

template <std::size_t kRound>
CORVELLA_AVX2 __m256i Mix(__m256i b, __m256i c, __m256i d)
{
    if constexpr (kRound == 0)
        return _mm256_xor_si256(d, _mm256_and_si256(b, _mm256_xor_si256(c, d)));
    else if constexpr (kRound == 1)
        return _mm256_xor_si256(c, _mm256_and_si256(d, _mm256_xor_si256(b, c)));
    else if constexpr (kRound == 2)
        return _mm256_xor_si256(b, _mm256_xor_si256(c, d));
    else
        return _mm256_xor_si256(c, _mm256_or_si256(b, _mm256_xor_si256(d, _mm256_set1_epi32(-1))));
}

// One step: the four words take turns as the one changed, so that no step
// moves them.
template <std::size_t kStep>
CORVELLA_AVX2 void Step(__m256i (&s)[4], const __m256i (&words)[16])
{
    __m256i& a = s[(64 - kStep) % 4];
    const __m256i b = s[(65 - kStep) % 4];
    const __m256i c = s[(66 - kStep) % 4];
    const __m256i d = s[(67 - kStep) % 4];
    const __m256i sum = _mm256_add_epi32(
        _mm256_add_epi32(a, Mix<kStep / 16>(b, c, d)),
        _mm256_add_epi32(words[WordOfStep(kStep)], _mm256_set1_epi32(static_cast<int>(kSines[kStep]))));
    a = _mm256_add_epi32(b, RotateLeft<kShifts[kStep / 16 * 4 + kStep % 4]>(sum));
}

template <std::size_t... kSteps>
CORVELLA_AVX2 void Steps(std::index_sequence<kSteps...>, __m256i (&s)[4], const __m256i (&words)[16])
{
    (Step<kSteps>(s, words), ...);
}

// Eight words from each lane, at offset, made eight vectors of one word of
// every lane: words[first + j] holds word j of each lane.
CORVELLA_AVX2 void LoadWords(const TLanes& lanes, std::size_t offset, __m256i (&words)[16], std::size_t first)
{
    __m256i r[kLanes];
    for (std::size_t l = 0; l < kLanes; ++l)
        r[l] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lanes[l] + offset));
    const __m256i t0 = _mm256_unpacklo_epi32(r[0], r[1]), t1 = _mm256_unpackhi_epi32(r[0], r[1]);
    const __m256i t2 = _mm256_unpacklo_epi32(r[2], r[3]), t3 = _mm256_unpackhi_epi32(r[2], r[3]);
    const __m256i t4 = _mm256_unpacklo_epi32(r[4], r[5]), t5 = _mm256_unpackhi_epi32(r[4], r[5]);
    const __m256i t6 = _mm256_unpacklo_epi32(r[6], r[7]), t7 = _mm256_unpackhi_epi32(r[6], r[7]);
    const __m256i u0 = _mm256_unpacklo_epi64(t0, t2), u1 = _mm256_unpackhi_epi64(t0, t2);
    const __m256i u2 = _mm256_unpacklo_epi64(t1, t3), u3 = _mm256_unpackhi_epi64(t1, t3);
    const __m256i u4 = _mm256_unpacklo_epi64(t4, t6), u5 = _mm256_unpackhi_epi64(t4, t6);
    const __m256i u6 = _mm256_unpacklo_epi64(t5, t7), u7 = _mm256_unpackhi_epi64(t5, t7);
    words[first + 0] = _mm256_permute2x128_si256(u0, u4, 0x20);
    words[first + 1] = _mm256_permute2x128_si256(u1, u5, 0x20);
    words[first + 2] = _mm256_permute2x128_si256(u2, u6, 0x20);
    words[first + 3] = _mm256_permute2x128_si256(u3, u7, 0x20);
    words[first + 4] = _mm256_permute2x128_si256(u0, u4, 0x31);
    words[first + 5] = _mm256_permute2x128_si256(u1, u5, 0x31);
    words[first + 6] = _mm256_permute2x128_si256(u2, u6, 0x31);
    words[first + 7] = _mm256_permute2x128_si256(u3, u7, 0x31);
}

// The last bytes of a message of the given length, then the padding and
// the length in bits: one block, or two when the length leaves no room.
struct TTail {
    std::array<std::uint8_t, 2 * kBlock> bytes{};
    std::size_t blocks = 0;

    explicit TTail(std::span<const std::uint8_t> message)
    {
        const std::size_t rest = message.size() % kBlock;
        if (rest > 0)
            std::memcpy(bytes.data(), message.data() + message.size() - rest, rest);
        bytes[rest] = 0x80;
        blocks = rest < kBlock - 8 ? 1 : 2;
        std::uint64_t bits = static_cast<std::uint64_t>(message.size()) * 8;
        for (std::size_t i = 0; i < 8; ++i, bits >>= 8)
            bytes[blocks * kBlock - 8 + i] = static_cast<std::uint8_t>(bits);
    }
};

// The blocks MD5 takes of one message: its whole blocks, then its tail.
class TBlocks {
public:
    explicit TBlocks(std::span<const std::uint8_t> message)
        : message_(message.data()), whole_(message.size() / kBlock), tail_(message)
    {
    }

    std::size_t Count() const { return whole_ + tail_.blocks; }
    const std::uint8_t* At(std::size_t block) const
    {
        return block < whole_ ? message_ + block * kBlock : tail_.bytes.data() + (block - whole_) * kBlock;
    }

private:
    const std::uint8_t* message_;
    std::size_t whole_;
    TTail tail_;
};

// Up to eight messages side by side, for as many blocks as the longest has:
// a lane whose message has ended keeps its state whatever block it is
// given, so messages of nearby lengths share the vectors at little waste.
// Lanes left over repeat the last message.
__attribute__((target("avx2"))) void DigestSideBySide(const std::vector<std::span<const std::uint8_t>>& messages,
                                                      const std::size_t* places, std::size_t count,
                                                      std::vector<TBWDigest>& digests)
{
    std::vector<TBlocks> streams;
    streams.reserve(kLanes);
    std::size_t longest = 0;
    for (std::size_t l = 0; l < kLanes; ++l) {
        streams.emplace_back(messages[places[std::min(l, count - 1)]]);
        longest = std::max(longest, streams.back().Count());
    }
    __m256i total[4];
    for (std::size_t i = 0; i < 4; ++i)
        total[i] = _mm256_set1_epi32(static_cast<int>(kStart[i]));
    alignas(32) std::int32_t going[kLanes];
    TLanes lanes{};
    for (std::size_t block = 0; block < longest; ++block) {
        for (std::size_t l = 0; l < kLanes; ++l) {
            going[l] = block < streams[l].Count() ? -1 : 0;
            lanes[l] = streams[l].At(going[l] ? block : 0);
        }
        __m256i words[16];
        LoadWords(lanes, 0, words, 0);
        LoadWords(lanes, 32, words, 8);
        __m256i s[4] = {total[0], total[1], total[2], total[3]};
        Steps(std::make_index_sequence<64>(), s, words);
        const __m256i mask = _mm256_load_si256(reinterpret_cast<const __m256i*>(going));
        for (std::size_t i = 0; i < 4; ++i)
            total[i] = _mm256_blendv_epi8(total[i], _mm256_add_epi32(total[i], s[i]), mask);
    }
    alignas(32) std::uint32_t state[4][kLanes];
    for (std::size_t i = 0; i < 4; ++i)
        _mm256_store_si256(reinterpret_cast<__m256i*>(state[i]), total[i]);
    for (std::size_t l = 0; l < count; ++l) {
        TBWDigest& digest = digests[places[l]];
        for (std::size_t i = 0; i < 4; ++i)
            for (std::size_t b = 0; b < 4; ++b)
                digest[4 * i + b] = static_cast<std::uint8_t>(state[i][l] >> (8 * b));
    }
}

bool HasLanes()
{
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2;
}

#endif

}  // namespace

std::vector<TBWDigest> Md5OfEach(const std::vector<std::span<const std::uint8_t>>& messages)
{
    std::vector<TBWDigest> digests(messages.size());
#ifdef CORVELLA_MD5_LANES
    if (HasLanes()) {
        // Messages of nearby lengths go side by side: taken by length.
        std::vector<std::size_t> places(messages.size());
        std::iota(places.begin(), places.end(), std::size_t{0});
        std::stable_sort(places.begin(), places.end(),
                         [&](std::size_t a, std::size_t b) { return messages[a].size() < messages[b].size(); });
        std::uint64_t batches = 0;
        for (std::size_t first = 0; first < places.size(); first += kLanes, ++batches) {
            const std::size_t count = std::min(kLanes, places.size() - first);
            if (count > 1)
                DigestSideBySide(messages, &places[first], count, digests);
            else
                digests[places[first]] = Md5Alone(messages[places[first]]);
        }
        CountDigests(messages.size(), batches);
        return digests;
    }
#endif
    for (std::size_t i = 0; i < messages.size(); ++i)
        digests[i] = Md5Alone(messages[i]);
    CountDigests(messages.size(), messages.size());
    return digests;
}

TBWMd5Tally Md5Tally()
{
    return {digested.load(std::memory_order_relaxed), batched.load(std::memory_order_relaxed)};
}

#include "platform/unrar/Blake2sp.h"

#include <algorithm>
#include <cstring>

namespace Vellmar::Unrar {

namespace {

constexpr std::uint32_t kIv[8] = {0x6A09E667, 0xBB67AE85, 0x3C6EF372, 0xA54FF53A,
                                  0x510E527F, 0x9B05688C, 0x1F83D9AB, 0x5BE0CD19};

constexpr unsigned char kSigma[10][16] = {
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
    {14, 10, 4, 8, 9, 15, 13, 6, 1, 12, 0, 2, 11, 7, 5, 3},
    {11, 8, 12, 0, 5, 2, 15, 13, 10, 14, 3, 6, 7, 1, 9, 4},
    {7, 9, 3, 1, 13, 12, 11, 14, 2, 6, 5, 10, 4, 0, 15, 8},
    {9, 0, 5, 7, 2, 4, 10, 15, 14, 1, 11, 12, 6, 8, 3, 13},
    {2, 12, 6, 10, 0, 11, 8, 3, 4, 13, 7, 5, 15, 14, 1, 9},
    {12, 5, 1, 15, 14, 13, 4, 10, 0, 7, 6, 3, 9, 2, 8, 11},
    {13, 11, 7, 14, 12, 1, 3, 9, 5, 0, 15, 4, 8, 6, 2, 10},
    {6, 15, 14, 9, 11, 3, 0, 8, 12, 2, 13, 7, 1, 4, 10, 5},
    {10, 2, 8, 4, 7, 6, 1, 5, 15, 11, 9, 14, 3, 12, 13, 0},
};

constexpr std::size_t kLeaves = 8;
constexpr std::size_t kBlock = 64;
constexpr std::uint32_t kDigestSize = 32;

std::uint32_t Rotr(std::uint32_t x, int n) {
    return (x >> n) | (x << (32 - n));
}

std::uint32_t Load32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void G(std::uint32_t* v, int a, int b, int c, int d, std::uint32_t x, std::uint32_t y) {
    v[a] += v[b] + x;
    v[d] = Rotr(v[d] ^ v[a], 16);
    v[c] += v[d];
    v[b] = Rotr(v[b] ^ v[c], 12);
    v[a] += v[b] + y;
    v[d] = Rotr(v[d] ^ v[a], 8);
    v[c] += v[d];
    v[b] = Rotr(v[b] ^ v[c], 7);
}

} // namespace

Blake2sp::State::State(std::uint32_t nodeOffset, std::uint32_t nodeDepth, bool lastNode)
    : lastNode(lastNode) {
    // Parameter block: digest size, no key, fanout 8, depth 2, node offset and depth, inner size.
    const std::uint32_t parameters[8] = {kDigestSize | (kLeaves << 16) | (2u << 24), 0, nodeOffset,
                                         (nodeDepth << 16) | (kDigestSize << 24)};
    for (int i = 0; i < 8; ++i)
        h[i] = kIv[i] ^ parameters[i];
}

void Blake2sp::State::compress(bool last) {
    std::uint32_t m[16];
    for (int i = 0; i < 16; ++i)
        m[i] = Load32(block.data() + 4 * i);
    std::uint32_t v[16];
    std::copy(h.begin(), h.end(), v);
    std::copy(kIv, kIv + 8, v + 8);
    v[12] ^= static_cast<std::uint32_t>(counter);
    v[13] ^= static_cast<std::uint32_t>(counter >> 32);
    if (last) {
        v[14] = ~v[14];
        if (lastNode)
            v[15] = ~v[15];
    }
    for (const auto& s : kSigma) {
        G(v, 0, 4, 8, 12, m[s[0]], m[s[1]]);
        G(v, 1, 5, 9, 13, m[s[2]], m[s[3]]);
        G(v, 2, 6, 10, 14, m[s[4]], m[s[5]]);
        G(v, 3, 7, 11, 15, m[s[6]], m[s[7]]);
        G(v, 0, 5, 10, 15, m[s[8]], m[s[9]]);
        G(v, 1, 6, 11, 12, m[s[10]], m[s[11]]);
        G(v, 2, 7, 8, 13, m[s[12]], m[s[13]]);
        G(v, 3, 4, 9, 14, m[s[14]], m[s[15]]);
    }
    for (int i = 0; i < 8; ++i)
        h[i] ^= v[i] ^ v[i + 8];
}

void Blake2sp::State::update(const unsigned char* data, std::size_t size) {
    while (size > 0) {
        // The last block is held back: it is compressed with the final flag.
        if (filled == kBlock) {
            counter += kBlock;
            compress(false);
            filled = 0;
        }
        const std::size_t take = std::min(size, kBlock - filled);
        std::memcpy(block.data() + filled, data, take);
        filled += take;
        data += take;
        size -= take;
    }
}

Blake2sp::Digest Blake2sp::State::final() {
    counter += filled;
    std::fill(block.begin() + static_cast<std::ptrdiff_t>(filled), block.end(), 0);
    compress(true);
    Digest digest;
    for (int i = 0; i < 8; ++i)
        for (int k = 0; k < 4; ++k)
            digest[4 * i + k] = static_cast<unsigned char>(h[i] >> (8 * k));
    return digest;
}

Blake2sp::Blake2sp()
    : leaves{State(0, 0, false), State(1, 0, false), State(2, 0, false), State(3, 0, false),
             State(4, 0, false), State(5, 0, false), State(6, 0, false), State(7, 0, true)} {}

void Blake2sp::update(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const std::size_t take = std::min(size, kBlock - offset % kBlock);
        leaves[(offset / kBlock) % kLeaves].update(bytes, take);
        offset += take;
        bytes += take;
        size -= take;
    }
}

Blake2sp::Digest Blake2sp::final() {
    State root(0, 1, true);
    for (State& leaf : leaves) {
        const Digest digest = leaf.final();
        root.update(digest.data(), digest.size());
    }
    return root.final();
}

} // namespace Vellmar::Unrar

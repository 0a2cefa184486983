#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace Vellmar::Unrar {

// BLAKE2sp, the data hash RAR5 archives may carry instead of a CRC32: eight BLAKE2s leaves
// fed 64-byte blocks in turn, and a root over their digests.
class Blake2sp {
public:
    using Digest = std::array<unsigned char, 32>;

    Blake2sp();
    void update(const void* data, std::size_t size);
    Digest final();

private:
    struct State {
        std::array<std::uint32_t, 8> h{};
        std::uint64_t counter = 0;
        std::array<unsigned char, 64> block{};
        std::size_t filled = 0;
        bool lastNode = false;

        State(std::uint32_t nodeOffset, std::uint32_t nodeDepth, bool lastNode);
        void update(const unsigned char* data, std::size_t size);
        Digest final();
        void compress(bool last);
    };

    std::array<State, 8> leaves;
    std::uint64_t offset = 0;
};

} // namespace Vellmar::Unrar

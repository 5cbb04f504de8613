// Throughput of CRC-32 over a large buffer in memory: zlib's crc32 beside
// libdeflate's (which the engine uses). Both compute the same sum.
#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

template <typename Sum>
double BestSeconds(Sum sum, int rounds) {
    double best = 1e9;
    for (int round = 0; round < rounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        sum();
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
        best = std::min(best, spent.count());
    }
    return best;
}

}  // namespace

int main() {
    const size_t size = size_t{256} << 20;
    std::vector<unsigned char> data(size);
    uint32_t x = 2463534242u;
    for (auto& byte : data) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        byte = static_cast<unsigned char>(x);
    }
    uLong zlibSum = 0;
    uint32_t deflateSum = 0;
    const double zlibSeconds =
        BestSeconds([&] { zlibSum = crc32(0, data.data(), static_cast<uInt>(data.size())); }, 5);
    const double deflateSeconds =
        BestSeconds([&] { deflateSum = libdeflate_crc32(0, data.data(), data.size()); }, 5);
    const double gb = static_cast<double>(size) / 1e9;
    std::printf("zlib crc32:        %.2f GB/s (crc %08lx)\n", gb / zlibSeconds, zlibSum);
    std::printf("libdeflate_crc32:  %.2f GB/s (crc %08x)\n", gb / deflateSeconds, deflateSum);
    return zlibSum == deflateSum ? 0 : 1;
}

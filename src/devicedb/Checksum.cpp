// SPDX-License-Identifier: GPL-3.0-or-later
#include "devicedb/Checksum.h"

#include <algorithm>

#include "common/Format.h"
#include "devicedb/BufferRules.h"

namespace kardo {
namespace {

class Bytes {
public:
    explicit Bytes(const DeviceBuffer& buffer) : buffer_(buffer) {}
    // A byte outside the buffer counts as 0.
    uint32_t At(std::size_t i) const { return i < buffer_.BufferSize() ? buffer_[i] : 0u; }
    std::size_t Size() const { return buffer_.BufferSize(); }
    // The bytes themselves, for the loops that stay inside the buffer by their bound.
    const uint8_t* Data() const { return buffer_.data(); }

private:
    const DeviceBuffer& buffer_;
};

uint32_t PicSum(const DeviceRecord& record, const Bytes& b, std::size_t n) {
    uint32_t sum = 0;
    for (std::size_t k = 0; k < n; k += 2) {
        sum += b.At(k) * 256 + b.At(k + 1);
    }
    const auto mask = record.ConfigMask();
    const uint32_t m = mask[0] * 256u + mask[1];
    // The first configuration word, high byte first.
    const std::size_t at = PicBufferAreasFor(record).config;
    const uint32_t w = b.At(at) * 256 + b.At(at + 1);
    return sum + (m & w);
}

// `n` is at most the buffer's size.
uint32_t ByteSum(const Bytes& b, std::size_t n) {
    const uint8_t* bytes = b.Data();
    uint32_t sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        sum += bytes[i];
    }
    return sum;
}

uint32_t LowFirstWordSum(const Bytes& b, std::size_t n) {
    uint32_t sum = 0;
    for (std::size_t k = 0; k < n; k += 2) {
        sum += b.At(k) + b.At(k + 1) * 256;
    }
    return sum;
}

// Fuse maps hold one character per fuse; every fuse that is not '0' adds 2^(p mod 8).
// `n` is at most the buffer's size. Without a branch: the editor sums a whole buffer
// after every byte typed.
uint32_t FuseSum(const Bytes& b, std::size_t n) {
    const uint8_t* bytes = b.Data();
    uint32_t sum = 0;
    for (std::size_t p = 0; p + 1 < n; ++p) {
        sum += static_cast<uint32_t>(bytes[p] != '0') << (p % 8);
    }
    return sum;
}

// Serial memories: n steps of one byte, or of two bytes (high-order first byte added
// as is) when the data width is 16. The steps stop at the end of the buffer, so this is
// the sum of the first n steps' bytes that the buffer holds.
uint32_t SerialSum(const DeviceRecord& record, const Bytes& b, std::size_t n) {
    const std::size_t step = record.DataWidth() == 16 ? 2 : 1;
    return ByteSum(b, std::min(n * step, b.Size()));
}

}  // namespace

uint32_t ComputeChecksum(const DeviceRecord& record, const DeviceBuffer& buffer) {
    const Bytes b(buffer);
    const int64_t size = record.Size();
    if (size <= 0) {
        return 0;
    }
    const auto n = static_cast<std::size_t>(size);
    switch (record.Family()) {
        case 'C':
            return PicSum(record, b, std::min(n, b.Size()));
        case 'E':
        case 'F':
        case 'L':
        case 'M':
        case 'R':
            return ByteSum(b, std::min(n, b.Size()));
        case 'O':
        case 'Y':
            return LowFirstWordSum(b, std::min(n, b.Size()));
        case 'P':
            return FuseSum(b, std::min(n, b.Size()));
        case 'S':
            return SerialSum(record, b, n);
        default:
            return 0;
    }
}

std::string ChecksumText(uint32_t sum) { return Format("%.4X", sum & 0xFFFFu); }

}  // namespace kardo

#include "fileio/LoadSession.h"

#include <algorithm>
#include <array>

namespace kardo {
namespace {

// The value of each character as a hexadecimal digit, 0xFF for anything else.
constexpr std::array<uint8_t, 256> kHexDigit = [] {
    std::array<uint8_t, 256> table{};
    table.fill(0xFF);
    for (int c = 0; c < 10; ++c) table['0' + c] = static_cast<uint8_t>(c);
    for (int c = 0; c < 6; ++c) {
        table['A' + c] = static_cast<uint8_t>(10 + c);
        table['a' + c] = static_cast<uint8_t>(10 + c);
    }
    return table;
}();

}  // namespace

LoadSession::LoadSession(const std::vector<uint8_t>& file, DeviceBuffer& buffer, LoadSizes sizes,
                         std::function<void(int percent)> progress)
    : file_(file), buffer_(buffer), sizes_(sizes), progress_(std::move(progress)) {
    buffer_.HighestWritten = buffer_.LowestWritten = 0;
    ShowProgress(0);
}

LoadSession::Scan LoadSession::ScanTo(char mark) {
    const bool first = at_ == 0;
    while (at_ < file_.size()) {
        if (file_[at_++] == static_cast<uint8_t>(mark)) {
            return Scan::Found;
        }
        if (first) {
            return Scan::WrongFirstCharacter;
        }
    }
    return Scan::EndOfFile;
}

bool LoadSession::Character(char& c) {
    if (at_ >= file_.size()) {
        return Fail(load::ReadFailure);
    }
    c = static_cast<char>(file_[at_++]);
    return true;
}

bool LoadSession::Byte(uint8_t& value) {
    if (file_.size() - at_ < 2) {
        at_ = file_.size();
        return Fail(load::ReadFailure);
    }
    const uint8_t high = kHexDigit[file_[at_]];
    const uint8_t low = kHexDigit[file_[at_ + 1]];
    if ((high | low) > 0xF) {
        badField_ = "0x";
        badField_ += static_cast<char>(file_[at_]);
        badField_ += static_cast<char>(file_[at_ + 1]);
        return Fail(load::NotHexadecimal);
    }
    at_ += 2;
    value = static_cast<uint8_t>(high << 4 | low);
    sum_ = static_cast<uint8_t>(sum_ + value);
    return true;
}

bool LoadSession::Word(uint16_t& value) {
    uint8_t high = 0, low = 0;
    if (!Byte(high) || !Byte(low)) {
        return false;
    }
    value = static_cast<uint16_t>(high << 8 | low);
    return true;
}

void LoadSession::Written(std::size_t first, std::size_t last) {
    if (!wroteAnything_ || first < buffer_.LowestWritten) {
        buffer_.LowestWritten = first;
    }
    buffer_.HighestWritten = std::max(wroteAnything_ ? buffer_.HighestWritten : 0, last);
    wroteAnything_ = true;
    if (static_cast<int64_t>(last) > sizes_.capacity) {
        bigger_ = true;
    }
}

bool LoadSession::Store(int64_t p, uint8_t value) {
    if (p > sizes_.capacity) {
        bigger_ = true;
    }
    if (p < 0 || static_cast<uint64_t>(p) >= buffer_.BufferSize()) {
        return Fail(load::OutsideBuffer);
    }
    const auto at = static_cast<std::size_t>(p);
    buffer_[at] = value;
    Written(at, at);
    return true;
}

bool LoadSession::StoreAll(int64_t p) {
    const std::size_t count = file_.size() - at_;
    if (count == 0) {
        return true;
    }
    if (p < 0 || static_cast<uint64_t>(p) >= buffer_.BufferSize()) {
        return Fail(load::OutsideBuffer);
    }
    const auto start = static_cast<std::size_t>(p);
    const std::size_t fits = std::min(count, buffer_.BufferSize() - start);
    // In slices, so that the bar moves through a large file.
    constexpr std::size_t kSlice = 1 << 16;
    for (std::size_t done = 0; done < fits; done += kSlice) {
        const std::size_t n = std::min(kSlice, fits - done);
        std::copy_n(file_.data() + at_ + done, n, buffer_.data() + start + done);
        Written(start + done, start + done + n - 1);
        ShowProgress(static_cast<int64_t>(start + done + n));
    }
    at_ += fits;
    if (fits < count) {
        bigger_ = bigger_ || static_cast<int64_t>(start + fits) > sizes_.capacity;
        return Fail(load::OutsideBuffer);
    }
    return true;
}

void LoadSession::ShowProgress(int64_t writePosition) {
    const int64_t capacity = std::max<int64_t>(1, sizes_.capacity);
    const int percent = static_cast<int>(std::clamp<int64_t>(100 * writePosition / capacity, 0, 100));
    if (percent != shownPercent_ && progress_) {
        shownPercent_ = percent;
        progress_(percent);
    }
}

}  // namespace kardo

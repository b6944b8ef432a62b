// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/LoadSession.h"

#include <algorithm>
#include <array>

namespace kardo {

LoadSession::LoadSession(const std::vector<uint8_t>& file, DeviceBuffer& buffer, LoadSizes sizes,
                         std::function<void(int percent)> progress)
    : file_(file),
      buffer_(buffer),
      bytes_(buffer.data()),
      size_(buffer.BufferSize()),
      sizes_(sizes),
      progress_(std::move(progress)) {
    buffer_.HighestWritten = buffer_.LowestWritten = 0;
    ShowProgress(0);
}

void LoadSession::Finish() {
    buffer_.LowestWritten = lowest_ == SIZE_MAX ? 0 : lowest_;
    buffer_.HighestWritten = highest_;
}

bool LoadSession::NextRecord(char mark, uint8_t endOfFile, uint8_t& result) {
    const bool first = at_ == 0;
    while (at_ < file_.size()) {
        if (file_[at_++] == static_cast<uint8_t>(mark)) {
            sum_ = 0;
            return true;
        }
        if (first) {
            result = load::NotThisFormat;
            return false;
        }
    }
    result = endOfFile;
    return false;
}

bool LoadSession::CheckRecord(uint8_t wantedSum, uint8_t& result) {
    uint8_t checksum = 0;
    if (!Byte(checksum)) {
        result = failure_;
        return false;
    }
    if (sum_ != wantedSum) {
        result = load::ChecksumError;
        return false;
    }
    return true;
}

bool LoadSession::MoreRecords(char mark) const {
    return std::find(file_.begin() + static_cast<std::ptrdiff_t>(at_), file_.end(),
                     static_cast<uint8_t>(mark)) != file_.end();
}

bool LoadSession::Character(char& c) {
    if (at_ >= file_.size()) {
        return Fail(load::ReadFailure);
    }
    c = static_cast<char>(file_[at_++]);
    return true;
}

bool LoadSession::NotHexadecimal() {
    badField_ = "0x";
    badField_ += static_cast<char>(file_[at_]);
    badField_ += static_cast<char>(file_[at_ + 1]);
    return Fail(load::NotHexadecimal);
}

bool LoadSession::EndedInsideRecord() {
    at_ = file_.size();
    return Fail(load::ReadFailure);
}

bool LoadSession::StoreAll(int64_t p) {
    const std::size_t count = file_.size() - at_;
    if (count == 0) {
        return true;
    }
    if (static_cast<uint64_t>(p) >= size_) {
        bigger_ = bigger_ || p > sizes_.capacity;
        return Fail(load::OutsideBuffer);
    }
    const auto start = static_cast<std::size_t>(p);
    const std::size_t fits = std::min<std::size_t>(count, size_ - start);
    // In slices, so that the bar moves through a large file.
    constexpr std::size_t kSlice = 1 << 16;
    for (std::size_t done = 0; done < fits; done += kSlice) {
        const std::size_t n = std::min(kSlice, fits - done);
        std::copy_n(file_.data() + at_ + done, n, bytes_ + start + done);
        lowest_ = std::min(lowest_, start + done);
        highest_ = std::max(highest_, start + done + n - 1);
        bigger_ = bigger_ || static_cast<int64_t>(start + done + n - 1) > sizes_.capacity;
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
    const int percent =
        static_cast<int>(std::clamp<int64_t>(100 * writePosition / capacity, 0, 100));
    if (percent != shownPercent_ && progress_) {
        shownPercent_ = percent;
        progress_(percent);
    }
}

}  // namespace kardo

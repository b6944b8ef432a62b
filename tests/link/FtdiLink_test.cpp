// SPDX-License-Identifier: GPL-3.0-or-later
// The USB link's settings and its own queue, through a bridge that is not there: the
// libftdi1 calls are replaced by a recording fake.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "link/FtdiLink.h"
#include "link/Protocol.h"

namespace kardo {
namespace {

// What the link asked of the bridge; outlives the fake, which the link owns.
struct BridgeCalls {
    uint16_t openAtProduct = 0;  // the product id the bridge answers to; 0: none attached
    std::vector<uint16_t> productsSearched;
    std::vector<int> latencies;  // every latency timer set, in order
    unsigned readChunk = 0;
    unsigned writeChunk = 0;
    int usbReadTimeout = 0;
    int usbWriteTimeout = 0;
    int reads = 0;
    std::vector<uint8_t> toSend;  // what the next read hands over
    bool silent = false;          // each read waits the 1 ms latency timer, then gives nothing
    bool closed = false;
    int unreadable = 0;  // bridges whose strings the user may not read
};

class FakeBridge : public FtdiBackend {
  public:
    explicit FakeBridge(BridgeCalls& calls) : calls_(calls) {}
    bool OpenByDescription(uint16_t vendor, uint16_t product, const std::string& description,
                           const std::string&) override {
        calls_.productsSearched.push_back(product);
        return vendor == 0x0403 && product == calls_.openAtProduct &&
               description == kProgrammerDescription;
    }
    int GetLatencyTimer(uint8_t& ms) override {
        ms = 16;  // as the bridge comes
        return 0;
    }
    int SetLatencyTimer(uint8_t ms) override {
        calls_.latencies.push_back(ms);
        return 0;
    }
    int SetChunkSizes(unsigned read, unsigned write) override {
        calls_.readChunk = read;
        calls_.writeChunk = write;
        return 0;
    }
    void SetUsbTimeouts(int readMs, int writeMs) override {
        calls_.usbReadTimeout = readMs;
        calls_.usbWriteTimeout = writeMs;
    }
    int Reset() override { return 0; }
    int PurgeBoth() override { return 0; }
    int Write(const uint8_t*, int n) override { return n; }
    int Read(uint8_t* data, int n) override {
        ++calls_.reads;
        if (calls_.silent) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return 0;
        }
        const int count = std::min(n, static_cast<int>(calls_.toSend.size()));
        std::copy_n(calls_.toSend.begin(), count, data);
        calls_.toSend.erase(calls_.toSend.begin(), calls_.toSend.begin() + count);
        return count;
    }
    void Close() override { calls_.closed = true; }
    int Unopened() const override { return calls_.unreadable; }
    std::string UnopenedReason() const override {
        return calls_.unreadable > 0 ? "libusb_open() failed" : "";
    }

  private:
    BridgeCalls& calls_;
};

FtdiLink LinkTo(BridgeCalls& calls) {
    return FtdiLink([&calls] { return std::make_unique<FakeBridge>(calls); });
}

TEST(FtdiLink, OpenFindsTheBridgeUnderAnyProductIdAndTunesItForRoundTrips) {
    BridgeCalls calls;
    calls.openAtProduct = 0x6015;  // an FT-X bridge, not the library's default id
    FtdiLink link = LinkTo(calls);
    ASSERT_EQ(link.OpenEx(kProgrammerDescription), kLinkOk);
    EXPECT_EQ(calls.productsSearched,
              (std::vector<uint16_t>{0x6001, 0x6010, 0x6011, 0x6014, 0x6015}));
    EXPECT_EQ(calls.latencies, std::vector<int>{1});
    EXPECT_EQ(calls.readChunk, 4096u);
    EXPECT_EQ(calls.writeChunk, 4096u);
    EXPECT_GE(calls.readChunk, 3u * 64u);  // a block's acknowledgement in one transfer
    EXPECT_GE(calls.writeChunk, 128u);     // a block in one transfer
    EXPECT_EQ(calls.usbReadTimeout, 50);
    EXPECT_EQ(calls.usbWriteTimeout, 1000);

    link.SetTimeouts(4000, 50000);
    EXPECT_EQ(calls.usbReadTimeout, 50);  // single transfers stay short
    EXPECT_EQ(calls.usbWriteTimeout, 50000);
    link.ResetDevice();
    EXPECT_EQ(calls.latencies, (std::vector<int>{1, 1}));  // set again after the reset

    EXPECT_EQ(link.Close(), kLinkOk);
    EXPECT_EQ(calls.latencies, (std::vector<int>{1, 1, 16}));  // as the bridge was found
    EXPECT_TRUE(calls.closed);
    EXPECT_EQ(link.Close(), kLinkInvalidHandle);
}

TEST(FtdiLink, NoBridgeOrNoUsbIsNotFound) {
    BridgeCalls calls;  // nothing attached
    FtdiLink link = LinkTo(calls);
    EXPECT_EQ(link.OpenEx(kProgrammerDescription), kLinkDeviceNotFound);
    EXPECT_EQ(calls.productsSearched.size(), 5u);
    EXPECT_TRUE(calls.latencies.empty());
    std::size_t queued = 0;
    EXPECT_EQ(link.GetQueueStatus(queued), kLinkInvalidHandle);

    EXPECT_EQ(link.OpenProblem(), "");  // nothing there: nothing stood in the way

    FtdiLink noUsb([] { return std::unique_ptr<FtdiBackend>(); });
    EXPECT_EQ(noUsb.OpenEx(kProgrammerDescription), kLinkDeviceNotFound);

    // A bridge there that this user may not open is said, with the library's reason.
    BridgeCalls locked;
    locked.unreadable = 1;
    FtdiLink denied = LinkTo(locked);
    EXPECT_EQ(denied.OpenEx(kProgrammerDescription), kLinkDeviceNotFound);
    EXPECT_EQ(denied.OpenProblem(),
              "1 USB device of the programmer's maker (vendor 0403) could not be read or opened "
              "(libusb_open() failed)");
}

TEST(FtdiLink, ReadsOfABlocksAcknowledgementAreServedFromTheLinksQueue) {
    BridgeCalls calls;
    calls.openAtProduct = 0x6001;
    FtdiLink link = LinkTo(calls);
    ASSERT_EQ(link.OpenEx(kProgrammerDescription), kLinkOk);
    for (int i = 0; i < 128; ++i) {
        calls.toSend.push_back(static_cast<uint8_t>(i));
    }
    std::vector<uint8_t> all;
    for (int unit = 0; unit < 16; ++unit) {
        uint8_t bytes[8] = {};
        std::size_t got = 0;
        ASSERT_EQ(link.Read(bytes, 8, got), kLinkOk);
        ASSERT_EQ(got, 8u);
        all.insert(all.end(), bytes, bytes + 8);
    }
    EXPECT_EQ(calls.reads, 1);  // one USB transfer for the 16 reads
    for (int i = 0; i < 128; ++i) {
        ASSERT_EQ(all[static_cast<std::size_t>(i)], i);
    }
    std::size_t queued = 99;
    calls.toSend = {'x', 'y'};
    // An empty queue asks the bridge again once a millisecond has passed.
    std::this_thread::sleep_for(FtdiLink::kPollInterval + std::chrono::microseconds(200));
    EXPECT_EQ(link.GetQueueStatus(queued), kLinkOk);
    EXPECT_EQ(queued, 2u);
    EXPECT_EQ(link.GetQueueStatus(queued), kLinkOk);  // answered from the queue
    EXPECT_EQ(calls.reads, 2);
    link.Purge(kPurgeRxTx);
    EXPECT_EQ(link.GetQueueStatus(queued), kLinkOk);
    EXPECT_EQ(queued, 0u);
}

TEST(FtdiLink, ASilentProgrammersFirmwarePollsTakeWellUnderASecond) {
    BridgeCalls calls;
    calls.openAtProduct = 0x6001;
    calls.silent = true;
    FtdiLink link = LinkTo(calls);
    ASSERT_EQ(link.OpenEx(kProgrammerDescription), kLinkOk);
    const auto start = std::chrono::steady_clock::now();
    std::size_t queued = 0;
    for (int poll = 0; poll < kFirmwareQueuePolls && queued == 0; ++poll) {
        link.GetQueueStatus(queued);
    }
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::milliseconds(250));
    // At most one transfer per millisecond of polling, and some took place at all.
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(took).count();
    EXPECT_GE(calls.reads, 1);
    EXPECT_LE(calls.reads, ms + 1);
}

}  // namespace
}  // namespace kardo

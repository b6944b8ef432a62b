// SPDX-License-Identifier: GPL-3.0-or-later
// The link backends: the simulated link's clock and breakage, the USB backend without a
// device, and the choice between them.
#include <gtest/gtest.h>

#include "link/FtdiLink.h"
#include "link/LinkChoice.h"
#include "link/SimulatedLink.h"

namespace kardo {
namespace {

TEST(SimulatedLink, ShortReadsWaitOutTheReadTimeoutOnTheVirtualClock) {
    SimulatedLink link;
    ASSERT_EQ(link.OpenEx("Q6K USB"), kLinkOk);
    link.SetTimeouts(500, 500);
    link.programmer().faults.silent = true;
    uint8_t buffer[8];
    std::size_t got = 99;
    EXPECT_EQ(link.Read(buffer, 8, got), kLinkOk);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(link.elapsed().count(), 500);

    link.options().latency = std::chrono::milliseconds(3);
    std::size_t written = 0;
    const uint8_t f = 'F';
    link.Write(&f, 1, written);
    EXPECT_EQ(link.elapsed().count(), 503);
}

TEST(SimulatedLink, BreaksAfterTheGivenNumberOfBytes) {
    SimulatedLink::Options options;
    options.failAfterBytes = 3;
    SimulatedLink link(options);
    link.OpenEx("Q6K USB");
    const uint8_t query[] = {'F', 'F'};
    std::size_t written = 0;
    EXPECT_EQ(link.Write(query, 2, written), kLinkOk);
    uint8_t reply[2];
    std::size_t got = 0;
    EXPECT_EQ(link.Read(reply, 2, got), kLinkIoError);  // only one byte may still pass
    EXPECT_EQ(got, 1u);
    EXPECT_EQ(link.Write(query, 1, written), kLinkIoError);
    EXPECT_EQ(written, 0u);
}

TEST(SimulatedLink, OpensOnlyByTheProgrammersDescriptionAndWhenPresent) {
    SimulatedLink link;
    EXPECT_NE(link.OpenEx("Q6K"), kLinkOk);
    std::size_t queued = 0;
    EXPECT_EQ(link.GetQueueStatus(queued), kLinkInvalidHandle);
    SimulatedLink::Options gone;
    gone.present = false;
    SimulatedLink unplugged(gone);
    EXPECT_EQ(unplugged.OpenEx("Q6K USB"), kLinkDeviceNotFound);
}

TEST(FtdiLink, WithoutADeviceNothingOpensAndNothingCrashes) {
    FtdiLink link;
    EXPECT_NE(link.OpenEx("Q6K USB"), kLinkOk);
    uint8_t byte = 'F';
    std::size_t count = 0;
    EXPECT_EQ(link.Write(&byte, 1, count), kLinkInvalidHandle);
    EXPECT_EQ(link.Read(&byte, 1, count), kLinkInvalidHandle);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(link.GetQueueStatus(count), kLinkInvalidHandle);
    EXPECT_EQ(link.Purge(kPurgeRxTx), kLinkInvalidHandle);
    EXPECT_EQ(link.SetTimeouts(1000, 1000), kLinkInvalidHandle);
    EXPECT_EQ(link.ResetDevice(), kLinkInvalidHandle);
    link.Close();
    EXPECT_NE(link.OpenEx("Q6K USB"), kLinkOk);  // and again
}

TEST(LinkChoice, EnvironmentPicksTheBackend) {
    EXPECT_NE(dynamic_cast<FtdiLink*>(ChooseLink(nullptr, nullptr).link.get()), nullptr);
    EXPECT_NE(dynamic_cast<FtdiLink*>(ChooseLink("ftdi", nullptr).link.get()), nullptr);
    const LinkChoice sim = ChooseLink("sim", nullptr);
    EXPECT_NE(dynamic_cast<SimulatedLink*>(sim.link.get()), nullptr);
    EXPECT_NE(sim.virtualProgrammer, nullptr);
    EXPECT_TRUE(sim.problem.empty());
    const LinkChoice typo = ChooseLink("simm", nullptr);
    EXPECT_NE(typo.problem.find("simm"), std::string::npos);
    EXPECT_NE(dynamic_cast<FtdiLink*>(typo.link.get()), nullptr);
}

// Faults named in the environment are switched on; a text with any item we do not know
// switches none of them on and says which item it was.
TEST(LinkChoice, SimulatorFaultsFromTheEnvironment) {
    const LinkChoice sim = ChooseLink(
        "sim", nullptr,
        "silent-after=0x100,wrong-handshake,latency=5,corrupt=26,wrong-chip,lock-ignored=2,"
        "self-test-noise=31");
    ASSERT_TRUE(sim.problem.empty()) << sim.problem;
    auto& link = dynamic_cast<SimulatedLink&>(*sim.link);
    EXPECT_EQ(link.options().silentAfterBytes, std::optional<std::size_t>(0x100));
    EXPECT_EQ(link.options().latency.count(), 5);
    EXPECT_TRUE(link.programmer().faults.wrongHandshake);
    EXPECT_EQ(link.programmer().faults.corruptAddress, std::optional<uint32_t>(26));
    EXPECT_TRUE(link.programmer().faults.signature.has_value());
    EXPECT_EQ(link.programmer().faults.lockCommandsIgnored, 2);
    EXPECT_EQ(link.programmer().faults.selfTestNoise, 31);
    EXPECT_TRUE(ChooseLink("sim", nullptr, "").problem.empty());

    // The names the command line documents: the replies stop with the link up, and the
    // chip in the socket was used before, whatever chip was put there.
    const LinkChoice used = ChooseLink("sim", nullptr, "quiet-after=100,not-blank");
    ASSERT_TRUE(used.problem.empty()) << used.problem;
    auto& usedLink = dynamic_cast<SimulatedLink&>(*used.link);
    EXPECT_EQ(usedLink.options().silentAfterBytes, std::optional<std::size_t>(100));
    DeviceRecord eeprom;
    eeprom.SetU8(field::Family, 'E');
    eeprom.SetI32(field::LastAddress, 0x7FF);
    eeprom.SetU8(field::BlankValue, 0xFF);
    usedLink.programmer().InsertChip(eeprom);
    EXPECT_EQ(usedLink.programmer().chip().memory.at(0), 0x00);
    EXPECT_EQ(usedLink.programmer().chip().memory.at(1), 0xFF);

    for (const char* bad :
         {"silent,loud", "break-after=", "break-after=-1", "corrupt=0x", "latency=1e3",
          "writes-fail-after=12 ", "silent-after=99999999999999999999", "lock-ignored=1001",
          "self-test-noise=1001"}) {
        const LinkChoice refused = ChooseLink("sim", nullptr, bad);
        EXPECT_NE(refused.problem.find("no fault is switched on"), std::string::npos) << bad;
        auto& quiet = dynamic_cast<SimulatedLink&>(*refused.link);
        EXPECT_FALSE(quiet.programmer().faults.silent) << bad;
        EXPECT_FALSE(quiet.options().failAfterBytes) << bad;
    }
}

}  // namespace
}  // namespace kardo

// SPDX-License-Identifier: GPL-3.0-or-later
// One self-test step against the virtual programmer, byte for byte, and the bound on
// how long the host waits for the programmer's 'D'.
#include "algorithms/SelfTest.h"

#include <gtest/gtest.h>

#include "link/SimulatedLink.h"
#include "link/TraceLink.h"
#include "support/SimOptions.h"

namespace kardo {
namespace {

struct Bench {
    SimulatedLink sim{test::SimOptions()};
    TraceLink trace{sim};
    Bench() { sim.OpenEx(kProgrammerDescription); }

    int Reads() const {
        int reads = 0;
        for (const TraceEvent& e : trace.events()) {
            reads += e.kind == TraceEvent::Kind::Read ? 1 : 0;
        }
        return reads;
    }
};

TEST(SelfTestStep, PurgesSendsTheIndexAndWaitsForDone) {
    Bench b;
    b.sim.programmer().faults.selfTestNoise = 2;
    EXPECT_TRUE(RunSelfTestStep(b.trace, 4));
    const std::vector<std::string> expected{
        "purge 3",    "write 54",   "write 04",  "timeouts 1000/1000",
        "read 1: 2E", "read 1: 2E", "read 1: 44"};
    EXPECT_EQ(b.trace.Lines(), expected);
}

TEST(SelfTestStep, ThirtyOtherBytesPassAndThirtyOneFail) {
    Bench passes;
    passes.sim.programmer().faults.selfTestNoise = 30;
    EXPECT_TRUE(RunSelfTestStep(passes.trace, 0));
    EXPECT_EQ(passes.Reads(), 31);

    Bench fails;
    fails.sim.programmer().faults.selfTestNoise = 31;
    EXPECT_FALSE(RunSelfTestStep(fails.trace, 0));
    EXPECT_EQ(fails.Reads(), 31);  // the 'D' after them is never read
    EXPECT_EQ(fails.sim.programmer().Available(), 1u);
}

TEST(SelfTestStep, SilentProgrammerFailsAfterThirtyOneTimedOutReads) {
    Bench b;
    b.sim.programmer().faults.silent = true;
    EXPECT_FALSE(RunSelfTestStep(b.trace, 6));
    EXPECT_EQ(b.Reads(), 31);
    EXPECT_EQ(b.sim.elapsed(), std::chrono::milliseconds(31 * 1000));  // on the virtual clock
}

TEST(SelfTestStep, BrokenLinkOrStaleReplyNeverPasses) {
    // The link breaks once the command is out: every read fails, whatever was queued.
    Bench broken;
    broken.sim.options().failAfterBytes = 2;
    EXPECT_FALSE(RunSelfTestStep(broken.trace, 1));

    // A 'D' left over from an earlier step is purged, so a programmer that then says
    // nothing fails.
    Bench stale;
    stale.sim.programmer().faults.selfTestNoise = 0;
    stale.sim.programmer().Receive(reinterpret_cast<const uint8_t*>("T\x01"), 2);
    stale.sim.programmer().faults.silent = true;
    EXPECT_FALSE(RunSelfTestStep(stale.trace, 1));
}

}  // namespace
}  // namespace kardo

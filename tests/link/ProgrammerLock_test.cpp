// SPDX-License-Identifier: GPL-3.0-or-later
// A programmer held by one link is refused to every other, in this process as in another,
// until the holder lets go; with several virtual programmers, faults reach only the one
// they name.
#include <gtest/gtest.h>
#include <unistd.h>

#include "link/ExclusiveLink.h"
#include "link/LinkChoice.h"
#include "link/ProgrammerLock.h"
#include "link/SimulatedLink.h"
#include "support/TempDir.h"

namespace kardo {
namespace {

std::unique_ptr<ExclusiveLink> Named(const std::string& name, const std::filesystem::path& dir) {
    SimulatedLink::Options options;
    options.name = name;
    return std::make_unique<ExclusiveLink>(std::make_unique<SimulatedLink>(options), dir);
}

TEST(ProgrammerLock, AProgrammerHasOneHolderUntilItLetsGo) {
    const test::TempDir dir;
    const auto first = Named("SIM1", dir.path());
    const auto second = Named("SIM1", dir.path());
    ASSERT_EQ(first->OpenEx(kProgrammerDescription), kLinkOk);
    EXPECT_NE(second->OpenEx(kProgrammerDescription), kLinkOk);
    EXPECT_TRUE(second->HeldElsewhere());
    EXPECT_EQ(second->OpenProblem(), "programmer SIM1 is in use by another program (process " +
                                         std::to_string(getpid()) + ")");
    EXPECT_EQ(Named("SIM2", dir.path())->OpenEx(kProgrammerDescription), kLinkOk);
    first->Close();
    EXPECT_EQ(second->OpenEx(kProgrammerDescription), kLinkOk);
    EXPECT_FALSE(second->HeldElsewhere());

    // No directory, or a link that cannot name its programmer: nothing to lock, and the
    // link works as it always did.
    EXPECT_EQ(ProgrammerLock::Take({}, "SIM1").state(), ProgrammerLock::State::Unlocked);
    EXPECT_EQ(Named("", dir.path())->OpenEx(kProgrammerDescription), kLinkOk);
    EXPECT_EQ(ProgrammerLockFileName("1-2.3/x y"), "programmer-1-2.3_x_y.lock");
}

TEST(ProgrammerLock, FaultsNamingOneVirtualProgrammerReachOnlyThatOne) {
    LinkEnvironment environment;
    environment.link = "sim";
    environment.simProgrammers = "3";
    environment.simFaults = "SIM2:quiet-after=100,latency=5";
    for (const char* name : {"SIM1", "SIM2", "SIM3"}) {
        const LinkChoice choice = ChooseLink(environment, name);
        ASSERT_TRUE(choice.problem.empty()) << choice.problem;
        auto& sim = dynamic_cast<SimulatedLink&>(*choice.link);
        EXPECT_EQ(sim.Name(), name);
        EXPECT_EQ(sim.options().latency.count(), 5);
        EXPECT_EQ(sim.options().silentAfterBytes.has_value(), std::string(name) == "SIM2");
    }
    EXPECT_EQ(ListProgrammers(environment).names,
              (std::vector<std::string>{"SIM1", "SIM2", "SIM3"}));
    EXPECT_NE(ChooseLink(environment, "SIM4").problem.find("attached: SIM1, SIM2, SIM3"),
              std::string::npos);
    for (const char* bad : {"SIM4:silent", "SIM2:loud"}) {
        environment.simFaults = bad;
        EXPECT_NE(ChooseLink(environment, "SIM2").problem.find("no fault is switched on"),
                  std::string::npos)
            << bad;
    }
    // Without KARDO_SIM_PROGRAMMERS, the one virtual programmer as ever: no name to lock.
    environment.simProgrammers = nullptr;
    environment.simFaults = "SIM1:silent";
    EXPECT_FALSE(ChooseLink(environment).problem.empty());
    environment.simProgrammers = "0";
    EXPECT_FALSE(ListProgrammers(environment).problem.empty());
}

}  // namespace
}  // namespace kardo

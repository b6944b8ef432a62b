// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/LinkChoice.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "common/HexText.h"
#include "link/ExclusiveLink.h"
#include "link/ProgrammerLock.h"
#include "link/SimFaults.h"
#include "link/SimulatedLink.h"
#include "link/UsbLink.h"

namespace kardo {
namespace {

// More would be a typing error: nobody runs a hundred sockets from one computer.
constexpr uint64_t kMostVirtualProgrammers = 64;

bool Simulated(const LinkEnvironment& environment) {
    return environment.link != nullptr && std::string_view(environment.link) == "sim";
}

// The virtual programmers' names; with no KARDO_SIM_PROGRAMMERS, the one as ever.
AttachedProgrammers VirtualNames(const LinkEnvironment& environment) {
    AttachedProgrammers attached;
    uint64_t count = 1;
    if (environment.simProgrammers != nullptr) {
        const auto n = ParseDecimalOrHex(environment.simProgrammers);
        if (!n || *n < 1 || *n > kMostVirtualProgrammers) {
            attached.problem = "KARDO_SIM_PROGRAMMERS=" + std::string(environment.simProgrammers) +
                               " is not a number of virtual programmers from 1 to 64";
            return attached;
        }
        count = *n;
    }
    for (uint64_t i = 1; i <= count; ++i) {
        attached.names.push_back("SIM" + std::to_string(i));
    }
    return attached;
}

std::string NotAttached(const std::string& programmer, const std::vector<std::string>& names) {
    std::string text = "no programmer called " + programmer + " is attached (";
    if (names.empty()) {
        return text + "none is)";
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += (i == 0 ? "attached: " : ", ") + names[i];
    }
    return text + ")";
}

void AddProblem(std::string& problems, const std::string& problem) {
    if (!problem.empty()) {
        problems += (problems.empty() ? "" : "\n") + problem;
    }
}

LinkChoice ChooseVirtual(const LinkEnvironment& environment, const std::string& programmer) {
    LinkChoice choice;
    const AttachedProgrammers attached = VirtualNames(environment);
    AddProblem(choice.problem, attached.problem);
    const auto named = std::find(attached.names.begin(), attached.names.end(), programmer);
    if (!programmer.empty() && attached.problem.empty() && named == attached.names.end()) {
        AddProblem(choice.problem, NotAttached(programmer, attached.names));
    }
    // Timeouts are waited out for real here: a person is watching.
    SimulatedLink::Options options;
    options.realTime = true;
    const bool several = environment.simProgrammers != nullptr && !attached.names.empty();
    if (several) {
        options.name = named != attached.names.end() ? *named : attached.names.front();
    }
    auto sim = std::make_unique<SimulatedLink>(options);
    if (environment.simImage != nullptr && *environment.simImage != '\0') {
        std::string image = environment.simImage;
        if (several) {
            image += "." + options.name;
        }
        AddProblem(choice.problem, sim->programmer().SetImageFile(image));
    }
    if (environment.simFaults != nullptr) {
        AddProblem(choice.problem, several ? ApplySimFaults(environment.simFaults, *sim,
                                                            options.name, attached.names)
                                           : ApplySimFaults(environment.simFaults, *sim));
    }
    choice.virtualProgrammer = &sim->programmer();
    choice.link = std::move(sim);
    return choice;
}

}  // namespace

LinkEnvironment LinkEnvironment::FromProcess() {
    LinkEnvironment environment;
    environment.link = std::getenv("KARDO_LINK");
    environment.simImage = std::getenv("KARDO_SIM_IMAGE");
    environment.simFaults = std::getenv("KARDO_SIM_FAULTS");
    environment.simProgrammers = std::getenv("KARDO_SIM_PROGRAMMERS");
    environment.lockDirectory = ProgrammerLockDirectory();
    return environment;
}

LinkChoice ChooseLink(const LinkEnvironment& environment, const std::string& programmer) {
    LinkChoice choice;
    if (Simulated(environment)) {
        choice = ChooseVirtual(environment, programmer);
    } else {
        const std::string_view name = environment.link != nullptr ? environment.link : "";
        if (!name.empty() && name != "ftdi") {
            choice.problem = "KARDO_LINK=" + std::string(name) +
                             " is not a link this program knows (use ftdi or sim); using the USB "
                             "programmer.";
        }
        if (!programmer.empty()) {
            std::string problem;
            const std::vector<std::string> names = ListUsbProgrammers(problem);
            AddProblem(choice.problem,
                       !problem.empty() ? problem
                       : std::find(names.begin(), names.end(), programmer) == names.end()
                           ? NotAttached(programmer, names)
                           : std::string());
        }
        choice.link = MakeUsbLink(choice.driverProblem, programmer);
    }
    if (!environment.lockDirectory.empty()) {
        choice.link =
            std::make_unique<ExclusiveLink>(std::move(choice.link), environment.lockDirectory);
    }
    return choice;
}

LinkChoice ChooseLink(const char* kardoLink, const char* simImage, const char* simFaults) {
    LinkEnvironment environment;
    environment.link = kardoLink;
    environment.simImage = simImage;
    environment.simFaults = simFaults;
    return ChooseLink(environment);
}

AttachedProgrammers ListProgrammers(const LinkEnvironment& environment) {
    if (Simulated(environment)) {
        return VirtualNames(environment);
    }
    AttachedProgrammers attached;
    attached.names = ListUsbProgrammers(attached.problem);
    return attached;
}

}  // namespace kardo

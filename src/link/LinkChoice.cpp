// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/LinkChoice.h"

#include <string_view>

#include "link/SimFaults.h"
#include "link/SimulatedLink.h"
#include "link/UsbLink.h"

namespace kardo {

LinkChoice ChooseLink(const char* kardoLink, const char* simImage, const char* simFaults) {
    LinkChoice choice;
    const std::string_view name = kardoLink != nullptr ? kardoLink : "";
    if (name == "sim") {
        // Timeouts are waited out for real here: a person is watching.
        SimulatedLink::Options options;
        options.realTime = true;
        auto sim = std::make_unique<SimulatedLink>(options);
        if (simImage != nullptr && *simImage != '\0') {
            choice.problem = sim->programmer().SetImageFile(simImage);
        }
        if (simFaults != nullptr) {
            const std::string problem = ApplySimFaults(simFaults, *sim);
            choice.problem += (choice.problem.empty() || problem.empty() ? "" : "\n") + problem;
        }
        choice.virtualProgrammer = &sim->programmer();
        choice.link = std::move(sim);
        return choice;
    }
    if (!name.empty() && name != "ftdi") {
        choice.problem = "KARDO_LINK=" + std::string(name) +
                         " is not a link this program knows (use ftdi or sim); using the USB "
                         "programmer.";
    }
    choice.link = MakeUsbLink(choice.driverProblem);
    return choice;
}

}  // namespace kardo

// SPDX-License-Identifier: GPL-3.0-or-later
// libftdi1 is linked in: it cannot be missing at run time.
#include "link/FtdiLink.h"
#include "link/UsbLink.h"

namespace kardo {

std::unique_ptr<ProgrammerLink> MakeUsbLink(std::string& problem, const std::string& name) {
    problem.clear();
    return std::make_unique<FtdiLink>(name);
}

std::vector<std::string> ListUsbProgrammers(std::string& problem) {
    problem.clear();
    return FtdiLink::List(MakeLibFtdiBackend);
}

}  // namespace kardo

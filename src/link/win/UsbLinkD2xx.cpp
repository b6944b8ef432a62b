// SPDX-License-Identifier: GPL-3.0-or-later
// The D2XX library is loaded when the link is made, so that a machine without the driver
// hears why at start instead of only seeing demonstration mode.
#include "link/D2xxLink.h"
#include "link/UsbLink.h"

namespace kardo {
namespace {

// The driver opens by product description only, which every programmer shares: this
// build cannot tell one programmer from another, and always opens the first.
constexpr const char* kNoNames =
    "this Windows build opens the first programmer it finds and cannot choose among "
    "several";

}  // namespace

// A name is never asked for here: ListUsbProgrammers names none.
std::unique_ptr<ProgrammerLink> MakeUsbLink(std::string& problem, const std::string&) {
    const std::unique_ptr<LibraryLoader> loader = MakeWindowsLibraryLoader();
    D2xxLoad load = LoadD2xx(*loader);
    problem = load.problem;
    return std::make_unique<D2xxLink>(std::move(load.backend));
}

std::vector<std::string> ListUsbProgrammers(std::string& problem) {
    problem = kNoNames;
    return {};
}

}  // namespace kardo

// SPDX-License-Identifier: GPL-3.0-or-later
// The D2XX library is loaded when the link is made, so that a machine without the driver
// hears why at start instead of only seeing demonstration mode.
#include "link/D2xxLink.h"
#include "link/UsbLink.h"

namespace kardo {

std::unique_ptr<ProgrammerLink> MakeUsbLink(std::string& problem) {
    const std::unique_ptr<LibraryLoader> loader = MakeWindowsLibraryLoader();
    D2xxLoad load = LoadD2xx(*loader);
    problem = load.problem;
    return std::make_unique<D2xxLink>(std::move(load.backend));
}

}  // namespace kardo

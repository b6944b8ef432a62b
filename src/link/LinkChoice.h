#pragma once

#include <memory>
#include <string>

#include "link/ProgrammerLink.h"

namespace kardo {

class VirtualProgrammer;

// The link the program talks over, chosen by the environment:
//   KARDO_LINK unset or "ftdi": the programmer on USB;
//   KARDO_LINK "sim": the virtual programmer, whose chip is kept in the file that
//   KARDO_SIM_IMAGE names, if any.
struct LinkChoice {
    std::unique_ptr<ProgrammerLink> link;
    VirtualProgrammer* virtualProgrammer = nullptr;  // set for "sim"
    std::string problem;  // a value we do not know; the hardware link is used then
};

LinkChoice ChooseLink(const char* kardoLink, const char* simImage);

}  // namespace kardo

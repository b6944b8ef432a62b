// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/ChosenLink.h"

#include <algorithm>

namespace kardo {

ChosenLink::ChosenLink(LinkEnvironment environment, const std::string& programmer)
    : environment_(std::move(environment)) {
    if (!programmer.empty()) {
        const AttachedProgrammers attached = Attached();
        if (std::find(attached.names.begin(), attached.names.end(), programmer) !=
            attached.names.end()) {
            chosen_ = programmer;
        }
    }
    LinkChoice choice = ChooseLink(environment_, chosen_);
    first_.problem = choice.problem;
    first_.driverProblem = choice.driverProblem;
    links_.emplace(chosen_, std::move(choice));
}

std::string ChosenLink::Choose(const std::string& programmer) {
    Link().Close();
    chosen_ = programmer;
    auto made = links_.find(programmer);
    if (made == links_.end()) {
        made = links_.emplace(programmer, ChooseLink(environment_, programmer)).first;
    }
    return made->second.problem;
}

}  // namespace kardo

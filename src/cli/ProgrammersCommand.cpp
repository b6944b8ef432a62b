// SPDX-License-Identifier: GPL-3.0-or-later
// kardo-cli programmers: every programmer attached, asked for its firmware version as the
// start-up does, unless another program holds it.
#include <cstdio>

#include "cli/Commands.h"
#include "cli/OperationSteps.h"
#include "common/Format.h"
#include "common/JsonText.h"
#include "link/Connection.h"

namespace kardo::cli {
namespace {

class NoLog : public LogSink {
  public:
    void AppendLine(const std::string&) override {}
};

struct ProgrammerState {
    std::string name;
    bool answered = false;
    bool held = false;  // by another program
    ConnectionState connection;
    std::string problem;  // why it could not be asked
};

ProgrammerState Ask(const LinkEnvironment& environment, const std::string& name) {
    ProgrammerState state;
    state.name = name;
    LinkChoice choice = ChooseLink(environment, name);
    if (!choice.problem.empty()) {
        throw UsageError(choice.problem);
    }
    NoLog quiet;
    OpenLink(*choice.link, state.connection, quiet);
    state.answered = state.connection.LinkState == 1;
    if (!state.answered) {
        state.held = choice.link->HeldElsewhere();
        state.problem = choice.link->OpenProblem();
        if (state.problem.empty()) {
            state.problem = "cannot be opened";
        }
    }
    CloseLink(*choice.link);
    return state;
}

}  // namespace

int RunProgrammers(const CommandContext& context) {
    const LinkEnvironment environment = LinkEnvironmentFor(context.invocation);
    const AttachedProgrammers attached = ListProgrammers(environment);
    if (!attached.problem.empty()) {
        throw CommandFailed(attached.problem);
    }
    const bool json = context.invocation.Flag("--json");
    if (attached.names.empty()) {
        context.console.Message("no programmer found");
    } else if (!json) {
        std::printf("%-16s %5s %8s  %s\n", "NAME", "MODEL", "FIRMWARE", "STATE");
    }
    for (const std::string& name : attached.names) {
        const ProgrammerState state = Ask(environment, name);
        if (json) {
            JsonObject object;
            object.Add("name", state.name);
            if (state.answered) {
                object.Add("model", int64_t{state.connection.HardwareModel})
                    .Add("firmware", int64_t{state.connection.FirmwareVersion});
            }
            object.Add("in_use", state.held).Add("state", state.answered ? "free" : state.problem);
            std::printf("%s\n", object.Text().c_str());
        } else if (state.answered) {
            std::printf("%-16s %5u %8u  free\n", state.name.c_str(),
                        unsigned{state.connection.HardwareModel}, state.connection.FirmwareVersion);
        } else {
            std::printf("%-16s %5s %8s  %s\n", state.name.c_str(), "-", "-", state.problem.c_str());
        }
    }
    std::fflush(stdout);
    return kExitOk;
}

}  // namespace kardo::cli

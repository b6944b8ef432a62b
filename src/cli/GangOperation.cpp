// SPDX-License-Identifier: GPL-3.0-or-later
// One operation on every programmer attached at once. Each worker has a state, a link and
// a programmer of its own; the workers share only the log and the serial numbers, each
// behind its own lock.
#include "cli/GangOperation.h"

#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "cli/SerialNumberTurns.h"
#include "cli/StandardStreams.h"
#include "common/Format.h"
#include "config/SerialNumber.h"
#include "link/Connection.h"

namespace kardo::cli {
namespace {

// The one log of a gang: the workers' lines, one whole line at a time.
class GangLog {
  public:
    explicit GangLog(Console& console) : console_(console) {}
    void Line(const std::string& line) {
        const std::lock_guard lock(mutex_);
        console_.Log(line);
    }
    void Message(const std::string& text) {
        const std::lock_guard lock(mutex_);
        console_.Message(text);
    }

  private:
    std::mutex mutex_;
    Console& console_;
};

// What one worker shows: its lines headed by its programmer's name, into the gang's log,
// or kept for its JSON object. No progress bar, and nobody to answer a question: the
// question is shown and answered Abort, as for one programmer.
class WorkerHost : public LogSink, public OperationHost {
  public:
    WorkerHost(GangLog& log, std::string name, bool keep)
        : log_(log), name_(std::move(name)), keep_(keep) {}

    void AppendLine(const std::string& line) override {
        if (keep_) {
            kept.push_back(line);
        } else {
            log_.Line(name_ + ":" + line);
        }
    }
    void Log(const std::string& line) override { AppendLine(line); }
    void Warn(const std::string& text) { log_.Message(name_ + ": " + text); }
    void SetCaption(const std::string&) override {}
    void SetGauge(int64_t, int64_t) override {}
    void ShowChecksum(const std::string&) override {}
    void CloseProgress() override {}
    void OperationEnded() override {}
    Answer AskAbortRetryIgnore(const std::string& text, const std::string& caption,
                               const std::atomic<bool>&) override {
        Warn(caption + ": " + text);
        return Answer::Abort;
    }

    std::vector<std::string> kept;

  private:
    GangLog& log_;
    std::string name_;
    bool keep_;
};

// One programmer of the gang and everything its worker uses.
struct Member {
    std::string name;
    LinkChoice choice;  // made before the workers start, taken over by the worker
    std::unique_ptr<AppState> state;
    std::unique_ptr<WorkerHost> host;
    OperationOutcome outcome;
    std::string problem;  // why it failed outside the operation itself
    std::optional<std::thread> worker;
};

// A worker's own copy of what the plan set up: the device, the loaded buffer, the
// options and the serial number layout.
std::unique_ptr<AppState> WorkerState(const AppState& planned) {
    auto state = std::make_unique<AppState>();
    state->DefaultDir = planned.DefaultDir;
    state->record = planned.record;
    state->buffer = planned.buffer;
    state->ProgBits = planned.ProgBits;
    state->options = planned.options;
    state->configBits = planned.configBits;
    state->serial = planned.serial;
    state->fileSettings = planned.fileSettings;
    return state;
}

void RunMember(Member& member, std::size_t index, const OperationPlan& plan,
               SerialNumberTurns* turns) {
    SerialNumberTurn turn(turns, index);
    AppState& state = *member.state;
    WorkerHost& host = *member.host;
    OperationOutcome& outcome = member.outcome;
    try {
        OpenProgrammer(state, std::move(member.choice), host,
                       [&](const std::string& text) { host.Warn(text); });
        host.AppendLine("");
        if (turns != nullptr) {
            SerialNumberSettings serial = state.serial;
            serial.next = turn.Take();
            outcome.serialNumber = serial.next;
            const SerialInsertion insertion =
                InsertSerialNumber(state.buffer, *state.record, serial);
            host.AppendLine(insertion.line);
            if (!insertion.written) {
                const std::size_t text = insertion.line.find_first_not_of(' ');
                throw CommandFailed(text == std::string::npos ? "no serial number written"
                                                              : insertion.line.substr(text));
            }
        }
        const std::optional<uint64_t> serialNumber = outcome.serialNumber;
        outcome = RunOnProgrammer(state, plan.kind->code, host);
        outcome.serialNumber = serialNumber;
        outcome.device = plan.entry.FullName();
        outcome.file = plan.file;
        outcome.fileSha256 = plan.loaded.sha256;
        if (!plan.logFile.empty()) {
            WriteProductionLog(plan.logFile, outcome, state);  // with the bridge's serial
        }
        CloseLink(*state.link);
        if (!outcome.passed) {
            member.problem = std::string(plan.kind->what) + " failed";
        }
    } catch (const std::exception& e) {
        outcome.passed = false;
        member.problem = e.what();
    }
}

// FILE with the programmer's name before its extension: back.hex -> back-SIM1.hex.
std::filesystem::path FileOf(const std::filesystem::path& file, const std::string& name) {
    std::filesystem::path named = file;
    named.replace_filename(file.stem().string() + "-" + name + file.extension().string());
    return named;
}

void LogSummary(const std::vector<Member>& gang, const SerialNumberTurns* turns, Console& console) {
    console.Log("");
    std::string heading = Format(" %-16s %-7s %6s %10s", "Programmer", "Result", "Errors", "Time");
    if (turns != nullptr) {
        heading += "  Serial number";
    }
    console.Log(heading);
    std::size_t failed = 0;
    for (const Member& m : gang) {
        failed += m.outcome.passed ? 0 : 1;
        std::string row = Format(" %-16s %-7s %6d %8.2f s", m.name.c_str(),
                                 m.outcome.passed ? "passed" : "FAILED", m.outcome.errors,
                                 static_cast<double>(m.outcome.durationMs) / 1000.0);
        if (m.outcome.serialNumber) {
            row += "  " + std::to_string(*m.outcome.serialNumber);
        }
        console.Log(row);
    }
    console.Log(Format(" %zu passed, %zu failed", gang.size() - failed, failed));
    for (const Member& m : gang) {
        if (m.outcome.passed) {
            continue;
        }
        console.Log(" " + m.name + ": " + m.problem);
        if (m.outcome.serialNumber) {
            console.Log(
                Format(" Serial number %llu went to the failed chip of %s: no other chip "
                       "has it",
                       static_cast<unsigned long long>(*m.outcome.serialNumber), m.name.c_str()));
        }
    }
    if (turns != nullptr) {
        // Read after every worker has ended: nobody takes a number any more.
        console.Log(
            Format(" Next serial number: %llu", static_cast<unsigned long long>(turns->Next())));
    }
}

}  // namespace

void CheckGangOptions(std::string_view command, const Invocation& invocation) {
    if (invocation.Option("--programmer")) {
        throw UsageError("--all and --programmer: the gang is every programmer attached");
    }
    if (invocation.Flag("--repeat")) {
        throw UsageError("--all and --repeat do not go together");
    }
    if (command == "read" && invocation.positional.size() > 1 &&
        invocation.positional[1] == kStandardStream) {
        throw UsageError("read --all writes a file per programmer: give FILE, not '-'");
    }
}

int RunGang(const CommandContext& context, const OperationPlan& plan, const AppState& planned) {
    Console& console = context.console;
    const LinkEnvironment environment = LinkEnvironmentFor(context.invocation);
    const AttachedProgrammers attached = ListProgrammers(environment);
    if (!attached.problem.empty()) {
        throw UsageError("--all: " + attached.problem);
    }
    if (attached.names.empty()) {
        throw CommandFailed("no programmer found");
    }
    const std::vector<std::string> before =
        plan.json ? console.TakeLog() : std::vector<std::string>();
    std::vector<Member> gang(attached.names.size());
    for (std::size_t i = 0; i < gang.size(); ++i) {
        Member& m = gang[i];
        m.name = attached.names[i];
        m.choice = ChooseLink(environment, m.name);
        if (!m.choice.problem.empty()) {
            throw UsageError(m.choice.problem);
        }
        m.state = WorkerState(planned);
        m.outcome.code = plan.kind->code;
        m.outcome.device = plan.entry.FullName();
        m.outcome.file = plan.file;
    }
    std::optional<SerialNumberTurns> turns;
    if (plan.serialLine) {
        turns.emplace(planned.serial.next, planned.serial.increment);
    }
    GangLog log(console);
    for (std::size_t i = 0; i < gang.size(); ++i) {
        Member& m = gang[i];
        m.host = std::make_unique<WorkerHost>(log, m.name, plan.json);
        m.worker.emplace(RunMember, std::ref(m), i, std::cref(plan), turns ? &*turns : nullptr);
    }
    for (Member& m : gang) {
        m.worker->join();
    }

    for (Member& m : gang) {
        if (plan.readFile && m.outcome.passed) {
            try {
                SaveOutput(*m.state, FileOf(*plan.readFile, m.name), plan.readFormat,
                           plan.readRange, console);
            } catch (const std::exception& e) {
                m.outcome.passed = false;
                m.problem = e.what();
            }
        }
    }
    std::size_t failed = 0;
    for (Member& m : gang) {
        failed += m.outcome.passed ? 0 : 1;
        if (plan.json) {
            m.outcome.programmer = m.name;
            m.outcome.problem = m.outcome.passed ? std::string() : m.problem;
            m.outcome.log = before;
            m.outcome.log.insert(m.outcome.log.end(), m.host->kept.begin(), m.host->kept.end());
            std::printf("%s\n", OperationJson(m.outcome).c_str());
        }
    }
    std::fflush(stdout);
    if (!plan.json) {
        LogSummary(gang, turns ? &*turns : nullptr, console);
    }
    if (failed > 0) {
        console.Message(
            Format("%s failed on %zu of %zu programmers", plan.kind->what, failed, gang.size()));
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace kardo::cli

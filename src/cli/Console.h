// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "algorithms/OperationHost.h"
#include "fileio/FileIoHost.h"

namespace kardo::cli {

// Where the command line reports: every line of the message log on standard output, as
// the window shows it; messages on standard error; progress on standard error as a bar,
// only when that is a terminal, so that a log file or a pipe gets the lines alone.
// Nothing here ever waits for input: a question is answered at once.
class Console : public FileIoHost, public OperationHost {
  public:
    Console(std::FILE* out, std::FILE* err, bool showProgress);
    // The program's streams; the bar only when standard error is a terminal.
    static Console Standard();

    // ---- the log and messages ----
    // Standard output carries a file ('-'): the log goes to standard error instead.
    void LogToErrors() { logToErrors_ = true; }
    // --json: the log is kept for the result's object, not printed.
    void KeepLog() { keepLog_ = true; }
    std::vector<std::string> TakeLog() { return std::move(kept_); }
    void AppendLine(const std::string& line) override;
    void Log(const std::string& line) override { AppendLine(line); }
    void Message(const std::string& text);
    // A question on standard error, without a line end, for the user at the terminal.
    void Prompt(const std::string& text);

    // ---- files ----
    void ShowMessage(const std::string& text, Icon icon) override;
    void PlayFailure() override {}
    void OpenProgress(const std::string& caption) override;
    void SetProgress(int percent) override;
    void CloseProgress() override;

    // ---- device operations ----
    void SetCaption(const std::string& caption) override;
    void SetGauge(int64_t maximum, int64_t position) override;
    void ShowChecksum(const std::string&) override {}
    void OperationEnded() override {}
    // A script cannot answer: the question is shown and answered Abort, so the operation
    // fails rather than going on with a chip nobody confirmed.
    Answer AskAbortRetryIgnore(const std::string& text, const std::string& caption,
                               const std::atomic<bool>& running) override;

  private:
    void DrawBar(int percent);
    void ClearBar();

    std::FILE* out_;
    std::FILE* err_;
    bool showProgress_;
    bool logToErrors_ = false;
    bool keepLog_ = false;
    std::vector<std::string> kept_;
    std::string caption_;
    int shownPercent_ = -1;
    bool barShown_ = false;
    int barWidth_ = 0;  // the widest bar drawn, for wiping it
};

}  // namespace kardo::cli

// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Console.h"

#include <unistd.h>

#include <algorithm>

namespace kardo::cli {
namespace {

constexpr int kBarWidth = 40;

}  // namespace

Console::Console(std::FILE* out, std::FILE* err, bool showProgress)
    : out_(out), err_(err), showProgress_(showProgress) {}

Console Console::Standard() {
    return Console(stdout, stderr, isatty(STDERR_FILENO) == 1);
}

void Console::AppendLine(const std::string& line) {
    if (keepLog_) {
        kept_.push_back(line);
        return;
    }
    ClearBar();
    std::FILE* to = logToErrors_ ? err_ : out_;
    std::fprintf(to, "%s\n", line.c_str());
    std::fflush(to);
}

void Console::Message(const std::string& text) {
    ClearBar();
    std::fprintf(err_, "kardo-cli: %s\n", text.c_str());
    std::fflush(err_);
}

void Console::Prompt(const std::string& text) {
    ClearBar();
    std::fprintf(err_, "%s", text.c_str());
    std::fflush(err_);
}

void Console::ShowMessage(const std::string& text, Icon icon) {
    Message(std::string(icon == Icon::Error ? "error: " : "warning: ") + text);
}

void Console::OpenProgress(const std::string& caption) {
    SetCaption(caption);
}

void Console::SetProgress(int percent) {
    DrawBar(percent);
}

void Console::CloseProgress() {
    ClearBar();
}

// A new step: the bar of the one before goes, rather than standing there until the new
// step's first move.
void Console::SetCaption(const std::string& caption) {
    ClearBar();
    const std::size_t text = caption.find_first_not_of(' ');
    caption_ = text == std::string::npos ? std::string() : caption.substr(text);
    shownPercent_ = -1;
}

void Console::SetGauge(int64_t maximum, int64_t position) {
    if (maximum > 0) {
        DrawBar(static_cast<int>(100 * std::min(position, maximum) / maximum));
    }
}

OperationHost::Answer Console::AskAbortRetryIgnore(const std::string& text,
                                                   const std::string& caption,
                                                   const std::atomic<bool>&) {
    Message(caption + ": " + text);
    return Answer::Abort;
}

// Drawn only when the percentage changes: a gauge moves by single bytes.
void Console::DrawBar(int percent) {
    if (!showProgress_ || percent == shownPercent_ || percent < 0 || percent > 100) {
        return;
    }
    shownPercent_ = percent;
    const int filled = percent * kBarWidth / 100;
    // The whole caption: cut short, " Loading File" and " Loading Fuses" would read alike.
    const int written = std::fprintf(
        err_, "\r%s [%s%s] %3d%%", caption_.c_str(),
        std::string(static_cast<std::size_t>(filled), '#').c_str(),
        std::string(static_cast<std::size_t>(kBarWidth - filled), ' ').c_str(), percent);
    std::fflush(err_);
    barWidth_ = std::max(barWidth_, written);
    barShown_ = true;
}

void Console::ClearBar() {
    if (!barShown_) {
        return;
    }
    std::fprintf(err_, "\r%*s\r", barWidth_, "");
    std::fflush(err_);
    barShown_ = false;
    shownPercent_ = -1;
}

}  // namespace kardo::cli

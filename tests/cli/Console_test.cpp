// SPDX-License-Identifier: GPL-3.0-or-later
// The command line's output: lines on one stream, messages and the bar on the other, and
// the bar only where a person watches it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "cli/Console.h"

namespace kardo::cli {
namespace {

std::string Text(std::FILE* file) {
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;) {
        text += static_cast<char>(c);
    }
    return text;
}

struct Streams {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    ~Streams() {
        std::fclose(out);
        std::fclose(err);
    }
};

void Operate(Console& console) {
    console.SetCaption(" Programming Code");
    for (int64_t position = 0; position <= 1000; ++position) {
        console.SetGauge(1000, position);
    }
    console.Log(" Programmed");
}

TEST(Console, TheBarIsDrawnOnlyForATerminalAndNeverMixesWithTheLines) {
    Streams piped;
    Console toPipe(piped.out, piped.err, false);
    Operate(toPipe);
    EXPECT_EQ(Text(piped.out), " Programmed\n");
    EXPECT_EQ(Text(piped.err), "");

    Streams terminal;
    Console toTerminal(terminal.out, terminal.err, true);
    Operate(toTerminal);
    EXPECT_EQ(Text(terminal.out), " Programmed\n");
    const std::string bar = Text(terminal.err);
    // Drawn once per percent, not once per byte, and wiped before the line was printed.
    // The whole caption, without the log's leading space.
    EXPECT_NE(bar.find("\rProgramming Code [########################################] 100%"),
              std::string::npos);
    EXPECT_LE(std::count(bar.begin(), bar.end(), '%'), 101);
    EXPECT_EQ(bar.back(), '\r');

    // A new step wipes the bar of the one before at once.
    Streams steps;
    Console twoSteps(steps.out, steps.err, true);
    twoSteps.SetCaption(" Erasing");
    twoSteps.SetGauge(10, 10);
    twoSteps.SetCaption(" Verifying");
    const std::string shown = Text(steps.err);
    EXPECT_EQ(shown.substr(shown.rfind("100%") + 4, 2), "\r ");
    EXPECT_EQ(shown.back(), '\r');
}

TEST(Console, AQuestionIsAnsweredAbortAndShown) {
    Streams streams;
    Console console(streams.out, streams.err, false);
    std::atomic<bool> running{true};
    EXPECT_EQ(console.AskAbortRetryIgnore("ID: 30=0x1E ", "CHIP_ID Error", running),
              OperationHost::Answer::Abort);
    EXPECT_EQ(Text(streams.err), "kardo-cli: CHIP_ID Error: ID: 30=0x1E \n");
}

}  // namespace
}  // namespace kardo::cli

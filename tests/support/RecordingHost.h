// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "algorithms/OperationHost.h"

namespace kardo::test {

// Keeps everything an operation asked of the user interface.
class RecordingHost : public OperationHost {
public:
    std::vector<std::string> lines;
    std::vector<std::string> captions;
    std::vector<std::string> checksums;
    int64_t gaugeMaximum = 0, gaugePosition = 0;
    int gaugeMoves = 0;
    int closes = 0;
    int ended = 0;
    // Called at every gauge move: a test can press Abort from here.
    std::function<void(int64_t position)> onGauge;

    void Log(const std::string& line) override { lines.push_back(line); }
    void SetCaption(const std::string& caption) override { captions.push_back(caption); }
    void SetGauge(int64_t maximum, int64_t position) override {
        gaugeMaximum = maximum;
        gaugePosition = position;
        ++gaugeMoves;
        if (onGauge) onGauge(position);
    }
    void ShowChecksum(const std::string& text) override { checksums.push_back(text); }
    void CloseProgress() override { ++closes; }
    void OperationEnded() override { ++ended; }

    // The answers to the next questions (none left: Ignore) and the questions asked.
    std::deque<Answer> answers;
    std::vector<std::string> questions;
    Answer AskAbortRetryIgnore(const std::string& text, const std::string& caption,
                               const std::atomic<bool>&) override {
        questions.push_back(caption + ": " + text);
        if (answers.empty()) return Answer::Ignore;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace kardo::test

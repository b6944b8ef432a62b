// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace kardo {

// What a device operation asks of the user interface while it runs on its worker
// thread. Every call may come from that thread; an implementation carries the effect
// over to wherever the windows live.
class OperationHost {
public:
    virtual ~OperationHost() = default;
    virtual void Log(const std::string& line) = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    // The progress gauge: its maximum and the position reached.
    virtual void SetGauge(int64_t maximum, int64_t position) = 0;
    virtual void ShowChecksum(const std::string& text) = 0;
    virtual void CloseProgress() = 0;
    // After the operation: the buttons the record allows, Select, and the focus back.
    virtual void OperationEnded() = 0;

    // A question with the buttons Abort, Retry and Ignore and an error icon, shown on
    // the user interface while the worker waits for the answer. Once `running` turns
    // false (Abort of the progress window, or the program closing) the worker stops
    // waiting and the answer is Abort, whether or not the question was shown.
    enum class Answer { Abort, Retry, Ignore, Other };
    virtual Answer AskAbortRetryIgnore(const std::string& text, const std::string& caption,
                                       const std::atomic<bool>& running) = 0;
};

}  // namespace kardo

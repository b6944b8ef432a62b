// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "algorithms/forms/SelfTestFlow.h"
#include "app/Sounds.h"
#include "common/forms/Dialogs.h"

namespace kardo::test {

// Answers the program's modal questions in place of the user. A dialog is shown for
// real (not modally) and handed to the next driver in the queue, which clicks in it as
// a user would; whatever the driver leaves open is cancelled.
class ScriptedDialogs : public Dialogs {
  public:
    struct Message {
        QString text, caption;
        Icon icon;
    };
    std::vector<Message> messages;
    std::deque<std::function<void(QDialog&)>> drivers;
    std::vector<std::filesystem::path> jumperPictures;
    int ispHeaders = 0;
    // Set: the picture dialogs are built as the program builds them and handed to the
    // drivers like any other dialog. Unset, they are only counted.
    bool showPictures = false;
    // The answers to the next open dialogs (nullopt: cancelled), and what was asked.
    std::deque<std::optional<FileChoice>> openFiles;
    struct OpenAsked {
        std::filesystem::path directory;
        std::string filter;
    };
    std::vector<OpenAsked> openAsked;

    // The answers to the next save dialogs (nullopt: cancelled), and what each offered.
    std::deque<std::optional<std::filesystem::path>> saveFiles;
    std::vector<OpenAsked> saveAsked;
    std::vector<std::filesystem::path> saveSuggested;
    std::optional<std::filesystem::path> GetSaveFile(QWidget*,
                                                     const std::filesystem::path& directory,
                                                     const std::filesystem::path& suggested,
                                                     const std::string& filter) override {
        saveAsked.push_back({directory, filter});
        saveSuggested.push_back(suggested);
        if (saveFiles.empty())
            return std::nullopt;
        auto answer = saveFiles.front();
        saveFiles.pop_front();
        return answer;
    }

    std::optional<FileChoice> GetOpenFile(QWidget*, const std::filesystem::path& directory,
                                          const std::string& filter) override {
        openAsked.push_back({directory, filter});
        if (openFiles.empty())
            return std::nullopt;
        auto answer = openFiles.front();
        openFiles.pop_front();
        return answer;
    }

    void ShowMessage(QWidget*, const QString& text, const QString& caption, Icon icon) override {
        messages.push_back({text, caption, icon});
    }
    int Run(QDialog& dialog) override;

    // The answers to the next Abort / Retry / Ignore questions (none left: Ignore), and
    // the questions as asked, with whether they had an owner window.
    std::deque<Answer> answers;
    struct Question {
        QString text, caption;
        Icon icon;
        bool owned;
    };
    std::vector<Question> questions;
    std::function<void()> whileAsked;  // what the user does while a question is up
    Answer AskAbortRetryIgnore(QWidget* parent, const QString& text, const QString& caption,
                               Icon icon) override {
        questions.push_back({text, caption, icon, parent != nullptr});
        if (whileAsked)
            whileAsked();
        if (answers.empty())
            return Answer::Ignore;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void ShowJumperSet(QWidget* parent, const std::filesystem::path& picture) override {
        jumperPictures.push_back(picture);
        if (showPictures) {
            RunJumperSet(*this, parent, picture);
        }
    }
    void ShowIspHeader(QWidget* parent) override {
        ++ispHeaders;
        if (showPictures) {
            RunIspHeader(*this, parent);
        }
    }
};

// Records which sounds were asked for; `works` false stands for a missing sound device.
class RecordingSound : public SoundBackend {
  public:
    bool works = true;
    int asked = 0;  // played or not
    std::vector<Sound> played;
    std::function<void()> lateFailure;
    bool Play(Sound sound, const std::filesystem::path&) override {
        ++asked;
        if (works) {
            played.push_back(sound);
        }
        return works;
    }
    void SetLateFailureHandler(std::function<void()> handler) override {
        lateFailure = std::move(handler);
    }
};

}  // namespace kardo::test

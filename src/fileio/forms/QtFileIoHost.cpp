// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/forms/QtFileIoHost.h"

#include "common/forms/Dialogs.h"
#include "fileio/forms/TfrmLoad_Save.h"

namespace kardo {

QtFileIoHost::QtFileIoHost(Window window) : window_(std::move(window)) {}
QtFileIoHost::~QtFileIoHost() = default;

void QtFileIoHost::ShowMessage(const std::string& text, Icon icon) {
    window_.dialogs.ShowMessage(
        &window_.parent, QString::fromLatin1(text.data(), static_cast<int>(text.size())), "KARDO",
        icon == Icon::Warning ? Dialogs::Icon::Warning : Dialogs::Icon::Error);
}

// The window comes up only for work that lasts: a load that is over within a few tens
// of milliseconds needs no bar, and is not made slower by one.
void QtFileIoHost::OpenProgress(const std::string& caption) {
    caption_ = caption;
    sinceOpened_.start();
}

void QtFileIoHost::SetProgress(int percent) {
    if (!progress_ && sinceOpened_.isValid() &&
        sinceOpened_.elapsed() >= TfrmLoad_Save::kDrawEveryMs) {
        progress_ =
            std::make_unique<TfrmLoad_Save>(QString::fromStdString(caption_), &window_.parent);
        progress_->show();
        progress_->SetPosition(percent);
        progress_->Draw();
    }
    if (progress_) {
        progress_->SetPosition(percent);
    }
}

void QtFileIoHost::CloseProgress() {
    progress_.reset();
    sinceOpened_.invalidate();
}

}  // namespace kardo

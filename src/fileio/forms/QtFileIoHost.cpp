#include "fileio/forms/QtFileIoHost.h"

#include "common/forms/Dialogs.h"
#include "fileio/forms/TfrmLoad_Save.h"

namespace kardo {

QtFileIoHost::QtFileIoHost(Window window) : window_(std::move(window)) {}
QtFileIoHost::~QtFileIoHost() = default;

void QtFileIoHost::ShowMessage(const std::string& text, Icon icon) {
    window_.dialogs.ShowMessage(&window_.parent, QString::fromLatin1(text.data(), static_cast<int>(text.size())),
                                "KARDO", icon == Icon::Warning ? Dialogs::Icon::Warning : Dialogs::Icon::Error);
}

void QtFileIoHost::OpenProgress(const std::string& caption) {
    progress_ = std::make_unique<TfrmLoad_Save>(QString::fromStdString(caption), &window_.parent);
    progress_->show();
    progress_->Draw();
}

void QtFileIoHost::SetProgress(int percent) {
    if (progress_) {
        progress_->SetPosition(percent);
    }
}

void QtFileIoHost::CloseProgress() { progress_.reset(); }

}  // namespace kardo

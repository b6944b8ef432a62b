// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/forms/LoadFlow.h"

#include "common/forms/Dialogs.h"
#include "fileio/ElfLoad.h"
#include "fileio/FileChoices.h"
#include "fileio/forms/TfrmFileFormat.h"

namespace kardo {

LoadFlow::LoadFlow(LoadTarget target, Window window)
    : target_(target),
      window_(std::move(window)),
      monitor_(
          {window_.bufferFree, [this](const std::filesystem::path& file,
                                      const FileSettings& settings) { Reload(file, settings); }}) {}

void LoadFlow::Run() {
    if (!target_.record) {
        return;  // a load needs a device to size the buffer for
    }
    target_.settings.offset = 0;
    const auto choice = window_.dialogs.GetOpenFile(&window_.parent, target_.PathLoadSave,
                                                    FileDialogFilterFor(target_.record->Family()));
    if (choice) {
        LoadChosen(choice->file, choice->filterIndex);
    }
    window_.refreshChecksum();
}

void LoadFlow::RunWithFile(const std::filesystem::path& file) {
    if (!target_.record) {
        return;
    }
    target_.settings.offset = 0;
    LoadChosen(file, LoadFilterIndexFor(target_.record->Family(), file));
    window_.refreshChecksum();
}

void LoadFlow::LoadChosen(const std::filesystem::path& file, int filterIndex) {
    const DeviceRecord& record = *target_.record;
    const char family = record.Family();
    target_.SaveDialogFile = target_.LoadedFile = file;
    target_.settings.format = LoadFormatFor(family, filterIndex);
    if (family != 'P') {
        TfrmFileFormat dialog(TfrmFileFormat::Mode::Load, target_.settings, record, target_.oddEven,
                              &window_.parent);
        window_.dialogs.Run(dialog);
    }
    if (target_.settings.format != format::Cancelled) {
        target_.errorCount =
            LoadFileOrElf({target_.LoadedFile, record, target_.settings, target_.oddEven},
                          target_.buffer, target_.configBits, window_.host);
        window_.showFile(target_.LoadedFile.string());
        monitor_.Watch(target_.LoadedFile, target_.settings);
    }
    // The next file dialog starts in the file's folder.
    target_.PathLoadSave = file.parent_path();
}

void LoadFlow::Reload(const std::filesystem::path& file, const FileSettings& settings) {
    if (!target_.record) {
        return;
    }
    target_.errorCount = LoadFileOrElf({file, *target_.record, settings, target_.oddEven},
                                       target_.buffer, target_.configBits, window_.host);
    window_.log(" File Updated");
    window_.refreshChecksum();
}

}  // namespace kardo

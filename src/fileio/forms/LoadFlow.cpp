// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/forms/LoadFlow.h"

#include "common/forms/Dialogs.h"
#include "fileio/FileChoices.h"
#include "fileio/FileLoader.h"
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
    const DeviceRecord& record = *target_.record;
    const char family = record.Family();
    target_.settings.offset = 0;
    const auto choice = window_.dialogs.GetOpenFile(&window_.parent, target_.PathLoadSave,
                                                    FileDialogFilterFor(family));
    if (choice) {
        target_.SaveDialogFile = target_.LoadedFile = choice->file;
        target_.settings.format = LoadFormatFor(family, choice->filterIndex);
        if (family != 'P') {
            TfrmFileFormat dialog(TfrmFileFormat::Mode::Load, target_.settings, record,
                                  target_.oddEven, &window_.parent);
            window_.dialogs.Run(dialog);
        }
        if (target_.settings.format != format::Cancelled) {
            target_.errorCount =
                LoadFile({target_.LoadedFile, record, target_.settings, target_.oddEven},
                         target_.buffer, window_.host);
            window_.showFile(target_.LoadedFile.string());
            monitor_.Watch(target_.LoadedFile, target_.settings);
        }
        // The dialog leaves us in the file's folder: the next one starts there.
        target_.PathLoadSave = choice->file.parent_path();
    }
    window_.refreshChecksum();
}

void LoadFlow::Reload(const std::filesystem::path& file, const FileSettings& settings) {
    if (!target_.record) {
        return;
    }
    target_.errorCount =
        LoadFile({file, *target_.record, settings, target_.oddEven}, target_.buffer, window_.host);
    window_.log(" File Updated");
    window_.refreshChecksum();
}

}  // namespace kardo

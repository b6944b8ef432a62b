// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/forms/SaveFlow.h"

#include <QRegularExpression>

#include "common/HexText.h"
#include "common/forms/Dialogs.h"
#include "fileio/FileChoices.h"
#include "fileio/FileWriter.h"
#include "fileio/forms/TfrmFileFormat.h"

namespace kardo {
namespace {

// The range as typed: hexadecimal digits, at most eight.
std::optional<uint32_t> HexField(const std::string& text) {
    static const QRegularExpression hex("^[0-9A-Fa-f]{1,8}$");
    if (!hex.match(QString::fromStdString(text)).hasMatch()) {
        return std::nullopt;
    }
    return ParseHexText(text);
}

}  // namespace

void SaveFlow::Run() {
    if (!target_.record) {
        return;
    }
    const DeviceRecord& record = *target_.record;
    const char family = record.Family();
    const auto file = window_.dialogs.GetSaveFile(
        &window_.parent, target_.PathLoadSave, target_.SaveDialogFile, FileDialogFilterFor(family));
    if (!file) {
        return;
    }
    FileSettings& settings = target_.settings;
    settings.format = family == 'C'   ? format::Inh8m
                      : family == 'P' ? format::Jedec
                                      : format::IntelHex;
    SaveRequest request{
        *file,          record, settings.format, 0, static_cast<uint32_t>(record.LastAddress()),
        target_.oddEven};
    if (family != 'P') {
        TfrmFileFormat dialog(TfrmFileFormat::Mode::Save, settings, record, target_.oddEven,
                              &window_.parent);
        window_.dialogs.Run(dialog);
        request.format = settings.format;
        if (settings.format != format::Cancelled) {
            const auto start = HexField(dialog.StartText());
            const auto stop = HexField(dialog.StopText());
            if (!start || !stop) {
                window_.host.ShowMessage("Start and Stop must be hexadecimal numbers.",
                                         FileIoHost::Icon::Error);
                request.format = format::Cancelled;
            } else {
                request.start = *start;
                request.stop = *stop;
            }
        }
    }
    if (request.format != format::Cancelled) {
        window_.showFile(file->string());
        const SaveOutcome saved = SaveFile(request, target_.buffer, window_.host);
        if (saved.ok()) {
            window_.host.AppendLine(" File " + file->string() + " saved");
            target_.SaveDialogFile = *file;
        } else if (!saved.writeError.empty()) {
            // The box says only "File ERROR"; the log keeps why.
            window_.host.AppendLine(" File " + file->string() + " not saved: " + saved.writeError);
        }
    }
    target_.PathLoadSave = file->parent_path();
}

}  // namespace kardo

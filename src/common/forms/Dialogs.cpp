// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/forms/Dialogs.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <algorithm>

#include "common/FileFilters.h"

namespace kardo {

namespace {

QMessageBox::Icon BoxIcon(Dialogs::Icon icon) {
    switch (icon) {
        case Dialogs::Icon::Information:
            return QMessageBox::Information;
        case Dialogs::Icon::Warning:
            return QMessageBox::Warning;
        case Dialogs::Icon::Error:
            return QMessageBox::Critical;
        case Dialogs::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void QtDialogs::ShowMessage(QWidget* parent, const QString& text, const QString& caption,
                            Icon icon) {
    QMessageBox box(parent);
    box.setText(text);
    box.setWindowTitle(caption);
    box.setIcon(BoxIcon(icon));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

Dialogs::Answer QtDialogs::AskAbortRetryIgnore(QWidget* parent, const QString& text,
                                               const QString& caption, Icon icon) {
    QMessageBox box(parent);
    box.setText(text);
    box.setWindowTitle(caption);
    box.setIcon(BoxIcon(icon));
    box.setStandardButtons(QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
    switch (box.exec()) {
        case QMessageBox::Abort:
            return Answer::Abort;
        case QMessageBox::Retry:
            return Answer::Retry;
        case QMessageBox::Ignore:
            return Answer::Ignore;
        default:
            return Answer::Other;
    }
}

int QtDialogs::Run(QDialog& dialog) {
    return dialog.exec();
}

namespace {

// "Intel Hex (*.HEX)|*.hex|..." as the file dialog's name filters, "Intel Hex (*.hex
// *.HEX)". Names on disk may be in either case, and the dialog matches patterns as they
// are written, so each pattern goes in lower and upper case.
QStringList NameFilters(const std::vector<FileFilter>& filters) {
    QStringList names;
    for (const FileFilter& f : filters) {
        const QString pattern = QString::fromStdString(f.pattern);
        const QString both = pattern.toLower() == pattern.toUpper()
                                 ? pattern
                                 : pattern.toLower() + " " + pattern.toUpper();
        names << QString::fromStdString(f.name) + " (" + both + ")";
    }
    return names;
}

}  // namespace

std::optional<Dialogs::FileChoice> QtDialogs::GetOpenFile(QWidget* parent,
                                                          const std::filesystem::path& directory,
                                                          const std::string& filter) {
    QFileDialog dialog(parent, "Open", QString::fromStdString(directory.string()));
    dialog.setFileMode(QFileDialog::ExistingFile);
    const QStringList filters = NameFilters(ParseFileFilter(filter));
    dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return FileChoice{dialog.selectedFiles().front().toStdString(),
                      static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1};
}

std::optional<std::filesystem::path> QtDialogs::GetSaveFile(QWidget* parent,
                                                            const std::filesystem::path& directory,
                                                            const std::filesystem::path& suggested,
                                                            const std::string& filter) {
    QFileDialog dialog(parent, "Save As", QString::fromStdString(directory.string()));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const std::vector<FileFilter> entries = ParseFileFilter(filter);
    const QStringList filters = NameFilters(entries);
    dialog.setNameFilters(filters);
    // A name typed without an extension gets the chosen filter's, before the dialog asks
    // whether to replace a file of that name.
    const auto suffixFor = [&entries, &filters](const QString& chosen) {
        const auto index =
            static_cast<std::size_t>(std::max<qsizetype>(0, filters.indexOf(chosen)));
        return QString::fromStdString(DefaultExtension(entries, index));
    };
    dialog.setDefaultSuffix(suffixFor(dialog.selectedNameFilter()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, &suffixFor](const QString& chosen) {
                         dialog.setDefaultSuffix(suffixFor(chosen));
                     });
    if (!suggested.empty()) {
        dialog.selectFile(QString::fromStdString(suggested.filename().string()));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(dialog.selectedFiles().front().toStdString());
}

}  // namespace kardo

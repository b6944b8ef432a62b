// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/forms/Dialogs.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

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

// "Intel Hex (*.HEX)|*.hex|..." as the file dialog's name filters. Names on disk may be
// in either case, and the dialog matches patterns as they are written, so each pattern
// goes in lower and upper case.
QStringList NameFilters(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString pattern = parts[i + 1];
        const QString both = pattern.toLower() == pattern.toUpper()
                                 ? pattern
                                 : pattern.toLower() + " " + pattern.toUpper();
        filters << parts[i] + " (" + both + ")";
    }
    return filters;
}

}  // namespace

std::optional<Dialogs::FileChoice> QtDialogs::GetOpenFile(QWidget* parent,
                                                          const std::filesystem::path& directory,
                                                          const std::string& filter) {
    QFileDialog dialog(parent, "Open", QString::fromStdString(directory.string()));
    dialog.setFileMode(QFileDialog::ExistingFile);
    const QStringList filters = NameFilters(filter);
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
    dialog.setNameFilters(NameFilters(filter));
    if (!suggested.empty()) {
        dialog.selectFile(QString::fromStdString(suggested.filename().string()));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(dialog.selectedFiles().front().toStdString());
}

}  // namespace kardo

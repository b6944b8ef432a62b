#include "common/forms/Dialogs.h"

#include <QDialog>
#include <QMessageBox>

namespace kardo {

void QtDialogs::ShowMessage(QWidget* parent, const QString& text, const QString& caption,
                            Icon icon) {
    QMessageBox box(parent);
    box.setText(text);
    box.setWindowTitle(caption);
    switch (icon) {
        case Icon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case Icon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case Icon::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case Icon::Error:
            box.setIcon(QMessageBox::Critical);
            break;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

int QtDialogs::Run(QDialog& dialog) { return dialog.exec(); }

// The picture dialogs belong with the programmer's self-test pictures; until those
// exist the selection goes on without showing them.
void QtDialogs::ShowJumperSet(QWidget*, const std::filesystem::path&) {}
void QtDialogs::ShowIspHeader(QWidget*) {}

}  // namespace kardo

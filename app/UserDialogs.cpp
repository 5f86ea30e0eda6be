#include "UserDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

void TQtUserDialogs::ShowError(QWidget* Parent, const QString& Text) {
    QMessageBox::critical(Parent, QStringLiteral("Error"), Text, QMessageBox::Ok);
}

std::optional<QString> TQtUserDialogs::AskSaveFileName(QWidget* Parent) {
    // The file name is used as it stands: no filter, no extension added.
    const QString name = QFileDialog::getSaveFileName(Parent);
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

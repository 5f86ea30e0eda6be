#pragma once
// The window's modal dialogs behind one interface, so that tests record what a person would
// see instead of blocking on a message box or a file dialog.

#include <QString>
#include <optional>

class QWidget;

class TUserDialogs {
public:
    virtual ~TUserDialogs() = default;
    /// Shows an error message box with one OK button and waits until it is closed.
    virtual void ShowError(QWidget* Parent, const QString& Text) = 0;
    /// Runs the save-file dialog (no filter, no default extension); the chosen file name, or
    /// nothing when cancelled.
    virtual std::optional<QString> AskSaveFileName(QWidget* Parent) = 0;
};

/// The dialogs of the UI toolkit.
class TQtUserDialogs final : public TUserDialogs {
public:
    void ShowError(QWidget* Parent, const QString& Text) override;
    std::optional<QString> AskSaveFileName(QWidget* Parent) override;
};

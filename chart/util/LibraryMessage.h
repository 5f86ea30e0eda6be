#pragma once
// Notes the chart library gives the user without stopping anything: a setting it had to
// change, for instance. They never open a modal box (which would run an event loop inside
// painting or polling); a program shows them where it likes, a status bar for instance.

#include <QString>
#include <functional>

/// Hands Text to the installed handler, else writes it with qInfo. Never raises.
void ShowLibraryMessage(const QString& Text);
/// Replaces the handler of library messages (empty: back to qInfo); returns the old one.
std::function<void(const QString&)>
SetLibraryMessageHandler(std::function<void(const QString&)> AHandler);

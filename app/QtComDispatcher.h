#pragma once
// The serial port's dispatcher in a Qt program: posted work runs on the thread of the
// dispatcher's QObject (the UI thread) through the event loop, and errors that escape a
// port handler are shown through a callback.

#include "comport/ComDispatcher.h"

#include <QObject>
#include <QString>
#include <functional>

class TQtComDispatcher final : public QObject, public TComDispatcher {
    Q_OBJECT

public:
    /// A dispatcher living in the calling (UI) thread; Show receives the text of every
    /// escaped error. It must outlive every port that uses it.
    explicit TQtComDispatcher(std::function<void(const QString&)> Show, QObject* Parent = nullptr);

    /// Queues Task on the event loop of this object's thread; never blocks.
    void Post(std::function<void()> Task) override;
    /// Passes the error's text to Show (port errors as "Error " + code + ": " + message).
    void ShowException(const std::exception& E) override;

private:
    std::function<void(const QString&)> FShow;
};

#include "HandlerGuard.h"

QString ComErrorText(const EComError& E) {
    return QStringLiteral("Error ") + QString::number(E.ErrorCode()) + QStringLiteral(": ") +
           QString::fromLocal8Bit(E.what());
}

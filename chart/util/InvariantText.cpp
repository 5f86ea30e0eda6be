#include "InvariantText.h"

#include "util/Exceptions.h"
#include "util/NumberScan.h"
#include "util/NumberText.h"

namespace {

[[noreturn]] void RaiseNotAFloat(const QString& Text) {
    throw EVxConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(Text));
}

} // namespace

QString FloatToInvariantText(double x) {
    return FloatToGeneralText(x, 0, u".");
}

std::string FloatToInvariantString(double x) {
    return FloatToInvariantText(x).toStdString();
}

bool TryInvariantTextToFloat(QStringView Text, double& Value) {
    const auto* p = reinterpret_cast<const char16_t*>(Text.data());
    return VxNumberScan::ConvertWholeFloat(p, p + Text.size(), Value) ==
           VxNumberScan::TScanResult::Ok;
}

bool TryInvariantTextToFloat(std::string_view Text, double& Value) {
    return VxNumberScan::ConvertWholeFloat(Text.data(), Text.data() + Text.size(), Value) ==
           VxNumberScan::TScanResult::Ok;
}

double InvariantTextToFloat(QStringView Text) {
    double value = 0;
    if (!TryInvariantTextToFloat(Text, value))
        RaiseNotAFloat(Text.toString());
    return value;
}

double InvariantTextToFloat(std::string_view Text) {
    double value = 0;
    if (!TryInvariantTextToFloat(Text, value))
        RaiseNotAFloat(QString::fromUtf8(Text.data(), qsizetype(Text.size())));
    return value;
}

#include "persistence/IniFile.h"

#include "drawing/ColorText.h"
#include "persistence/AtomicFile.h"
#include "util/ComponentPaths.h"
#include "util/Exceptions.h"
#include "util/InvariantText.h"

#include <QFileInfo>

// Values are kept as UTF-8 bytes and converted by Qt: no wide-character converter needed.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

struct TVxIniFile::TImpl {
    TImpl() : Ini(/*IsUtf8=*/true, /*MultiKey=*/false, /*MultiLine=*/false) {
        Ini.SetSpaces(false);
    }
    CSimpleIniA Ini;
};

namespace {
std::string Utf8(const QString& Text) {
    return Text.toStdString();
}
} // namespace

TVxIniFile::TVxIniFile() : FImpl(std::make_unique<TImpl>()) {}

TVxIniFile::TVxIniFile(const QString& FileName)
    : FImpl(std::make_unique<TImpl>()), FFileName(FileName) {
    if (QFileInfo::exists(FileName))
        LoadFromText(ReadWholeFile(FileName));
}

TVxIniFile::~TVxIniFile() = default;

void TVxIniFile::LoadFromText(const QByteArray& Text) {
    FImpl->Ini.Reset();
    if (FImpl->Ini.LoadData(Text.constData(), size_t(Text.size())) < 0)
        throw EVxStreamError(QString("Cannot read the ini text of %1").arg(FFileName));
}

QByteArray TVxIniFile::SaveToText() const {
    std::string text;
    if (FImpl->Ini.Save(text) < 0)
        throw EVxStreamError("Cannot write ini text");
    return QByteArray::fromStdString(text);
}

void TVxIniFile::UpdateFile() const {
    WriteFileAtomically(FFileName, SaveToText());
}

bool TVxIniFile::SectionExists(const QString& Section) const {
    return FImpl->Ini.GetSection(Utf8(Section).c_str()) != nullptr;
}

bool TVxIniFile::ValueExists(const QString& Section, const QString& Key) const {
    return FImpl->Ini.GetValue(Utf8(Section).c_str(), Utf8(Key).c_str(), nullptr) != nullptr;
}

void TVxIniFile::EraseSection(const QString& Section) {
    FImpl->Ini.Delete(Utf8(Section).c_str(), nullptr);
}

QStringList TVxIniFile::Sections() const {
    CSimpleIniA::TNamesDepend names;
    FImpl->Ini.GetAllSections(names);
    names.sort(CSimpleIniA::Entry::LoadOrder());
    QStringList result;
    for (const auto& name : names)
        result.append(QString::fromUtf8(name.pItem));
    return result;
}

QString TVxIniFile::ReadString(const QString& Section, const QString& Key,
                               const QString& Default) const {
    const char* value = FImpl->Ini.GetValue(Utf8(Section).c_str(), Utf8(Key).c_str(), nullptr);
    return value != nullptr ? QString::fromUtf8(value).trimmed() : Default;
}

void TVxIniFile::WriteString(const QString& Section, const QString& Key, const QString& Value) {
    // A value is one line: a raw line break would start a new key.
    QString line = Value;
    line.replace('\r', ' ').replace('\n', ' ');
    FImpl->Ini.SetValue(Utf8(Section).c_str(), Utf8(Key).c_str(), Utf8(line).c_str());
}

bool TVxIniFile::ReadUtf8(const QString& Section, const QString& Key,
                          std::string_view& Value) const {
    const char* value = FImpl->Ini.GetValue(Utf8(Section).c_str(), Utf8(Key).c_str(), nullptr);
    if (value == nullptr)
        return false;
    Value = value;
    return true;
}

void TVxIniFile::WriteUtf8(const QString& Section, const QString& Key, std::string Value) {
    for (char& c : Value)
        if (c == '\r' || c == '\n')
            c = ' ';
    FImpl->Ini.SetValue(Utf8(Section).c_str(), Utf8(Key).c_str(), Value.c_str());
}

int TVxIniFile::ReadInteger(const QString& Section, const QString& Key, int Default) const {
    bool ok = false;
    const int value = ReadString(Section, Key, {}).toInt(&ok);
    return ok ? value : Default;
}

void TVxIniFile::WriteInteger(const QString& Section, const QString& Key, int Value) {
    WriteString(Section, Key, QString::number(Value));
}

bool TVxIniFile::ReadBool(const QString& Section, const QString& Key, bool Default) const {
    return ReadInteger(Section, Key, Default ? 1 : 0) != 0;
}

void TVxIniFile::WriteBool(const QString& Section, const QString& Key, bool Value) {
    WriteString(Section, Key, Value ? "1" : "0");
}

double TVxIniFile::ReadFloat(const QString& Section, const QString& Key, double Default) const {
    if (!ValueExists(Section, Key))
        return Default;
    return InvariantTextToFloat(ReadString(Section, Key, {}));
}

void TVxIniFile::WriteFloat(const QString& Section, const QString& Key, double Value) {
    WriteString(Section, Key, FloatToInvariantText(Value));
}

TVxColor TVxIniFile::ReadColor(const QString& Section, const QString& Key, TVxColor Default) const {
    return ValueExists(Section, Key) ? ColorFromText(ReadString(Section, Key, {})) : Default;
}

void TVxIniFile::WriteColor(const QString& Section, const QString& Key, TVxColor Value,
                            bool IncludeSystem) {
    WriteString(Section, Key, ColorToText(Value, IncludeSystem));
}

QString TVxIniFile::ReadCaption(const QString& Section, const QString& Key,
                                const QString& Default) const {
    return ValueExists(Section, Key) ? DecodeIniLineBreaks(ReadString(Section, Key, {})) : Default;
}

void TVxIniFile::WriteCaption(const QString& Section, const QString& Key, const QString& Value) {
    WriteString(Section, Key, EncodeIniLineBreaks(Value));
}

QObject* TVxIniFile::ReadComponent(const QString& Section, const QString& Key) const {
    const QString path = ReadString(Section, Key, {});
    return path.isEmpty() ? nullptr : FindComponentByPath(path);
}

void TVxIniFile::WriteComponent(const QString& Section, const QString& Key,
                                const QObject* Component) {
    WriteString(Section, Key, ComponentPath(Component));
}

QString EncodeIniLineBreaks(const QString& Text) {
    QString result;
    result.reserve(Text.size());
    for (QChar c : Text) {
        if (c == '\r')
            result += "@\\r";
        else if (c == '\n')
            result += "@\\n";
        else
            result += c;
    }
    return result;
}

QString DecodeIniLineBreaks(const QString& Text) {
    QString result;
    result.reserve(Text.size());
    for (qsizetype i = 0; i < Text.size(); ++i) {
        if (Text[i] == '@' && i + 2 < Text.size() && Text[i + 1] == '\\') {
            const QChar letter = Text[i + 2].toLower();
            if (letter == 'r' || letter == 'n') {
                result += letter == 'r' ? QChar('\r') : QChar('\n');
                i += 2;
                continue;
            }
        }
        result += Text[i];
    }
    return result;
}

#include "persistence/IniFile.h"

#include "drawing/ColorText.h"
#include "persistence/AtomicFile.h"
#include "persistence/LargeBuffer.h"
#include "util/ComponentPaths.h"
#include "util/Exceptions.h"
#include "util/InvariantText.h"

#include <QFileInfo>
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

// Values are kept as UTF-8 bytes and converted by Qt: no wide-character converter needed.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

struct TVxIniFile::TImpl {
    TImpl() : Ini(/*IsUtf8=*/true, /*MultiKey=*/false, /*MultiLine=*/false) {
        Ini.SetSpaces(false);
    }
    CSimpleIniA Ini;
    bool FileComment = false; // the loaded text began with a comment
};

namespace {

using TEntries = CSimpleIniA::TNamesDepend;

std::string Utf8(const QString& Text) {
    return Text.toStdString();
}

bool IsCommentStart(char c) {
    return c == ';' || c == '#';
}

// The first character of the text that is not a byte-order mark or white space opens a
// comment: the parser keeps such a comment as the file's comment.
bool StartsWithComment(const QByteArray& Text) {
    qsizetype i = Text.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (i < Text.size() &&
           (Text[i] == ' ' || Text[i] == '\t' || Text[i] == '\r' || Text[i] == '\n'))
        ++i;
    return i < Text.size() && IsCommentStart(Text[i]);
}

// One key and its value, in the order they were added or loaded.
struct TKeyValue {
    const char* Key;
    const char* Value;
    std::size_t ValueSize;
    int Order;
};

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
    FImpl->FileComment = StartsWithComment(Text);
    if (FImpl->Ini.LoadData(Text.constData(), size_t(Text.size())) < 0)
        throw EVxStreamError(QString("Cannot read the ini text of %1").arg(FFileName));
}

// The layout is the ini library's own: sections in the order they came, the unnamed one
// first, "[name]", then "key=value" lines, two line feeds between sections. It is written
// here straight into one buffer of the final size, so that a value of many megabytes (a
// vector's numbers) is copied once; a document with comments takes the library's writer,
// which keeps them.
QByteArray TVxIniFile::SaveToText() const {
    const CSimpleIniA& ini = FImpl->Ini;
    TEntries sections;
    ini.GetAllSections(sections);
    sections.sort(CSimpleIniA::Entry::LoadOrder());
    bool comments = FImpl->FileComment;
    std::vector<std::pair<const char*, std::vector<TKeyValue>>> layout;
    std::size_t size = 0;
    for (const CSimpleIniA::Entry& section : sections) {
        comments = comments || section.pComment != nullptr;
        std::vector<TKeyValue> keys;
        if (const CSimpleIniA::TKeyVal* values = ini.GetSection(section.pItem)) {
            for (const auto& [key, value] : *values) {
                comments = comments || key.pComment != nullptr;
                keys.push_back({key.pItem, value, std::strlen(value), key.nOrder});
                size += std::strlen(key.pItem) + keys.back().ValueSize + 2;
            }
        }
        std::sort(keys.begin(), keys.end(),
                  [](const TKeyValue& a, const TKeyValue& b) { return a.Order < b.Order; });
        size += std::strlen(section.pItem) + 5;
        // The unnamed section (keys before any "[name]") comes first.
        if (*section.pItem == '\0')
            layout.insert(layout.begin(), {section.pItem, std::move(keys)});
        else
            layout.emplace_back(section.pItem, std::move(keys));
    }
    if (comments) {
        std::string text;
        if (ini.Save(text) < 0)
            throw EVxStreamError("Cannot write ini text");
        return QByteArray::fromStdString(text);
    }
    QByteArray text;
    ReserveLarge(text, qsizetype(size));
    bool first = true;
    for (const auto& [name, keys] : layout) {
        if (!first)
            text.append("\n\n", 2);
        first = false;
        if (*name != '\0')
            text.append('[').append(name).append("]\n", 2);
        for (const TKeyValue& entry : keys)
            text.append(entry.Key)
                .append('=')
                .append(entry.Value, qsizetype(entry.ValueSize))
                .append('\n');
    }
    return text;
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

int TVxIniFile::KeyCount(const QString& Section) const {
    return std::max(0, FImpl->Ini.GetSectionSize(Utf8(Section).c_str()));
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
    // Long values (number lists) rarely hold a line break: looked for at memchr's pace first.
    if (std::memchr(Value.data(), '\r', Value.size()) != nullptr ||
        std::memchr(Value.data(), '\n', Value.size()) != nullptr)
        for (char& c : Value)
            if (c == '\r' || c == '\n')
                c = ' ';
    FImpl->Ini.SetValue(Utf8(Section).c_str(), Utf8(Key).c_str(), Value.c_str());
}

void TVxIniFile::WriteUtf8(const QString& Section, const QString& Key, const char* Value) {
    const std::size_t size = std::strlen(Value);
    if (std::memchr(Value, '\r', size) != nullptr || std::memchr(Value, '\n', size) != nullptr)
        WriteUtf8(Section, Key, std::string(Value, size));
    else
        FImpl->Ini.SetValue(Utf8(Section).c_str(), Utf8(Key).c_str(), Value);
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

namespace {

/// The escape letter at Text[At] ("@\\" + letter), lower case, or 0 when Text[At] does not
/// start an escape.
char EscapeAt(const QString& Text, qsizetype At) {
    if (At + 2 >= Text.size() || Text[At] != '@' || Text[At + 1] != '\\')
        return 0;
    const QChar letter = Text[At + 2].toLower();
    return letter == 'r' || letter == 'n' || letter == 'a' ? char(letter.unicode()) : 0;
}

} // namespace

// "@\\a" stands for an at sign that the text itself puts before "\\r", "\\n" or "\\a", so
// that such a text reads back as it was; every other text is written as it always was.
QString EncodeIniLineBreaks(const QString& Text) {
    QString result;
    result.reserve(Text.size());
    for (qsizetype i = 0; i < Text.size(); ++i) {
        const QChar c = Text[i];
        if (c == '\r')
            result += "@\\r";
        else if (c == '\n')
            result += "@\\n";
        else if (EscapeAt(Text, i))
            result += "@\\a";
        else
            result += c;
    }
    return result;
}

QString DecodeIniLineBreaks(const QString& Text) {
    QString result;
    result.reserve(Text.size());
    for (qsizetype i = 0; i < Text.size(); ++i) {
        switch (EscapeAt(Text, i)) {
        case 'r':
            result += QChar('\r');
            break;
        case 'n':
            result += QChar('\n');
            break;
        case 'a':
            result += QChar('@');
            break;
        default:
            result += Text[i];
            continue;
        }
        i += 2;
    }
    return result;
}

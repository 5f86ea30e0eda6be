#include "persistence/IniFile.h"

#include "drawing/ColorText.h"
#include "persistence/AtomicFile.h"
#include "persistence/LargeBuffer.h"
#include "util/ComponentPaths.h"
#include "util/Exceptions.h"
#include "util/InvariantText.h"

#include <QFileInfo>
#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

// Values are kept as UTF-8 bytes and converted by Qt: no wide-character converter needed.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

namespace {

// Values of this many bytes (a vector's numbers) are held apart from the ini library,
// which would copy them, and read from the loaded text where they stand: the library holds
// a marker "\x01<index>\x01" in their place. Every value of the library that begins with
// "\x01" is such a marker (any other value that would is held apart too).
constexpr std::size_t LongValueBytes = 1 << 16;
constexpr char MarkerStart = '\x01';

std::string Marker(std::size_t Index) {
    return MarkerStart + std::to_string(Index) + MarkerStart;
}

// The first line feed, carriage return, NUL or marker character at or after p (End when
// none), sixteen bytes at a time.
const char* NextStop(const char* p, const char* End) {
    using TBytes = unsigned char __attribute__((vector_size(16)));
    const TBytes zero{};
    for (; End - p >= 16; p += 16) {
        TBytes bytes;
        std::memcpy(&bytes, p, 16);
        const auto stop = (bytes == (zero + '\n')) | (bytes == (zero + '\r')) | (bytes == zero) |
                          (bytes == (zero + MarkerStart));
        std::uint64_t lanes[2];
        std::memcpy(lanes, &stop, sizeof lanes);
        if ((lanes[0] | lanes[1]) != 0)
            break;
    }
    while (p != End && *p != '\n' && *p != '\r' && *p != '\0' && *p != MarkerStart)
        ++p;
    return p;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The value of the line [Line, End) as the ini library reads it when the line holds
// "key=value" with a key and a value (no line breaks within): false otherwise.
bool LineValue(const char* Line, const char* End, const char*& Value, const char*& ValueEnd) {
    while (Line != End && IsBlank(*Line))
        ++Line;
    if (Line == End || *Line == ';' || *Line == '#' || *Line == '[' || *Line == '=')
        return false;
    const auto* equals = static_cast<const char*>(std::memchr(Line, '=', size_t(End - Line)));
    if (equals == nullptr)
        return false;
    Value = equals + 1;
    while (Value != End && IsBlank(*Value))
        ++Value;
    ValueEnd = End;
    while (ValueEnd != Value && IsBlank(ValueEnd[-1]))
        --ValueEnd;
    return ValueEnd != Value;
}

} // namespace

struct TVxIniFile::TImpl {
    TImpl() : Ini(/*IsUtf8=*/true, /*MultiKey=*/false, /*MultiLine=*/false) {
        Ini.SetSpaces(false);
    }
    CSimpleIniA Ini;
    bool FileComment = false; // the loaded text began with a comment

    // A value held apart: in Room, or in the loaded text.
    struct TLongValue {
        const char* Text = nullptr; // nullptr: a free place
        std::size_t Size = 0;
        TVxRoom Room;
    };
    std::vector<TLongValue> Long;
    QByteArray Loaded; // the text of the last load, which long values may point into

    // The long value a library value stands for, nullptr when it is not a marker.
    const TLongValue* LongValueOf(const char* Value) const {
        if (Value == nullptr || *Value != MarkerStart || Long.empty())
            return nullptr;
        std::size_t index = 0;
        const char* p = Value + 1;
        for (; *p >= '0' && *p <= '9'; ++p)
            index = index * 10 + std::size_t(*p - '0');
        if (*p != MarkerStart || p[1] != '\0' || index >= Long.size() || !Long[index].Text)
            return nullptr;
        return &Long[index];
    }

    // The value of Section/Key with its size; nullptr when missing.
    const char* Find(const char* Section, const char* Key, std::size_t& Size) const {
        const char* value = Ini.GetValue(Section, Key, nullptr);
        if (const TLongValue* held = LongValueOf(value)) {
            Size = held->Size;
            return held->Text;
        }
        if (value != nullptr)
            Size = std::strlen(value);
        return value;
    }

    // Frees the long value that Value stands for.
    void Forget(const char* Value) {
        if (const TLongValue* held = LongValueOf(Value)) {
            TLongValue& place = Long[std::size_t(held - Long.data())];
            place.Room.reset();
            place.Text = nullptr;
        }
    }

    // Holds Text apart and returns its marker.
    std::string Hold(const char* Text, std::size_t Size, TVxRoom Room) {
        std::size_t index = 0;
        while (index < Long.size() && Long[index].Text != nullptr)
            ++index;
        if (index == Long.size())
            Long.emplace_back();
        Long[index] = {Text, Size, std::move(Room)};
        return Marker(index);
    }

    // Sets a value of Size bytes at Text (zero-terminated unless Room holds it).
    void Set(const char* Section, const char* Key, const char* Text, std::size_t Size,
             TVxRoom Room = nullptr) {
        Forget(Ini.GetValue(Section, Key, nullptr));
        if (Size < LongValueBytes && *Text != MarkerStart) {
            Ini.SetValue(Section, Key, Text);
            return;
        }
        if (!Room) {
            Room = AcquireRoom(Size + 1);
            if (!Room)
                throw std::bad_alloc();
            std::memcpy(Room.get(), Text, Size);
            Room.get()[Size] = '\0';
            Text = Room.get();
        }
        Ini.SetValue(Section, Key, Hold(Text, Size, std::move(Room)).c_str());
    }

    // Loads Text; the values of long lines are held apart where they stand in it (a text
    // with carriage returns, NULs or marker characters is loaded as it is). The result of
    // the library's load.
    int Load(const QByteArray& Text) {
        Long.clear();
        Loaded = QByteArray();
        const char* const begin = Text.constData();
        const char* const end = begin + Text.size();
        std::string reduced; // the text with markers for the long values
        std::vector<std::pair<const char*, std::size_t>> values;
        bool apart = std::size_t(Text.size()) >= LongValueBytes &&
                     !(Text.size() >= 3 && std::memcmp(begin, "\xEF\xBB\xBF", 3) == 0);
        const char* copied = begin; // what comes before is in reduced
        for (const char* line = begin; apart && line != end;) {
            const char* stop = NextStop(line, end);
            if (stop != end && *stop != '\n') {
                apart = false;
                break;
            }
            const char *value = nullptr, *valueEnd = nullptr;
            if (std::size_t(stop - line) >= LongValueBytes &&
                LineValue(line, stop, value, valueEnd)) {
                reduced.append(copied, size_t(value - copied));
                reduced += Marker(values.size());
                values.emplace_back(value, std::size_t(valueEnd - value));
                copied = valueEnd;
            }
            line = stop == end ? end : stop + 1;
        }
        if (!apart || values.empty()) {
            const int result = Ini.LoadData(begin, std::size_t(Text.size()));
            if (result >= 0)
                HoldMarkerLikeValues();
            return result;
        }
        reduced.append(copied, std::size_t(end - copied));
        const int result = Ini.LoadData(reduced.data(), reduced.size());
        if (result < 0)
            return result;
        Loaded = Text;
        for (const auto& [text, size] : values)
            Long.push_back({text, size, nullptr});
        return result;
    }

    // Every value of a text just loaded that begins with a marker's first character is
    // held apart (the text had no markers of ours).
    void HoldMarkerLikeValues() {
        std::vector<std::array<std::string, 3>> found;
        CSimpleIniA::TNamesDepend sections;
        Ini.GetAllSections(sections);
        for (const CSimpleIniA::Entry& section : sections) {
            CSimpleIniA::TNamesDepend keys;
            Ini.GetAllKeys(section.pItem, keys);
            for (const CSimpleIniA::Entry& key : keys) {
                const char* value = Ini.GetValue(section.pItem, key.pItem, nullptr);
                if (value != nullptr && *value == MarkerStart)
                    found.push_back({section.pItem, key.pItem, value});
            }
        }
        for (const auto& [section, key, value] : found) {
            TVxRoom room = AcquireRoom(value.size() + 1);
            if (!room)
                throw std::bad_alloc();
            std::memcpy(room.get(), value.c_str(), value.size() + 1);
            const char* text = room.get();
            Ini.SetValue(section.c_str(), key.c_str(),
                         Hold(text, value.size(), std::move(room)).c_str());
        }
    }
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
    if (FImpl->Load(Text) < 0)
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
                if (const TImpl::TLongValue* held = FImpl->LongValueOf(value))
                    keys.push_back({key.pItem, held->Text, held->Size, key.nOrder});
                else
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
        // The library writes the long values too: they go back into it first.
        for (const auto& [name, keys] : layout)
            for (const TKeyValue& entry : keys)
                if (FImpl->LongValueOf(FImpl->Ini.GetValue(name, entry.Key, nullptr)) != nullptr) {
                    const std::string value(entry.Value, entry.ValueSize);
                    FImpl->Forget(FImpl->Ini.GetValue(name, entry.Key, nullptr));
                    FImpl->Ini.SetValue(name, entry.Key, value.c_str());
                }
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
    const std::string section = Utf8(Section);
    if (const CSimpleIniA::TKeyVal* values = FImpl->Ini.GetSection(section.c_str()))
        for (const auto& entry : *values)
            FImpl->Forget(entry.second);
    FImpl->Ini.Delete(section.c_str(), nullptr);
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
    std::size_t size = 0;
    const char* value = FImpl->Find(Utf8(Section).c_str(), Utf8(Key).c_str(), size);
    return value != nullptr ? QString::fromUtf8(value, qsizetype(size)).trimmed() : Default;
}

void TVxIniFile::WriteString(const QString& Section, const QString& Key, const QString& Value) {
    // A value is one line: a raw line break would start a new key.
    QString line = Value;
    line.replace('\r', ' ').replace('\n', ' ');
    const std::string value = Utf8(line);
    FImpl->Set(Utf8(Section).c_str(), Utf8(Key).c_str(), value.c_str(), value.size());
}

bool TVxIniFile::ReadUtf8(const QString& Section, const QString& Key,
                          std::string_view& Value) const {
    std::size_t size = 0;
    const char* value = FImpl->Find(Utf8(Section).c_str(), Utf8(Key).c_str(), size);
    if (value == nullptr)
        return false;
    Value = std::string_view(value, size);
    return true;
}

void TVxIniFile::WriteUtf8(const QString& Section, const QString& Key, std::string Value) {
    // Long values (number lists) rarely hold a line break: looked for at memchr's pace first.
    if (std::memchr(Value.data(), '\r', Value.size()) != nullptr ||
        std::memchr(Value.data(), '\n', Value.size()) != nullptr)
        for (char& c : Value)
            if (c == '\r' || c == '\n')
                c = ' ';
    FImpl->Set(Utf8(Section).c_str(), Utf8(Key).c_str(), Value.c_str(), Value.size());
}

void TVxIniFile::WriteUtf8(const QString& Section, const QString& Key, const char* Value) {
    const std::size_t size = std::strlen(Value);
    if (std::memchr(Value, '\r', size) != nullptr || std::memchr(Value, '\n', size) != nullptr)
        WriteUtf8(Section, Key, std::string(Value, size));
    else
        FImpl->Set(Utf8(Section).c_str(), Utf8(Key).c_str(), Value, size);
}

void TVxIniFile::WriteUtf8(const QString& Section, const QString& Key, TVxRoom Value,
                           std::size_t Size) {
    char* const text = Value.get();
    if (std::memchr(text, '\r', Size) != nullptr || std::memchr(text, '\n', Size) != nullptr)
        std::replace_if(
            text, text + Size, [](char c) { return c == '\r' || c == '\n'; }, ' ');
    FImpl->Set(Utf8(Section).c_str(), Utf8(Key).c_str(), text, Size, std::move(Value));
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

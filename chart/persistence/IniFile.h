#pragma once
// An ini file of sections and "key=value" lines, as chart records use it: names compare
// without regard to case, values are one trimmed line, numbers are invariant text, Booleans
// "1"/"0", and free texts escape their line breaks so that a caption cannot split a value.

#include "drawing/Color.h"
#include "persistence/LargeBuffer.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <string_view>

class TVxIniFile {
public:
    /// Opens FileName: its sections are read when it exists (an unreadable or malformed file
    /// raises EVxStreamError); nothing is written until UpdateFile.
    explicit TVxIniFile(const QString& FileName);
    /// An ini document held in memory only (FileName empty), e.g. read from text.
    TVxIniFile();
    ~TVxIniFile();
    TVxIniFile(const TVxIniFile&) = delete;
    TVxIniFile& operator=(const TVxIniFile&) = delete;

    /// Replaces the content by the ini text Text.
    void LoadFromText(const QByteArray& Text);
    /// The content as ini text ("key=value", no spaces around "=").
    QByteArray SaveToText() const;
    /// Writes the content to the file atomically; raises EVxStreamError.
    void UpdateFile() const;
    QString FileName() const { return FFileName; }

    bool SectionExists(const QString& Section) const;
    bool ValueExists(const QString& Section, const QString& Key) const;
    /// The number of keys in Section (0 when there is no such section).
    int KeyCount(const QString& Section) const;
    void EraseSection(const QString& Section);
    QStringList Sections() const;

    QString ReadString(const QString& Section, const QString& Key, const QString& Default) const;
    void WriteString(const QString& Section, const QString& Key, const QString& Value);
    /// The raw UTF-8 bytes of a value (not trimmed), for readers of long number lists; the
    /// view stays valid until the value or the document changes. False when missing.
    bool ReadUtf8(const QString& Section, const QString& Key, std::string_view& Value) const;
    /// Stores UTF-8 bytes as the value (line breaks become spaces, as in WriteString).
    void WriteUtf8(const QString& Section, const QString& Key, std::string Value);
    /// The same for zero-terminated bytes (no string copy of a long value first).
    void WriteUtf8(const QString& Section, const QString& Key, const char* Value);
    /// The same for Size bytes in Value (and a terminating zero), which the document takes
    /// over: a long value is kept there, not copied.
    void WriteUtf8(const QString& Section, const QString& Key, TVxRoom Value, std::size_t Size);
    /// A decimal integer; Default when missing or not an integer.
    int ReadInteger(const QString& Section, const QString& Key, int Default) const;
    void WriteInteger(const QString& Section, const QString& Key, int Value);
    /// Non-zero is true; Default when missing.
    bool ReadBool(const QString& Section, const QString& Key, bool Default) const;
    void WriteBool(const QString& Section, const QString& Key, bool Value);
    /// An invariant number text; Default when missing; raises EVxConvertError when present
    /// but not a number.
    double ReadFloat(const QString& Section, const QString& Key, double Default) const;
    void WriteFloat(const QString& Section, const QString& Key, double Value);
    TVxColor ReadColor(const QString& Section, const QString& Key, TVxColor Default) const;
    void WriteColor(const QString& Section, const QString& Key, TVxColor Value,
                    bool IncludeSystem = false);
    /// A free text (caption) whose line breaks were escaped on writing.
    QString ReadCaption(const QString& Section, const QString& Key, const QString& Default) const;
    void WriteCaption(const QString& Section, const QString& Key, const QString& Value);
    /// A component path, resolved; nullptr when empty, missing or unknown.
    QObject* ReadComponent(const QString& Section, const QString& Key) const;
    void WriteComponent(const QString& Section, const QString& Key, const QObject* Component);

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
    QString FFileName;
};

/// Escapes the line breaks of a text for a one-line ini value: CR becomes "@\r" and LF "@\n";
/// an "@" that the text puts before a literal "\r", "\n" or "\a" becomes "@\a".
QString EncodeIniLineBreaks(const QString& Text);
/// Reverses EncodeIniLineBreaks ("@\r", "@\n" and "@\a" in any letter case).
QString DecodeIniLineBreaks(const QString& Text);

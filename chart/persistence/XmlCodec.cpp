#include "persistence/XmlCodec.h"

#include "drawing/ColorText.h"
#include "persistence/AtomicFile.h"
#include "persistence/LargeBuffer.h"
#include "persistence/XmlItemLists.h"
#include "util/ComponentPaths.h"
#include "util/Exceptions.h"
#include "util/InvariantText.h"

#include <QFile>
#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

// pugixml's memory: the large texts of a document (a vector's values, the text a document
// is parsed from) lie in reused large rooms, so that saving and loading large records in
// turn does not fault their pages in afresh each time.
void* XmlAllocate(size_t Size) {
    if (Size >= LargeRoomBytes)
        if (void* room = AcquireLargeRoom(Size))
            return room;
    return std::malloc(Size);
}

void XmlDeallocate(void* Block) {
    if (!ReleaseLargeRoom(Block))
        std::free(Block);
}

// Installed before any document exists; a block of the default allocation given back
// later is told apart from a room and freed as before.
[[maybe_unused]] const bool XmlMemoryInstalled =
    (pugi::set_memory_management_functions(XmlAllocate, XmlDeallocate), true);

std::string Utf8(const QString& Text) {
    return Text.toStdString();
}

QString FromUtf8(const char* Text) {
    return QString::fromUtf8(Text);
}

int ParseInteger(std::string_view Text) {
    int value = 0;
    const auto [end, error] = std::from_chars(Text.data(), Text.data() + Text.size(), value);
    if (Text.empty() || error != std::errc() || end != Text.data() + Text.size())
        throw EVxConvertError("'" + std::string(Text) + "' is not a valid integer value");
    return value;
}

// Parse options that keep texts exactly: no end-of-line or whitespace normalisation.
// An element's text is kept inside the element rather than in a child node (text() and
// child_value() read it either way): half the nodes for records of many small items.
constexpr unsigned ExactParse =
    (pugi::parse_default & ~pugi::parse_eol & ~pugi::parse_wconv_attribute) |
    pugi::parse_embed_pcdata;

} // namespace

void SetXmlText(pugi::xml_node Node, const char* Name, const QString& Value) {
    pugi::xml_attribute attribute = Node.attribute(Name);
    if (!attribute)
        attribute = Node.append_attribute(Name);
    attribute.set_value(Utf8(Value).c_str());
}

void SetXmlBool(pugi::xml_node Node, const char* Name, bool Value) {
    SetXmlText(Node, Name, Value ? "True" : "False");
}

void SetXmlInt(pugi::xml_node Node, const char* Name, long long Value) {
    SetXmlText(Node, Name, QString::number(Value));
}

void SetXmlFloat(pugi::xml_node Node, const char* Name, double Value) {
    SetXmlText(Node, Name, FloatToInvariantText(Value));
}

void SetXmlColor(pugi::xml_node Node, const char* Name, TVxColor Value, bool IncludeSystem) {
    SetXmlText(Node, Name, ColorToText(Value, IncludeSystem));
}

void SetXmlComponent(pugi::xml_node Node, const char* Name, const QObject* Component) {
    SetXmlText(Node, Name, ComponentPath(Component));
}

QString XmlText(pugi::xml_node Node, const char* Name, const QString& Default) {
    const pugi::xml_attribute attribute = Node.attribute(Name);
    return attribute ? FromUtf8(attribute.value()) : Default;
}

bool XmlBool(pugi::xml_node Node, const char* Name, bool Default) {
    const pugi::xml_attribute attribute = Node.attribute(Name);
    if (!attribute)
        return Default;
    const QString text = FromUtf8(attribute.value()).trimmed();
    if (text.compare("True", Qt::CaseInsensitive) == 0)
        return true;
    bool ok = false;
    const long long number = text.toLongLong(&ok);
    return ok && number != 0;
}

int XmlInt(pugi::xml_node Node, const char* Name, int Default) {
    const pugi::xml_attribute attribute = Node.attribute(Name);
    return attribute ? ParseInteger(attribute.value()) : Default;
}

int XmlElementInt(pugi::xml_node Node) {
    return ParseInteger(Node.text().get());
}

int XmlIntInRange(pugi::xml_node Node, const char* Name, int Min, int Max, int Default) {
    const int value = XmlInt(Node, Name, Default);
    if (value < Min || value > Max)
        throw EVxConvertError("Value " + std::to_string(value) + " of " + Name + " out of range");
    return int(value);
}

double XmlFloat(pugi::xml_node Node, const char* Name, double Default) {
    const pugi::xml_attribute attribute = Node.attribute(Name);
    return attribute ? InvariantTextToFloat(std::string_view(attribute.value())) : Default;
}

TVxColor XmlColor(pugi::xml_node Node, const char* Name, TVxColor Default) {
    const pugi::xml_attribute attribute = Node.attribute(Name);
    return attribute ? ColorFromText(FromUtf8(attribute.value())) : Default;
}

QObject* XmlComponent(pugi::xml_node Node, const char* Name) {
    const QString path = XmlText(Node, Name);
    return path.isEmpty() ? nullptr : FindComponentByPath(path);
}

QString XmlElementText(pugi::xml_node Node) {
    return FromUtf8(Node.text().get());
}

void SetXmlElementText(pugi::xml_node Node, const QString& Value) {
    Node.text().set(Utf8(Value).c_str());
}

namespace {

// Hands pugixml's output to a sink. The writer escapes CR in attributes but writes it raw
// in element text, where any parser would turn it into LF. Indentation uses LF only, so
// every CR that arrives here belongs to a text and becomes a character reference.
class TCrEscapingWriter final : public pugi::xml_writer {
public:
    explicit TCrEscapingWriter(const TVxByteSink& Sink) : FSink(Sink) {}
    void write(const void* Data, size_t Size) override {
        const char* p = static_cast<const char*>(Data);
        const char* end = p + Size;
        while (p != end) {
            const auto* cr = static_cast<const char*>(std::memchr(p, '\r', size_t(end - p)));
            const char* stop = cr != nullptr ? cr : end;
            if (stop != p)
                FSink(p, qint64(stop - p));
            if (cr == nullptr)
                break;
            FSink("&#13;", 5);
            p = cr + 1;
        }
    }

private:
    const TVxByteSink& FSink;
};

void SaveXmlTo(const pugi::xml_document& Document, const TVxByteSink& Sink,
               const std::function<void(std::size_t)>& Reserve = {}) {
    TCrEscapingWriter writer(Sink);
    SaveXmlWithItemLists(Document, writer, Reserve);
}

} // namespace

QByteArray SaveXmlDocument(const pugi::xml_document& Document) {
    QByteArray text;
    SaveXmlTo(
        Document,
        [&text](const char* Data, qint64 Size) {
            // Doubling room, large rooms in huge pages: a long text is not faulted in page by
            // page.
            if (text.size() + Size > text.capacity())
                ReserveLarge(text, std::max(2 * text.capacity(), text.size() + qsizetype(Size)));
            text.append(Data, Size);
        },
        // Room for the item lists at once: a long text is neither moved nor faulted in twice.
        [&text](std::size_t ItemBytes) { ReserveLarge(text, qsizetype(ItemBytes) + 65536); });
    return text;
}

void SaveXmlFile(const pugi::xml_document& Document, const QString& FileName) {
    // Streamed to the file: the text of a large document never exists whole in memory.
    WriteFileAtomically(FileName, [&](const TVxByteSink& Sink) { SaveXmlTo(Document, Sink); });
}

void LoadXmlDocument(pugi::xml_document& Document, const QByteArray& Text) {
    // The parser works on its own copy of the text, which the document then owns; it is
    // made here so that a large one lies in huge pages. A vector's Item lines become one
    // text in the tree first (no node per value); a text that does not parse is parsed
    // again as it is, so that the error's offset is the one in the text as given.
    const size_t size = size_t(Text.size());
    const auto parse = [&](bool Compact) {
        void* copy = pugi::get_memory_allocation_function()(std::max<size_t>(size, 1));
        if (copy == nullptr)
            throw EVxStreamError("Not enough memory for the XML text");
        AdviseLargeRoom(copy, size);
        // Compacting while copying: the room a list gave up is never touched.
        size_t length = size;
        if (Compact)
            length = CopyCompactingItemLists(Text.constData(), size, static_cast<char*>(copy));
        else
            std::memcpy(copy, Text.constData(), size);
        return std::pair(
            Document.load_buffer_inplace_own(copy, length, ExactParse, pugi::encoding_utf8),
            length != size);
    };
    auto [result, compacted] = parse(true);
    if (!result && compacted)
        result = parse(false).first;
    else if (compacted)
        SplitUnwritableItemLists(Document);
    if (!result)
        throw EVxStreamError(std::string("XML error at offset ") + std::to_string(result.offset) +
                             ": " + result.description());
}

void LoadXmlFile(pugi::xml_document& Document, const QString& FileName) {
    LoadXmlDocument(Document, ReadWholeFile(FileName));
}

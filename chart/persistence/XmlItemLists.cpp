#include "persistence/XmlItemLists.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

struct TWordChars {
    bool Is[256] = {};
    constexpr TWordChars() {
        for (int c = 0; c < 256; ++c)
            Is[c] = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                    c == '+' || c == '-' || c == '.';
    }
};
constexpr TWordChars WordChars;

inline bool IsWord(char c) {
    return WordChars.Is[static_cast<unsigned char>(c)];
}

constexpr std::string_view Indent = "  ";
constexpr std::string_view ListName = "Values", OwnerName = "TVxDoubleVector";
constexpr std::string_view ItemOpen = "<Item>", ItemClose = "</Item>";
constexpr std::string_view ListClose = "</Values>";

// The element's text when it holds nothing else (a text child, or the text kept in the
// element itself by the parser); nullptr otherwise.
const char* SoleText(pugi::xml_node Node) {
    const pugi::xml_node child = Node.first_child();
    if (!child)
        return *Node.value() != '\0' ? Node.value() : nullptr;
    if (*Node.value() != '\0' || child.next_sibling() || child.type() != pugi::node_pcdata)
        return nullptr;
    return child.value();
}

// Sixteen bytes at once (a compiler vector type: SSE2 and the like where there are such).
using TBytes = unsigned char __attribute__((vector_size(16)));

// True when the 16 bytes at p are all item-word characters or spaces, with no two spaces
// in a row (Next holds the bytes from p + 1).
bool AllWordBytes(const TBytes Bytes, const TBytes Next) {
    const TBytes zero{};
    const auto digit = (Bytes - (zero + '0')) < (zero + 10);
    const auto letter = ((Bytes | (zero + 0x20)) - (zero + 'a')) < (zero + 26);
    const auto space = Bytes == (zero + ' ');
    const auto other = (Bytes == (zero + '+')) | (Bytes == (zero + '-')) | (Bytes == (zero + '.'));
    const auto bad = ~(digit | letter | space | other) | (space & (Next == (zero + ' ')));
    std::uint64_t halves[2];
    std::memcpy(halves, &bad, sizeof halves);
    return (halves[0] | halves[1]) == 0;
}

// The number of item-word characters at the start of the 32 bytes at p.
std::size_t WordLength32(const char* p) {
    const TBytes zero{};
    std::size_t length = 0;
    for (int half = 0; half < 2; ++half) {
        TBytes bytes;
        std::memcpy(&bytes, p + 16 * half, 16);
        const auto digit = (bytes - (zero + '0')) < (zero + 10);
        const auto letter = ((bytes | (zero + 0x20)) - (zero + 'a')) < (zero + 26);
        const auto other =
            (bytes == (zero + '+')) | (bytes == (zero + '-')) | (bytes == (zero + '.'));
        const auto bad = ~(digit | letter | other);
        std::uint64_t lanes[2];
        std::memcpy(lanes, &bad, sizeof lanes);
        // The first byte in memory is the lowest of a little-endian word.
        const auto first = [](std::uint64_t Lanes) {
            return std::size_t((std::endian::native == std::endian::little
                                    ? std::countr_zero(Lanes)
                                    : std::countl_zero(Lanes)) /
                               8);
        };
        if (lanes[0] != 0)
            return length + first(lanes[0]);
        if (lanes[1] != 0)
            return length + 8 + first(lanes[1]);
        length += 16;
    }
    return length;
}

// The spaces in Text, sixteen bytes at a time.
std::size_t CountSpaces(std::string_view Text) {
    const char* p = Text.data();
    const char* const end = p + Text.size();
    std::size_t spaces = 0;
    while (end - p >= 16) {
        // Up to 255 blocks add into one byte per lane before they are summed.
        TBytes lanes{};
        for (int block = 0; block < 255 && end - p >= 16; ++block, p += 16) {
            TBytes bytes;
            std::memcpy(&bytes, p, 16);
            lanes -= (TBytes)(bytes == (TBytes{} + ' '));
        }
        for (int k = 0; k < 16; ++k)
            spaces += lanes[k];
    }
    for (; p != end; ++p)
        spaces += *p == ' ' ? 1 : 0;
    return spaces;
}

// Words of item-word characters separated by single spaces; a long list is checked
// sixteen bytes at a time.
bool IsWordList(std::string_view Text) {
    if (Text.empty() || Text.front() == ' ' || Text.back() == ' ')
        return false;
    const char* p = Text.data();
    const char* const end = p + Text.size();
    for (; end - p > 16; p += 16) {
        TBytes bytes, next;
        std::memcpy(&bytes, p, 16);
        std::memcpy(&next, p + 1, 16);
        if (!AllWordBytes(bytes, next))
            return false;
    }
    for (; p != end; ++p)
        if (*p == ' ' ? p[1] == ' ' : !IsWord(*p))
            return false;
    return true;
}

// True for an item list, whose words are then Text.
bool IsItemList(pugi::xml_node Node, std::string_view& Text) {
    if (Node.type() != pugi::node_element || ListName != Node.name() ||
        OwnerName != Node.parent().name() || Node.parent().type() != pugi::node_element)
        return false;
    const char* text = SoleText(Node);
    if (text == nullptr)
        return false;
    Text = text;
    return IsWordList(Text);
}

// An element's own text or text children change pugixml's layout of its children: such
// an element is written by pugixml whole.
bool HoldsText(pugi::xml_node Node) {
    if (*Node.value() != '\0')
        return true;
    for (pugi::xml_node child : Node.children())
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            return true;
    return false;
}

class TItemListWriter {
public:
    // Writer may be null for a writer that only measures.
    explicit TItemListWriter(const pugi::xml_document& Document, pugi::xml_writer* Writer = nullptr)
        : FWriter(Writer) {
        // The elements on the way to every item list that can be written as lines.
        std::vector<pugi::xml_node> pending{Document};
        while (!pending.empty()) {
            const pugi::xml_node node = pending.back();
            pending.pop_back();
            for (pugi::xml_node child : node.children()) {
                std::string_view text;
                if (IsItemList(child, text))
                    MarkPath(child, text);
                else if (child.type() == pugi::node_element)
                    pending.push_back(child);
            }
        }
    }

    bool Empty() const { return FLists.empty(); }

    // The item lists inside an element with a text of its own: written as they are.
    const std::vector<pugi::xml_node>& Unwritable() const { return FUnwritable; }

    // Per word: a line's indent, "<Item>" and "</Item>" and its line feed instead of the
    // space; the close tag of the list.
    std::size_t FileBytes() const {
        std::size_t bytes = 0;
        for (const auto& [object, text] : FLists) {
            const pugi::xml_node list(object);
            unsigned depth = 0;
            for (pugi::xml_node node = list; node.parent(); node = node.parent())
                ++depth;
            bytes += text.size() + (CountSpaces(text) + 1) * (2 * depth + 14) + 2 * depth + 16;
        }
        return bytes;
    }

    void Write(const pugi::xml_document& Document) {
        bool declared = false;
        for (pugi::xml_node child : Document.children())
            declared = declared || child.type() == pugi::node_declaration;
        if (!declared)
            Put("<?xml version=\"1.0\"?>\n");
        for (pugi::xml_node child : Document.children())
            WriteNode(child, 0);
        Flush();
    }

private:
    void MarkPath(pugi::xml_node List, std::string_view Text) {
        std::vector<pugi::xml_node> path;
        for (pugi::xml_node node = List.parent(); node.type() == pugi::node_element;
             node = node.parent()) {
            if (HoldsText(node)) {
                FUnwritable.push_back(List);
                return;
            }
            path.push_back(node);
        }
        FLists.emplace(List.internal_object(), Text);
        for (const pugi::xml_node node : path)
            FOnPath.insert(node.internal_object());
    }

    void WriteNode(pugi::xml_node Node, unsigned Depth) {
        const auto found = FLists.find(Node.internal_object());
        const bool list = found != FLists.end();
        if (!list && FOnPath.count(Node.internal_object()) == 0) {
            Flush();
            Node.print(*FWriter, "  ", pugi::format_default, pugi::encoding_utf8, Depth);
            return;
        }
        PutIndent(Depth);
        PutStartTag(Node);
        if (list) {
            WriteWords(found->second, Depth + 1);
            Put("\n");
        } else {
            for (pugi::xml_node child : Node.children())
                WriteNode(child, Depth + 1);
        }
        PutIndent(Depth);
        Put("</");
        Put(Node.name());
        Put(">\n");
    }

    // One "<Item>word</Item>" line per word at Depth, laid out straight into the buffer
    // (the start tag ended its line; the last line is left open). Short pieces are copied
    // as fixed blocks of LineRoom bytes, which the buffer's spare room takes.
    void WriteWords(std::string_view Text, unsigned Depth) {
        std::string lineStart = "\n";
        for (unsigned k = 0; k < Depth; ++k)
            lineStart += Indent;
        lineStart += ItemOpen;
        const size_t startSize = lineStart.size();
        lineStart.resize(std::max(startSize, LineRoom) + 1);
        const char* p = Text.data();
        const char* const end = p + Text.size();
        Flush();
        FBuffer.resize(BufferSize + 3 * LineRoom);
        char* const begin = FBuffer.data();
        char* out = begin;
        bool firstLine = true;
        while (p != end) {
            const char* word = p;
            const auto* space = static_cast<const char*>(std::memchr(p, ' ', size_t(end - p)));
            p = space != nullptr ? space : end;
            const size_t length = size_t(p - word);
            if (p != end)
                ++p;
            if (size_t(out - begin) >= BufferSize) {
                FWriter->write(begin, size_t(out - begin));
                out = begin;
            }
            const size_t skip = firstLine ? 1 : 0;
            firstLine = false;
            if (startSize > LineRoom || length > LineRoom) { // deep or long: written apart
                FWriter->write(begin, size_t(out - begin));
                out = begin;
                FWriter->write(lineStart.data() + skip, startSize - skip);
                FWriter->write(word, length);
                FWriter->write(ItemClose.data(), ItemClose.size());
                continue;
            }
            std::memcpy(out, lineStart.data() + skip, LineRoom);
            out += startSize - skip;
            if (size_t(end - word) >= LineRoom)
                std::memcpy(out, word, LineRoom);
            else
                std::memcpy(out, word, length);
            out += length;
            std::memcpy(out, ItemClose.data(), ItemClose.size());
            out += ItemClose.size();
        }
        FBuffer.resize(size_t(out - begin));
    }

    // The start tag as pugixml writes it: taken from a copy of the element with its
    // attributes and one child, whose first line it is.
    void PutStartTag(pugi::xml_node Node) {
        pugi::xml_document shallow;
        pugi::xml_node copy = shallow.append_child(Node.name());
        for (pugi::xml_attribute attribute : Node.attributes())
            copy.append_copy(attribute);
        copy.append_child("x");
        struct TCollect final : pugi::xml_writer {
            std::string Text;
            void write(const void* Data, size_t Size) override {
                Text.append(static_cast<const char*>(Data), Size);
            }
        } collect;
        copy.print(collect, "  ", pugi::format_default, pugi::encoding_utf8, 0);
        Put(std::string_view(collect.Text).substr(0, collect.Text.find('\n') + 1));
    }

    void PutIndent(unsigned Depth) {
        for (unsigned k = 0; k < Depth; ++k)
            Put(Indent);
    }

    void Put(std::string_view Text) {
        if (FBuffer.size() + Text.size() > BufferSize)
            Flush();
        if (Text.size() > BufferSize)
            FWriter->write(Text.data(), Text.size());
        else
            FBuffer.append(Text);
    }

    void Flush() {
        if (!FBuffer.empty())
            FWriter->write(FBuffer.data(), FBuffer.size());
        FBuffer.clear();
    }

    static constexpr size_t BufferSize = 1 << 16;
    static constexpr size_t LineRoom = 32;
    pugi::xml_writer* FWriter;
    std::string FBuffer;
    std::unordered_map<pugi::xml_node_struct*, std::string_view> FLists; // and their words
    std::unordered_set<pugi::xml_node_struct*> FOnPath;
    std::vector<pugi::xml_node> FUnwritable;
};

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool StartsWith(const char* p, const char* End, std::string_view Text) {
    return size_t(End - p) >= Text.size() && std::memcmp(p, Text.data(), Text.size()) == 0;
}

// The position after the first Terminator at or after p, or nullptr.
const char* SkipPast(const char* p, const char* End, std::string_view Terminator) {
    const void* found = memmem(p, size_t(End - p), Terminator.data(), Terminator.size());
    return found == nullptr ? nullptr : static_cast<const char*>(found) + Terminator.size();
}

// After a start tag's name at p: the position after its ">", with SelfClosing set;
// nullptr when the tag does not end.
const char* SkipTag(const char* p, const char* End, bool& SelfClosing) {
    char previous = 0;
    while (p != End) {
        const char c = *p++;
        if (c == '"' || c == '\'') {
            const void* quote = std::memchr(p, c, size_t(End - p));
            if (quote == nullptr)
                return nullptr;
            p = static_cast<const char*>(quote) + 1;
            previous = c;
            continue;
        }
        if (c == '>') {
            SelfClosing = previous == '/';
            return p;
        }
        previous = c;
    }
    return nullptr;
}

// Reads the Item lines at p up to and including "</Values>" and writes their words at
// Write, separated by single spaces. Returns the end, or nullptr when anything else stands
// there.
const char* CompactItems(const char* p, const char* End, char*& Write) {
    bool first = true;
    while (true) {
        while (p != End && IsSpace(*p))
            ++p;
        if (StartsWith(p, End, ListClose))
            return first ? nullptr : p + ListClose.size();
        if (!StartsWith(p, End, ItemOpen))
            return nullptr;
        p += ItemOpen.size();
        if (!first)
            *Write++ = ' ';
        const char* word = p;
        if (End - p >= 32) {
            // A word of up to 31 characters is found and copied 32 bytes at a time (the
            // copy trails the text read, so the target has that room).
            const std::size_t length = WordLength32(p);
            std::memcpy(Write, p, 32);
            Write += length;
            p += length;
        }
        while (p != End && IsWord(*p))
            *Write++ = *p++;
        if (p == word || !StartsWith(p, End, ItemClose))
            return nullptr;
        p += ItemClose.size();
        first = false;
    }
}

} // namespace

bool IsItemWordChar(char c) {
    return IsWord(c);
}

void SplitUnwritableItemLists(pugi::xml_document& Document) {
    const TItemListWriter lists(Document);
    for (pugi::xml_node list : lists.Unwritable()) {
        const std::string text = SoleText(list);
        list.text().set(""); // also a text the parser kept inside the element
        list.remove_children();
        size_t start = 0;
        while (start <= text.size()) {
            size_t stop = text.find(' ', start);
            if (stop == std::string::npos)
                stop = text.size();
            list.append_child("Item").text().set(text.substr(start, stop - start).c_str());
            start = stop + 1;
        }
    }
}

std::size_t ItemListFileBytes(const pugi::xml_document& Document) {
    return TItemListWriter(Document).FileBytes();
}

void SaveXmlWithItemLists(const pugi::xml_document& Document, pugi::xml_writer& Writer,
                          const std::function<void(std::size_t)>& Reserve) {
    TItemListWriter writer(Document, &Writer);
    if (Reserve)
        Reserve(writer.FileBytes());
    if (writer.Empty())
        Document.save(Writer, "  ", pugi::format_default, pugi::encoding_utf8);
    else
        writer.Write(Document);
}

std::size_t CopyCompactingItemLists(const char* Source, std::size_t Size, char* Target) {
    const char* const end = Source + Size;
    const char* read = Source;      // everything before was handled
    char* write = Target;           // where the handled text goes
    const char* scan = Source;      // where to look for the next markup
    const char* ownerEnd = nullptr; // the end of the last start tag, when it opened a vector
    const auto keep = [&](const char* Until) {
        std::memcpy(write, read, size_t(Until - read));
        write += Until - read;
        read = Until;
    };
    while (true) {
        const auto* open = static_cast<const char*>(std::memchr(scan, '<', size_t(end - scan)));
        if (open == nullptr)
            break;
        const char* p = open + 1;
        const char* next = nullptr;
        if (StartsWith(p, end, "!--"))
            next = SkipPast(p + 3, end, "-->");
        else if (StartsWith(p, end, "![CDATA["))
            next = SkipPast(p + 8, end, "]]>");
        else if (StartsWith(p, end, "?"))
            next = SkipPast(p + 1, end, "?>");
        else if (StartsWith(p, end, "!") || StartsWith(p, end, "/")) {
            // A document type may hold markup of its own: nothing after it is rewritten.
            if (*p == '!')
                break;
            next = static_cast<const char*>(std::memchr(p, '>', size_t(end - p)));
            next = next != nullptr ? next + 1 : nullptr;
        } else {
            const char* name = p;
            while (p != end && !IsSpace(*p) && *p != '/' && *p != '>')
                ++p;
            const std::string_view tagName(name, size_t(p - name));
            bool selfClosing = false;
            next = SkipTag(p, end, selfClosing);
            if (next != nullptr && !selfClosing && tagName == ListName && ownerEnd != nullptr) {
                bool first = true;
                for (const char* q = ownerEnd; q != open && first; ++q)
                    first = IsSpace(*q);
                if (first) {
                    // "<Values ...>" stays; the words follow. What turns out to be no item
                    // list is copied as it is.
                    keep(next);
                    char* const start = write;
                    const char* listEnd = CompactItems(next, end, write);
                    if (listEnd != nullptr) {
                        read = listEnd - ListClose.size();
                        next = listEnd;
                    } else {
                        write = start;
                    }
                }
            }
            ownerEnd = next != nullptr && !selfClosing && tagName == OwnerName ? next : nullptr;
            if (next == nullptr)
                break;
            scan = next;
            continue;
        }
        if (next == nullptr)
            break;
        ownerEnd = nullptr;
        scan = next;
    }
    keep(end);
    return size_t(write - Target);
}

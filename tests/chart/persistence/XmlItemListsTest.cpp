// A vector's values are one text in the element tree and one Item line per value in the
// file. The file layout is checked against pugixml's own writer given the same document
// with Item elements, and loading against pugixml's own parser: everything that is not a
// complete item list must come out exactly as pugixml alone gives it.
#include "persistence/XmlCodec.h"
#include "util/Exceptions.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The parse options of LoadXmlDocument: texts kept exactly, element texts inside elements.
constexpr unsigned ExactParse =
    (pugi::parse_default & ~pugi::parse_eol & ~pugi::parse_wconv_attribute) |
    pugi::parse_embed_pcdata;

struct TStringWriter final : pugi::xml_writer {
    std::string Text;
    void write(const void* Data, size_t Size) override {
        Text.append(static_cast<const char*>(Data), Size);
    }
};

std::string PugiSave(const pugi::xml_document& Document) {
    TStringWriter writer;
    Document.save(writer, "  ", pugi::format_default, pugi::encoding_utf8);
    return writer.Text;
}

std::string OurSave(const pugi::xml_document& Document) {
    return SaveXmlDocument(Document).toStdString();
}

// Replaces the text of every "Values" element under a "TVxDoubleVector" element by one
// "Item" element per word.
void SplitIntoItems(pugi::xml_node Node) {
    for (pugi::xml_node child : Node.children()) {
        if (child.type() != pugi::node_element)
            continue;
        if (std::string_view(child.name()) == "Values" &&
            std::string_view(Node.name()) == "TVxDoubleVector" && *child.text().get() != '\0') {
            const std::string text = child.text().get();
            child.text().set(""); // also a text the parser kept inside the element
            child.remove_children();
            size_t start = 0;
            while (start <= text.size()) {
                size_t stop = text.find(' ', start);
                if (stop == std::string::npos)
                    stop = text.size();
                child.append_child("Item").text().set(text.substr(start, stop - start).c_str());
                start = stop + 1;
            }
        } else {
            SplitIntoItems(child);
        }
    }
}

// Documents in their tree form: a vector alone, nested in a record among other elements
// with texts, comments, a declaration and attributes that need escaping, and one value.
const char* const TreeForms[] = {
    "<TVxDoubleVector Name=\"V\" Increment=\"128\" Capacity=\"128\"><Values Count=\"3\">1.5 -0 "
    "NAN</Values></TVxDoubleVector>",
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><!-- saved --><Chart Title=\"a&amp;b &quot;c&quot;"
    "&#10;d&#9;e &lt;&gt;\"><Series Kind=\"1\"/><Zoom><TVxDoubleVector Name=\"Z\"><Values "
    "Count=\"2\">1E+20 -INF</Values><Outliers Count=\"1\"><Item>0</Item></Outliers>"
    "</TVxDoubleVector><TVxDoubleVector><Values Count=\"1\">0.1</Values></TVxDoubleVector>"
    "</Zoom><Note>text &amp; more</Note></Chart>",
    "<TVxDoubleVector><Values Count=\"1\">7</Values></TVxDoubleVector>",
};

// Declarations and comments are kept unless Options are LoadXmlDocument's.
pugi::xml_document Parsed(const char* Text, unsigned Options = pugi::parse_default |
                                                               pugi::parse_declaration |
                                                               pugi::parse_comments) {
    pugi::xml_document document;
    EXPECT_TRUE(document.load_string(Text, Options)) << Text;
    return document;
}

// pugixml's result for the text as LoadXmlDocument parses it: in place, in a copy that the
// document owns.
pugi::xml_parse_result PugiLoad(pugi::xml_document& Document, const std::string& Text) {
    void* copy = pugi::get_memory_allocation_function()(std::max<size_t>(Text.size(), 1));
    std::memcpy(copy, Text.data(), Text.size());
    return Document.load_buffer_inplace_own(copy, Text.size(), ExactParse, pugi::encoding_utf8);
}

} // namespace

TEST(XmlItemListsTest, FileHoldsOneItemLinePerValueAsPugixmlWritesThem) {
    for (const char* tree : TreeForms) {
        SCOPED_TRACE(tree);
        const pugi::xml_document compact = Parsed(tree);
        pugi::xml_document items = Parsed(tree);
        SplitIntoItems(items);
        EXPECT_EQ(OurSave(compact), PugiSave(items));
        // Items built by a caller are written as they are.
        EXPECT_EQ(OurSave(items), PugiSave(items));
    }
}

TEST(XmlItemListsTest, LoadingGivesTheTreeFormAndSavingTheSameText) {
    for (const char* tree : TreeForms) {
        SCOPED_TRACE(tree);
        pugi::xml_document items = Parsed(tree);
        SplitIntoItems(items);
        const std::string file = PugiSave(items);
        pugi::xml_document loaded;
        LoadXmlDocument(loaded, QByteArray::fromStdString(file));
        const pugi::xml_document compact = Parsed(tree, ExactParse);
        EXPECT_EQ(PugiSave(loaded), PugiSave(compact));
        pugi::xml_document fileItems;
        ASSERT_TRUE(PugiLoad(fileItems, file));
        EXPECT_EQ(OurSave(loaded), PugiSave(fileItems));
    }
    pugi::xml_document loaded;
    LoadXmlDocument(loaded, "<TVxDoubleVector>\n  <Values Count=\"2\">\n    <Item>1</Item>\n    "
                            "<Item>-2.5E-7</Item>\n  </Values>\n</TVxDoubleVector>");
    const pugi::xml_node values = loaded.child("TVxDoubleVector").child("Values");
    EXPECT_STREQ(values.text().get(), "1 -2.5E-7");
    EXPECT_FALSE(values.first_child());
}

// Anything that is not a complete list of plain Item words as the first child of a vector
// loads as pugixml parses it.
TEST(XmlItemListsTest, EverythingElseLoadsAsPugixmlParsesIt) {
    const char* const texts[] = {
        "<TVxDoubleVector><Values><Item> 1 </Item></Values></TVxDoubleVector>",
        "<TVxDoubleVector><Values><Item>1</Item><Item/></Values></TVxDoubleVector>",
        "<TVxDoubleVector><Values><Item>&#49;</Item></Values></TVxDoubleVector>",
        "<TVxDoubleVector><Values><Item>1</Item>x<Item>2</Item></Values></TVxDoubleVector>",
        "<TVxDoubleVector><Values><Item A=\"1\">1</Item></Values></TVxDoubleVector>",
        "<TVxDoubleVector><Values><Item>1</Item><Other>2</Other></Values></TVxDoubleVector>",
        "<TVxDoubleVector><Values><Item>1</Item></Values ></TVxDoubleVector>",
        "<TVxDoubleVector><Values><Item>1</Item><!-- c --></Values></TVxDoubleVector>",
        "<TVxDoubleVector><Values></Values></TVxDoubleVector>",
        "<TVxDoubleVector><Values Count=\"0\"/></TVxDoubleVector>",
        "<TVxDoubleVector><Other/><Values><Item>1</Item></Values></TVxDoubleVector>",
        "<TVxDoubleVector><!-- c --><Values><Item>1</Item></Values></TVxDoubleVector>",
        "<TVxDoubleVector/><Values><Item>1</Item></Values>",
        "<Series><Values><Item>1</Item></Values></Series>",
        "<R><![CDATA[<TVxDoubleVector><Values><Item>1</Item></Values>]]></R>",
        "<R><!-- <TVxDoubleVector><Values><Item>1</Item></Values> --></R>",
        "<R A=\"<TVxDoubleVector>\"><Values><Item>1</Item></Values></R>",
        "<R><?pi <TVxDoubleVector><Values><Item>1</Item></Values>?></R>",
        "<!DOCTYPE R [<!ENTITY e \"<Values>\">]><TVxDoubleVector><Values><Item>1</Item></Values>"
        "</TVxDoubleVector>",
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        pugi::xml_document ours, theirs;
        LoadXmlDocument(ours, text);
        ASSERT_TRUE(PugiLoad(theirs, text));
        EXPECT_EQ(PugiSave(ours), PugiSave(theirs));
    }
}

// Every cut of a file either loads as pugixml loads it or fails with pugixml's error at
// the same offset of the text as given.
TEST(XmlItemListsTest, CutTextsLoadOrFailAsPugixmlDoes) {
    const std::string file = "<R>\n  <TVxDoubleVector Name=\"V\">\n    <Values Count=\"2\">\n      "
                             "<Item>1.5</Item>\n      <Item>2</Item>\n    </Values>\n  "
                             "</TVxDoubleVector>\n  <Tail A=\"1\"/>\n</R>\n";
    for (size_t length = 0; length <= file.size(); ++length) {
        const std::string text = file.substr(0, length);
        SCOPED_TRACE(text);
        pugi::xml_document theirs;
        const pugi::xml_parse_result expected = PugiLoad(theirs, text);
        pugi::xml_document ours;
        if (expected) {
            LoadXmlDocument(ours, QByteArray::fromStdString(text));
            pugi::xml_document split;
            split.reset(ours);
            SplitIntoItems(split);
            EXPECT_EQ(PugiSave(split), PugiSave(theirs));
        } else {
            try {
                LoadXmlDocument(ours, QByteArray::fromStdString(text));
                ADD_FAILURE() << "loaded";
            } catch (const EVxStreamError& error) {
                EXPECT_EQ(std::string(error.what()), "XML error at offset " +
                                                         std::to_string(expected.offset) + ": " +
                                                         expected.description());
            }
        }
    }
}

// Inside an element with a text of its own pugixml keeps the layout as it is: such a list
// stays Item elements in the tree, so that the document saves as it came and again the same.
TEST(XmlItemListsTest, ListsInsideTextsSaveAsTheyCame) {
    const char* const texts[] = {
        "<TVxDoubleVector Name=\"V\">\n  <Values>\n    <Item>1.5</Item>\n    <Item>NAN</Item>\n"
        "  </Values>\n\x08</TVxDoubleVector>\n",
        "<R>x<TVxDoubleVector><Values><Item>1</Item><Item>2</Item></Values></TVxDoubleVector></R>",
        "<R><![CDATA[c]]><Z><TVxDoubleVector><Values><Item>1</Item></Values></TVxDoubleVector>"
        "</Z></R>",
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        pugi::xml_document ours, theirs;
        LoadXmlDocument(ours, text);
        ASSERT_TRUE(PugiLoad(theirs, text));
        const std::string saved = OurSave(ours);
        EXPECT_EQ(saved, PugiSave(theirs));
        pugi::xml_document again;
        LoadXmlDocument(again, QByteArray::fromStdString(saved));
        EXPECT_EQ(OurSave(again), saved);
    }
}

// A long list is checked many bytes at a time: a character that needs escaping or an empty
// word anywhere in it keeps the whole list one text, written (escaped) as pugixml writes it.
TEST(XmlItemListsTest, ListWithAnythingButWordsIsWrittenAsItIs) {
    std::string words;
    for (int k = 0; k < 40; ++k)
        words += (k > 0 ? " " : "") + std::to_string(k * 7919) + ".5E-" + std::to_string(k);
    for (const std::string_view bad : {"&", "<", " ", "\t", ">", "\x01", "\xC3\xA9"}) {
        for (size_t at = 1; at < words.size(); at += 5) {
            std::string text = words;
            text.insert(at, bad);
            SCOPED_TRACE(text);
            pugi::xml_document doc;
            doc.append_child("TVxDoubleVector").append_child("Values").text().set(text.c_str());
            const bool wordList = bad == " " && text[at - 1] != ' ' && text[at + 1] != ' ';
            pugi::xml_document items;
            items.reset(doc);
            if (wordList)
                SplitIntoItems(items);
            EXPECT_EQ(OurSave(doc), PugiSave(items));
        }
    }
}

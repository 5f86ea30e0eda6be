#pragma once
// Item lists: the values of a vector are one "Item" element each in an XML file, but one
// text in the element tree. An element named "Values" that is the child of a
// "TVxDoubleVector" element and whose text is a list of plain words separated by single
// spaces ("1.5 -2 NAN") is written as one "<Item>word</Item>" line per word; loading turns
// such an element (it must be the first child and hold nothing but whitespace and "Item"
// elements with a plain word each) back into the text. Everything else is written and
// loaded as it is, so a document reads back the same either way, and the tree holds no
// node per value.

#include <cstddef>
#include <functional>
#include <pugixml.hpp>

/// Writes Document as pugixml's default layout (two-space indent) with item lists written
/// as Item lines. Reserve, when given, first receives ItemListFileBytes(Document).
void SaveXmlWithItemLists(const pugi::xml_document& Document, pugi::xml_writer& Writer,
                          const std::function<void(std::size_t)>& Reserve = {});

/// Turns the item lists that SaveXmlWithItemLists writes as they are (those inside an
/// element that holds a text of its own, whose layout pugixml keeps) back into Item
/// elements: after CopyCompactingItemLists, so that such a document saves as it came.
void SplitUnwritableItemLists(pugi::xml_document& Document);

/// At least the bytes the item lists of Document take in its file (room to reserve).
std::size_t ItemListFileBytes(const pugi::xml_document& Document);

/// Copies the XML text [Source, Source + Size) to Target (room for Size bytes, not
/// overlapping), turning every item list into its one-text form; returns the size of the
/// copy. Text that is not well-formed is left for the parser to reject: only complete,
/// well-formed item lists are touched.
std::size_t CopyCompactingItemLists(const char* Source, std::size_t Size, char* Target);

/// True for the characters an item list word may hold: letters, digits, "+", "-" and ".".
bool IsItemWordChar(char c);

#pragma once
// The XML encodings shared by every saved chart object: scalars as attributes of an
// element (Booleans "True"/"False", integers decimal, floats as invariant text, colours as
// colour texts), and documents saved and loaded so that every text survives exactly,
// carriage returns, line feeds and tabs included.

#include "drawing/Color.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <pugixml.hpp>

void SetXmlText(pugi::xml_node Node, const char* Name, const QString& Value);
void SetXmlBool(pugi::xml_node Node, const char* Name, bool Value);
void SetXmlInt(pugi::xml_node Node, const char* Name, long long Value);
void SetXmlFloat(pugi::xml_node Node, const char* Name, double Value);
/// The colour's text; system colour names only with IncludeSystem.
void SetXmlColor(pugi::xml_node Node, const char* Name, TVxColor Value, bool IncludeSystem = false);
/// The component's dotted owner path (empty for none).
void SetXmlComponent(pugi::xml_node Node, const char* Name, const QObject* Component);

/// The attribute's text, Default when the attribute is missing.
QString XmlText(pugi::xml_node Node, const char* Name, const QString& Default = {});
/// "True" (any case) or a non-zero number is true; Default when missing.
bool XmlBool(pugi::xml_node Node, const char* Name, bool Default = false);
/// A decimal 32-bit integer; Default when missing; raises EVxConvertError when not one.
int XmlInt(pugi::xml_node Node, const char* Name, int Default = 0);
/// An integer that must lie in Min..Max (enumerations, counts); raises EVxConvertError.
int XmlIntInRange(pugi::xml_node Node, const char* Name, int Min, int Max, int Default);
/// An invariant number text; Default when missing; raises EVxConvertError when not a number.
double XmlFloat(pugi::xml_node Node, const char* Name, double Default = 0);
/// A colour text; Default when missing.
TVxColor XmlColor(pugi::xml_node Node, const char* Name, TVxColor Default = 0);
/// The component a path attribute names, nullptr when empty, missing or unknown.
QObject* XmlComponent(pugi::xml_node Node, const char* Name);

/// The element's text content.
QString XmlElementText(pugi::xml_node Node);
/// The element's text content as a decimal integer; raises EVxConvertError otherwise.
int XmlElementInt(pugi::xml_node Node);
/// Replaces the element's text content.
void SetXmlElementText(pugi::xml_node Node, const QString& Value);

/// The document as UTF-8 XML text. Carriage returns in element text are written as
/// character references, so that any standard parser reads them back.
QByteArray SaveXmlDocument(const pugi::xml_document& Document);
/// Writes the document atomically (a failed save keeps the old file); raises EVxStreamError.
void SaveXmlFile(const pugi::xml_document& Document, const QString& FileName);
/// Parses XML text keeping every character of texts; raises EVxStreamError with the
/// parser's message and offset when the text is not well-formed.
void LoadXmlDocument(pugi::xml_document& Document, const QByteArray& Text);
/// Reads and parses a file; raises EVxStreamError when it cannot be read or parsed.
void LoadXmlFile(pugi::xml_document& Document, const QString& FileName);

#pragma once
// The saved forms of the style objects inside their owners' records: binary stream, XML
// element and ini keys. Readers set every value through the ordinary setters (so undo steps
// are recorded and callbacks fire) and treat their input as hostile: enumerations and sets
// are range-checked and a stream that ends inside a record raises EVxStreamError, keeping
// the values read before.

#include "persistence/BinaryStream.h"
#include "persistence/IniFile.h"
#include "styles/AreaSettings.h"
#include "styles/ArrowSettings.h"
#include "styles/LineSettings.h"
#include "styles/VxFont.h"

#include <pugixml.hpp>

// Binary records.

/// Visible, Color, Width, DashStyle (1 byte), continuation 0; the gradient is not stored.
void WriteLineSettings(TVxStreamWriter& Out, const TVxLineSettings& Line);
/// Reads a line record; the trailing byte is read and ignored.
void ReadLineSettings(TVxStreamReader& In, TVxLineSettings& Line);
/// Color, Width, DashStyle, continuation 1, gradient record, continuation 0.
void WriteSimpleLineSettings(TVxStreamWriter& Out, const TVxSimpleLineSettings& Line);
/// Reads a simple-line record; the gradient and one more byte only when the byte after
/// DashStyle is not 0.
void ReadSimpleLineSettings(TVxStreamReader& In, TVxSimpleLineSettings& Line);
/// Visible, Style, the three colours, LinearAngle, LinearCenter, RadialCenterX,
/// RadialCenterY, continuation 0 (31 bytes).
void WriteGradientSettings(TVxStreamWriter& Out, const TVxGradientSettings& Gradient);
/// Reads a gradient record; the trailing byte is read and ignored.
void ReadGradientSettings(TVxStreamReader& In, TVxGradientSettings& Gradient);
/// Visible, ForeColor, BackColor, AreaStyle, continuation 1, gradient record, continuation 0.
void WriteAreaSettings(TVxStreamWriter& Out, const TVxAreaSettings& Area);
/// Reads an area record; the gradient and one more byte only when the byte after AreaStyle
/// is not 0.
void ReadAreaSettings(TVxStreamReader& In, TVxAreaSettings& Area);
/// Name, rounded Size (32-bit integer), Style, continuation 1, DrawEffects, RenderingHint,
/// FillColor, gradient record, continuation 1, Size (float), continuation 0.
void WriteFontSettings(TVxStreamWriter& Out, const TVxFont& Font);
/// Reads a font record: name, integer size, style, then the groups that follow while the
/// continuation byte is not 0 (an older record keeps the remaining values), then the final
/// byte.
void ReadFontSettings(TVxStreamReader& In, TVxFont& Font);

// XML elements, children of the owner's element Parent.

/// Element Name with "Visible", "Color", "Width", "DashStyle".
void WriteLineSettings(pugi::xml_node Parent, const char* Name, const TVxLineSettings& Line);
/// Reads the child Name; missing attributes keep their values; false when there is no child.
bool ReadLineSettings(pugi::xml_node Parent, const char* Name, TVxLineSettings& Line);
/// Element "Line" with "Color", "Width", "DashStyle".
void WriteSimpleLineSettings(pugi::xml_node Parent, const TVxSimpleLineSettings& Line);
/// Reads the child "Line"; false when there is none.
bool ReadSimpleLineSettings(pugi::xml_node Parent, TVxSimpleLineSettings& Line);
/// Element Name with the nine gradient attributes.
void WriteGradientSettings(pugi::xml_node Parent, const char* Name,
                           const TVxGradientSettings& Gradient);
/// Reads the child Name; false when there is none.
bool ReadGradientSettings(pugi::xml_node Parent, const char* Name, TVxGradientSettings& Gradient);
/// Element "Area" with "Visible", "ForeColor", "BackColor", "AreaStyle" and child "Gradient".
void WriteAreaSettings(pugi::xml_node Parent, const TVxAreaSettings& Area);
/// Reads the child "Area"; false when there is none.
bool ReadAreaSettings(pugi::xml_node Parent, TVxAreaSettings& Area);
/// Element "Font" with "Name", "Size", "Style", "DrawEffects", "RenderingHint", "FillColor"
/// and child "Gradient".
void WriteFontSettings(pugi::xml_node Parent, const TVxFont& Font);
/// Reads the child "Font"; false when there is none.
bool ReadFontSettings(pugi::xml_node Parent, TVxFont& Font);

// Ini keys Prefix + suffix in Section. A missing key keeps the current value, except
// ".Width" (1), ".LinearAngle" (90) and the three centres (0.5).

/// ".Visible", ".Color", ".Width", ".DashStyle".
void WriteLineSettings(TVxIniFile& Ini, const QString& Section, const QString& Prefix,
                       const TVxLineSettings& Line);
void ReadLineSettings(const TVxIniFile& Ini, const QString& Section, const QString& Prefix,
                      TVxLineSettings& Line);
/// ".Color", ".Width", ".DashStyle".
void WriteSimpleLineSettings(TVxIniFile& Ini, const QString& Section, const QString& Prefix,
                             const TVxSimpleLineSettings& Line);
void ReadSimpleLineSettings(const TVxIniFile& Ini, const QString& Section, const QString& Prefix,
                            TVxSimpleLineSettings& Line);
/// ".Visible", ".Style", ".FirstColor", ".MiddleColor", ".LastColor", ".LinearAngle",
/// ".LinearCenter", ".RadialCenterX", ".RadialCenterY".
void WriteGradientSettings(TVxIniFile& Ini, const QString& Section, const QString& Prefix,
                           const TVxGradientSettings& Gradient);
void ReadGradientSettings(const TVxIniFile& Ini, const QString& Section, const QString& Prefix,
                          TVxGradientSettings& Gradient);
/// ".Visible", ".ForeColor", ".BackColor", ".Style" and the gradient under Prefix +
/// ".Gradient".
void WriteAreaSettings(TVxIniFile& Ini, const QString& Section, const QString& Prefix,
                       const TVxAreaSettings& Area);
void ReadAreaSettings(const TVxIniFile& Ini, const QString& Section, const QString& Prefix,
                      TVxAreaSettings& Area);
/// ".Name", ".Size", ".Style", ".DrawEffects", ".RenderingHint", ".FillColor" and the
/// gradient under Prefix + ".Gradient".
void WriteFontSettings(TVxIniFile& Ini, const QString& Section, const QString& Prefix,
                       const TVxFont& Font);
void ReadFontSettings(const TVxIniFile& Ini, const QString& Section, const QString& Prefix,
                      TVxFont& Font);

// Any text read as XML and then as the style elements of its root element.
#include "StyleInvariants.h"
#include "persistence/XmlCodec.h"
#include "styles/StyleRecords.h"
#include "util/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    pugi::xml_document document;
    TVxLineSettings line;
    TVxSimpleLineSettings simple;
    TVxGradientSettings gradient;
    TVxAreaSettings area;
    TVxFont font;
    try {
        LoadXmlDocument(document, QByteArray(reinterpret_cast<const char*>(Data), qsizetype(Size)));
        const pugi::xml_node root = document.first_child();
        ReadLineSettings(root, "Grid", line);
        ReadSimpleLineSettings(root, simple);
        ReadGradientSettings(root, "Gradient", gradient);
        ReadAreaSettings(root, area);
        ReadFontSettings(root, font);
    } catch (const EVxException&) {
    }
    CheckStyles(line, simple, gradient, area, font);
    return 0;
}

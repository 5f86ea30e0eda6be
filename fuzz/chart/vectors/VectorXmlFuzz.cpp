// Any text read as XML and then as a vector's element. What loads saves to a text that
// loads and saves again to the same text, and a vector that was read writes a record that
// reads back to the same values.
#include "persistence/XmlCodec.h"
#include "util/Exceptions.h"
#include "vectors/DoubleVector.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace {

bool SameValues(const TVxDoubleVector& A, const TVxDoubleVector& B) {
    if (A.GetCount() != B.GetCount())
        return false;
    const auto a = A.InternalArray(), b = B.InternalArray();
    for (size_t k = 0; k < a.size(); ++k)
        if (std::isnan(a[k])
                ? !std::isnan(b[k])
                : std::bit_cast<std::uint64_t>(a[k]) != std::bit_cast<std::uint64_t>(b[k]))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    pugi::xml_document document;
    TVxDoubleVector vector;
    bool loaded = false, read = false;
    try {
        LoadXmlDocument(document, QByteArray(reinterpret_cast<const char*>(Data), qsizetype(Size)));
        loaded = true;
        vector.ReadFrom(document.first_child());
        read = true;
    } catch (const EVxException&) {
    }
    if (vector.GetCount() > vector.GetCapacity())
        __builtin_trap();
    vector.GetSum();
    if (loaded) {
        const QByteArray text = SaveXmlDocument(document);
        pugi::xml_document again;
        LoadXmlDocument(again, text); // what was saved must load
        if (SaveXmlDocument(again) != text)
            __builtin_trap();
    }
    if (read) {
        pugi::xml_document written;
        vector.WriteTo(written);
        pugi::xml_document back;
        LoadXmlDocument(back, SaveXmlDocument(written));
        TVxDoubleVector copy;
        copy.ReadFrom(back.first_child());
        if (!SameValues(vector, copy))
            __builtin_trap();
    }
    return 0;
}

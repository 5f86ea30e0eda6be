#pragma once
// The errors of record readers: each names the record that failed, and an end marker that
// a newer layout filled is refused rather than read past.

#include "util/Exceptions.h"

#include <string>

/// Runs Read; an error it raises is raised again with "<Record> record: " before its
/// message, keeping its kind (a range error becomes a stream error).
template <typename F> void ReadNamedRecord(const std::string& Record, F&& Read) {
    try {
        Read();
    } catch (const EVxConvertError& e) {
        throw EVxConvertError(Record + " record: " + e.what());
    } catch (const EVxStreamError& e) {
        throw EVxStreamError(Record + " record: " + e.what());
    } catch (const EVxRangeError& e) {
        throw EVxStreamError(Record + " record: " + e.what());
    }
}

/// Checks an end marker: anything but 0 comes from a newer layout of the record.
inline void CheckEndMarker(int Marker, const char* Where) {
    if (Marker != 0)
        throw EVxStreamError("written by a newer version (end marker " + std::to_string(Marker) +
                             " " + Where + ")");
}

#include "comport/ComError.h"

#include <cstring>

std::string SystemErrorMessage(int ErrorCode) {
    char buffer[256];
    // The GNU strerror_r returns a pointer that may or may not be buffer.
    const char* text = strerror_r(ErrorCode, buffer, sizeof buffer);
    return text ? std::string(text) : std::string("Unknown error ") + std::to_string(ErrorCode);
}

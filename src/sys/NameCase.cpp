#include "sys/NameCase.h"

#include "sys/Utf8.h"

#include <windows.h>

#include <algorithm>

namespace {

bool IsAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

bool SameNameIgnoringCase(std::string_view a, std::string_view b)
{
    // Names are mostly ASCII, and then the system's table agrees with A to Z.
    if (IsAscii(a) && IsAscii(b))
        return SameIgnoringAsciiCase(a, b);
    const std::wstring wideA = Widen(a);
    const std::wstring wideB = Widen(b);
    return ::CompareStringOrdinal(wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                                  static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}

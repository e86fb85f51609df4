#pragma once
// printf-style formatting into a std::string, for the string table's texts.
#include <cstdint>
#include <string>

#if defined(__GNUC__)
#define PURGIX_PRINTF_FORMAT __attribute__((format(printf, 1, 2)))
#else
#define PURGIX_PRINTF_FORMAT
#endif

std::string FormatText(const char* format, ...) PURGIX_PRINTF_FORMAT;

// The string table's "%ld" counts are 64-bit here; "long" is 32 bits on Windows.
std::string WidenLongConversions(const std::string& format);

// Replaces "%1" in a message text with the argument.
std::string ReplacePlaceholder(const std::string& format, const std::string& argument);

// A count with its thousands grouped by commas: 1234567 as "1,234,567".
std::string GroupedDigits(std::int64_t number);

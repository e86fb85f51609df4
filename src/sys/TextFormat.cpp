#include "sys/TextFormat.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

std::string FormatText(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text;
    if (n > 0) {
        text.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(text.data(), text.size(), format, args);
        text.resize(static_cast<size_t>(n));
    }
    va_end(args);
    return text;
}

std::string WidenLongConversions(const std::string& format)
{
    std::string result;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format.compare(i, 3, "%ld") == 0) {
            result += "%lld";
            i += 2;
        } else {
            result += format[i];
        }
    }
    return result;
}

std::string ReplacePlaceholder(const std::string& format, const std::string& argument)
{
    std::string result = format;
    size_t at = result.find("%1");
    if (at != std::string::npos)
        result.replace(at, 2, argument);
    return result;
}

std::string GroupedDigits(std::int64_t number)
{
    const std::string plain = std::to_string(number);
    const std::size_t first = number < 0 ? 1 : 0; // after the sign
    std::string text = plain.substr(0, first);
    for (std::size_t i = first; i < plain.size(); ++i) {
        if (i > first && (plain.size() - i) % 3 == 0)
            text += ',';
        text += plain[i];
    }
    return text;
}

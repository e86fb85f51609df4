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

// Fuzzes the preferences line filter: no input may crash it, the lines it keeps come
// out byte for byte and in order, the lines it drops are history lines, and how the
// input is cut into chunks changes nothing.
#include "engine/PrefsFilter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// The lines of a text stream, split the plain way: at each LF, less one CR before it;
// what follows the last LF is a line too.
std::vector<std::string_view> SplitLines(std::string_view input)
{
    std::vector<std::string_view> lines;
    for (;;) {
        const std::size_t end = input.find('\n');
        if (end == std::string_view::npos) {
            lines.push_back(input);
            return lines;
        }
        std::string_view line = input.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        input.remove_prefix(end + 1);
    }
}

bool StartsWithPrefixIgnoringCase(std::string_view text)
{
    if (text.size() < kUrlHistoryPrefix.size())
        return false;
    for (std::size_t i = 0; i < kUrlHistoryPrefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + ('a' - 'A'));
        if (c != kUrlHistoryPrefix[i])
            return false;
    }
    return true;
}

bool LooksLikeHistory(std::string_view line)
{
    const std::size_t start = line.find_first_not_of(std::string_view(" \t\n\v\f\r"));
    return start != std::string_view::npos && StartsWithPrefixIgnoringCase(line.substr(start));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string whole = FilterPrefsText(input);

    // The output is exactly the kept input lines, each followed by CR LF.
    std::string expected;
    for (std::string_view line : SplitLines(input)) {
        Check(IsUrlHistoryLine(line) == LooksLikeHistory(line));
        if (!IsUrlHistoryLine(line)) {
            expected.append(line);
            expected.append("\r\n");
        }
    }
    Check(whole == expected);

    // Chunk sizes taken from the input itself, so the fuzzer explores the cuts too.
    CPrefsLineFilter filter;
    std::string chunked;
    for (std::size_t at = 0, turn = 0; at < size; ++turn) {
        const std::size_t length = 1 + data[turn % size] % 17;
        filter.Feed(input.substr(at, length), chunked);
        at += length;
    }
    filter.Finish(chunked);
    Check(chunked == whole);
    return 0;
}

// Fuzzes the preferences line filter: no input may crash it, the lines it keeps come
// out byte for byte and in order, the lines it drops are history lines, how the input
// is cut into chunks changes nothing, and what the filter holds stays bounded.
#include "engine/catalogue/PrefsFilter.h"

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
    return start != std::string_view::npos && start <= kMaxLeadingSpace &&
           StartsWithPrefixIgnoringCase(line.substr(start));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    // Inputs that start with a vertical tab start just short of the white-space bound, so
    // the fuzzer's own bytes decide on which side of it the first line falls. (Rarely:
    // such an input costs a thousand times the others.)
    std::string padded;
    if (size > 0 && data[0] == '\v') {
        padded.assign(kMaxLeadingSpace - 8, ' ');
        padded.append(input);
        input = padded;
    }
    const std::string whole = FilterPrefsText(input);

    // The output is exactly the kept input lines, each followed by CR LF.
    std::string expected;
    for (std::string_view line : SplitLines(input)) {
        const bool history = IsUrlHistoryLine(line);
        Check(history == LooksLikeHistory(line));
        if (!history) {
            expected.append(line);
            expected.append("\r\n");
        }
    }
    Check(whole == expected);

    // The padding in one piece, the fuzzer's bytes in pieces of sizes taken from
    // themselves, so the fuzzer explores the cuts too.
    CPrefsLineFilter filter;
    std::string chunked;
    const std::size_t padding = input.size() - size;
    filter.Feed(input.substr(0, padding), chunked);
    for (std::size_t at = padding, turn = 0; at < input.size(); ++turn) {
        const std::size_t length = 1 + data[turn % size] % 17;
        filter.Feed(input.substr(at, length), chunked);
        Check(filter.HeldBytes() <= 2 * (kMaxLeadingSpace + kUrlHistoryPrefix.size()));
        at += length;
    }
    filter.Finish(chunked);
    Check(chunked == whole);
    return 0;
}

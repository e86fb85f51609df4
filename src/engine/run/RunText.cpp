#include "engine/run/RunText.h"

#include "resource.h"
#include "sys/TextFormat.h"

#include <string_view>

std::string FormatSummary(std::uint64_t bytes, std::int64_t files, const std::function<std::string(unsigned)>& loadText,
                          bool preview)
{
    // The preview's four texts follow the run's in the same order.
    const unsigned first = preview ? IDS_PREVIEW_BYTES : IDS_RECOVERED_BYTES;
    const auto count = static_cast<long long>(files);
    const double value = static_cast<double>(bytes);
    if (bytes < 10240)
        return FormatText(WidenLongConversions(loadText(first)).c_str(), static_cast<long long>(bytes), count);
    if (bytes < 1048576)
        return FormatText(WidenLongConversions(loadText(first + 1)).c_str(), value / 1024, count);
    if (bytes < 1073741824)
        return FormatText(WidenLongConversions(loadText(first + 2)).c_str(), value / 1048576, count);
    return FormatText(WidenLongConversions(loadText(first + 3)).c_str(), value / 1073741824, count);
}

std::string TargetStatus(const std::string& text, bool preview)
{
    constexpr std::string_view kDeleting = "Deleting";
    if (!preview || text.compare(0, kDeleting.size(), kDeleting) != 0)
        return text;
    return "Checking" + text.substr(kDeleting.size());
}

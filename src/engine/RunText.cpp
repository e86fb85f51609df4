#include "engine/RunText.h"

#include "resource.h"
#include "sys/TextFormat.h"

std::string FormatSummary(std::uint64_t bytes, std::int64_t files, const std::function<std::string(unsigned)>& loadText)
{
    const auto count = static_cast<long long>(files);
    const double value = static_cast<double>(bytes);
    if (bytes < 10240)
        return FormatText(WidenLongConversions(loadText(IDS_RECOVERED_BYTES)).c_str(),
                          static_cast<long long>(bytes), count);
    if (bytes < 1048576)
        return FormatText(WidenLongConversions(loadText(IDS_RECOVERED_KB)).c_str(), value / 1024, count);
    if (bytes < 1073741824)
        return FormatText(WidenLongConversions(loadText(IDS_RECOVERED_MB)).c_str(), value / 1048576, count);
    return FormatText(WidenLongConversions(loadText(IDS_RECOVERED_GB)).c_str(), value / 1073741824, count);
}

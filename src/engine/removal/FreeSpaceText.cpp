#include "engine/removal/FreeSpaceText.h"

#include "sys/ErrorNames.h"
#include "sys/NameCase.h"
#include "sys/TextFormat.h"

#include <iterator>

std::string DriveName(const std::string& root)
{
    return Uppered(root.substr(0, 2));
}

std::string SizeText(std::uint64_t bytes)
{
    constexpr const char* kUnits[] = {"KB", "MB", "GB", "TB"};
    if (bytes < 1024)
        return FormatText("%llu bytes", static_cast<unsigned long long>(bytes));
    double value = static_cast<double>(bytes) / 1024;
    std::size_t unit = 0;
    while (value >= 1024 && unit + 1 < std::size(kUnits)) {
        value /= 1024;
        ++unit;
    }
    return FormatText("%.1f %s", value, kUnits[unit]);
}

std::string WipeStatus(const std::string& drive, std::uint64_t written, std::uint64_t total)
{
    return "Wiping free space on " + drive + " (" + SizeText(written) + " of " + SizeText(total) + ")";
}

std::string WipeResultLine(const std::string& drive, const WipeResult& result)
{
    switch (result.outcome) {
    case WipeOutcome::Wiped:
        return FormatText("%s - free space wiped: %s in %.1f s\r\n", drive.c_str(), SizeText(result.bytes).c_str(),
                          result.seconds);
    case WipeOutcome::Stopped:
        return drive + " - free space wipe stopped after " + SizeText(result.bytes) + "\r\n";
    case WipeOutcome::Failed:
        break;
    }
    return drive + " - free space not wiped (" + result.reason + ")\r\n";
}

std::string WipePreviewLine(const std::string& drive, std::uint64_t freeBytes)
{
    return drive + " - free space would be wiped (" + SizeText(freeBytes) + " free)\r\n";
}

std::string WipePreviewFailedLine(const std::string& drive, OsError error)
{
    return drive + " - free space would not be wiped (" + OsErrorName(error) + ")\r\n";
}

std::string SolidStateLine(const std::string& drive)
{
    return "INFO: " + drive +
           " is a solid-state drive: overwriting its free space cannot reach every old block. The system's "
           "Optimise Drives (TRIM) is what clears them.\r\n";
}

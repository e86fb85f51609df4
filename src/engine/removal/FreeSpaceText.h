#pragma once
// The free-space wipe's status text and report lines, for the window and the console alike.
#include "engine/removal/FreeSpaceWipe.h"

#include <cstdint>
#include <string>

// "C:" for the root "c:\", as the report names a drive.
std::string DriveName(const std::string& root);
// "512 bytes", "3.2 KB", "41.7 GB": one decimal from a kilobyte (1024 bytes) on.
std::string SizeText(std::uint64_t bytes);
// "Wiping free space on C: (3.2 GB of 41.7 GB)"
std::string WipeStatus(const std::string& drive, std::uint64_t written, std::uint64_t total);
// The line (with its "\r\n") that says how the drive's wipe ended.
std::string WipeResultLine(const std::string& drive, const WipeResult& result);
// In a preview: the drive that a run would wipe, and its free space.
std::string WipePreviewLine(const std::string& drive, std::uint64_t freeBytes);
// A preview that cannot read a drive's free space.
std::string WipePreviewFailedLine(const std::string& drive, OsError error);
// The INFO line for a solid-state drive, before its wipe.
std::string SolidStateLine(const std::string& drive);

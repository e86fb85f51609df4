#pragma once
// The endings of the report lines about one file or folder: each line is the path
// directly followed by one of these.
inline constexpr const char* kLineDeleted = " - deleted\r\n";
inline constexpr const char* kLineInUse = " currently in use. Will be deleted when Windows is restarted.\r\n";
inline constexpr const char* kLineNotDeleted = " - not deleted (due to unexpected error)\r\n";
inline constexpr const char* kLineFolderKept = " - cannot be deleted. Will be deleted when Windows is restarted.\r\n";

#pragma once
// The endings of the report lines about one file or folder: each line is the path
// directly followed by one of these.
inline constexpr const char* kLineDeleted = " - deleted\r\n";
inline constexpr const char* kLineInUse = " currently in use. Will be deleted when Windows is restarted.\r\n";
inline constexpr const char* kLineNotDeleted = " - not deleted (due to unexpected error)\r\n";
inline constexpr const char* kLineFolderKept = " - cannot be deleted. Will be deleted when Windows is restarted.\r\n";
// The same lines in a preview, which removes nothing and says what a run would do.
inline constexpr const char* kLineWouldDelete = " - would be deleted\r\n";
inline constexpr const char* kLineWouldDeleteAtRestart = " - in use, would be deleted when Windows is restarted\r\n";
inline constexpr const char* kLineWouldNotDelete = " - would not be deleted (due to unexpected error)\r\n";
inline constexpr const char* kLineFolderWouldBeKept = " - would not be deleted now, but when Windows is restarted\r\n";
// prefs.js is rewritten, not deleted: the run removes the unfiltered copy it leaves.
inline constexpr const char* kLineHistoryWouldBeFiltered = " - its URL history would be removed\r\n";
// After "INFO: '<entry>': <folder>": a rule sweep a protected folder refused.
inline constexpr const char* kLineRuleFolderRefused = " is protected and was not swept\r\n";
// The endings of the lines about a registry list, key or value.
inline constexpr const char* kLineRegistryRemoved = " - removed from the registry.\r\n";
inline constexpr const char* kLineRegistryNotRemoved = " - unable to delete from the registry.\r\n";
inline constexpr const char* kLineRegistryWouldBeRemoved = " - would be removed from the registry.\r\n";
inline constexpr const char* kLineRegistryWouldNotBeRemoved = " - would not be removed from the registry.\r\n";

#pragma once
// Texts the run writes that are not in the string table, and the summary rule.
#include <cstdint>
#include <functional>
#include <string>

inline constexpr const char* kStatusCancelled = "Purgix! cancelled";
inline constexpr const char* kLineCancelled = "Purgix! cancelled by user.\r\n";
// After a cancel, when files in use were listed: a cancelled run brings nothing back at
// the next log-on, so what the report promised for then is taken back.
inline constexpr const char* kLineCancelledKeepsInUse =
    "INFO: The run was cancelled, so the files in use listed above stay until a later run removes them\r\n";
inline constexpr const char* kStatusInitialDone = "Initial Purgix! done. Now restart Windows to complete Purgix!";
inline constexpr const char* kStatusPreviewDone = "Preview done. Press Purgix! to clean.";
inline constexpr const char* kLineEnd = "\r\n";
// A run that a failure it could not handle stopped: the status, and the report line
// (this, what failed, kLineEnd), with the words for a failure that names nothing.
inline constexpr const char* kStatusStopped = "Purgix! stopped";
inline constexpr const char* kLineStopped = "INFO: The run stopped: ";
inline constexpr const char* kFailureUnexpected = "unexpected error";

// A target's status text ("Deleting ...") as the run shows it: a preview removes nothing,
// so it says "Checking" instead.
std::string TargetStatus(const std::string& text, bool preview);

// The summary line (without its line end) for the bytes and files of a run, or of a
// preview, by the thresholds 10 KiB, 1 MiB and 1 GiB. loadText fetches a string-table entry.
std::string FormatSummary(std::uint64_t bytes, std::int64_t files, const std::function<std::string(unsigned)>& loadText,
                          bool preview = false);

#pragma once
// Windows path spellings, as text: which paths are absolute, the literal ("\\?\") form
// that the system takes as written, and the form a user is shown.
#include <string>
#include <string_view>

// "X:\..." (or "X:/..."), "\\server\share...", or a device path ("\\?\...", "\\.\...").
// A relative path would resolve against whatever folder the program runs in.
bool IsAbsolutePath(std::string_view path);

// The full path in the "\\?\" form ("\\?\UNC\server\..." for a share), so that the
// system neither drops a trailing dot or space nor resolves "." and "..". A path already
// in that form is kept; "\\.\" becomes "\\?\".
std::string LiteralPath(const std::string& fullPath);

// The path as the user knows it: without "\\?\" or "\\.\", "\\?\UNC\" turned back into "\\".
std::string ShownPath(const std::string& path);

// True when some part of the (shown) path ends in a dot or a space, which the system's
// path parser would drop, so the shown path names another file than the literal one.
bool NeedsLiteralForm(std::string_view shownPath);

#pragma once
// A small file read whole through the platform seam, for the settings-like files the
// program reads from others (rule files, a browser's profiles.ini): bounded, since their
// size is theirs to choose.
//
// Usage:
//   std::string text;
//   if (ReadWholeFile(sys, path, 64 << 10, text)) ...
#include "sys/Platform.h"

#include <cstdint>
#include <string>

// False (text empty) when the file cannot be opened or is larger than maxBytes; a read
// that fails partway keeps what came before the failure.
bool ReadWholeFile(CPlatform& sys, const std::string& path, std::uint64_t maxBytes, std::string& text);

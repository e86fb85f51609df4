#pragma once
// The program's own values: HKEY_CURRENT_USER\Software\<company>\<application>.
// A section is a subkey; the empty section is the application key itself. Numbers are
// REG_DWORD, texts REG_SZ. The settings store and the restart list both keep theirs here.
//
// Usage:
//   WriteStoredNumber(sys, "DeleteOnWindowsRestart", "FileCount", 3);
//   unsigned count = ReadStoredNumber(sys, "DeleteOnWindowsRestart", "FileCount", 0, true);
#include "engine/core/ProductName.h"
#include "sys/Platform.h"

#include <optional>
#include <string>

// What the user is told, once, when a registry write of the program fails.
inline constexpr const char* kCannotWriteRegistry = "Unable to write to the registry.";

// "Software\Vellomar\Purgix!" or "Software\Vellomar\Purgix!\<section>".
std::string ProgramKeyPath(const std::string& section);

// The number a stored value holds: a REG_DWORD, or 4 bytes of REG_BINARY as older
// tools wrote them. Text that happens to be 4 bytes long ("true") is no number.
std::optional<unsigned> StoredNumber(const RegValue& value);

// The stored number, or defaultValue when it is absent or holds none. createKeys: the
// read creates the key path (a preview and the console program write nothing).
unsigned ReadStoredNumber(CPlatform& sys, const std::string& section, const std::string& entry, unsigned defaultValue,
                          bool createKeys);
// Both create the key path; false when the value was not written.
bool WriteStoredNumber(CPlatform& sys, const std::string& section, const std::string& entry, unsigned value);
bool WriteStoredText(CPlatform& sys, const std::string& section, const std::string& entry, const std::string& text);

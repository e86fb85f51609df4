#pragma once
// Helpers for tests that work on real files and the real (Wine) registry.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testenv {

// A fresh, empty folder under C:\purgix-tests for the running test; no trailing backslash.
std::string FreshFolder();
// The build folder: the test programs run from <build>\tests, the programs under test
// are built into <build> and <build>\tools.
std::string BuildFolder();
void WriteFile(const std::string& path, const std::string& contents);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
void MakeFolder(const std::string& path); // with its parents
std::uint32_t Attributes(const std::string& path);

// Registry, through the plain Win32 calls (not the program's own code).
void SetString(HKEY root, const std::string& path, const std::string& name, const std::string& value,
               DWORD type = REG_SZ);
void SetDword(HKEY root, const std::string& path, const std::string& name, DWORD value);
void SetBinary(HKEY root, const std::string& path, const std::string& name, const std::vector<BYTE>& data,
               DWORD type = REG_BINARY);
void DeleteTree(HKEY root, const std::string& path);
bool KeyExists(HKEY root, const std::string& path);
bool ValueExists(HKEY root, const std::string& path, const std::string& name);
std::string GetString(HKEY root, const std::string& path, const std::string& name);
DWORD GetDword(HKEY root, const std::string& path, const std::string& name, DWORD fallback = 0xFFFFFFFF);
std::vector<std::string> ValueNames(HKEY root, const std::string& path);

// The program's settings key, HKCU\Software\Vellomar\Purgix!.
inline const std::string kSettingsKey = "Software\\Vellomar\\Purgix!";

} // namespace testenv

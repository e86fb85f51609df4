#pragma once
// Whether what a path opens is the entry its folder holds under that name, and not what
// a link there leads to. Wine shows a host's symbolic link to a file as a plain file and
// acts on the target through it; only the path an open handle resolves to tells them apart.
#include "sys/Platform.h"

#include <string>

// The name the system gives the folder (literal, with or without its trailing backslash)
// once every link is resolved, without a trailing backslash; "" when it cannot be opened.
std::string ResolvedFolder(CPlatform& sys, const std::string& literalFolder);

// The open handle resolves to the entry `name` of the folder that resolved to resolvedFolder.
bool IsEntryOf(CPlatform& sys, void* handle, const std::string& resolvedFolder, const std::string& name);

// The file or folder at the literal path (no trailing backslash) is its folder's own entry.
bool IsOwnEntry(CPlatform& sys, const std::string& literalPath);

#pragma once
// Symbolic links for tests. Wine's CreateSymbolicLinkW does nothing, so under Wine the
// link is made on the host with ln -s, where Wine shows it as a reparse point.
#include <string>

namespace testenv {

// Makes link point at target (both Windows paths); true when the link exists afterwards.
bool MakeSymlink(const std::string& target, const std::string& link);
// Removes the link itself (never what it points at), so no later test meets it.
void RemoveSymlink(const std::string& link);

} // namespace testenv

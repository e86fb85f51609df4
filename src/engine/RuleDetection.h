#pragma once
// Whether a rule entry's program is on this machine.
#include "engine/RuleFile.h"
#include "sys/Platform.h"

#include <string>

// True when the version lies in "min|max" (kernel versions such as 6.1 or 10.0; either
// side may be empty, and a single version is a minimum).
bool VersionInRange(const std::string& range, KernelVersion version);

// The entry is found when its DetectOS range holds this system and one of its Detect
// keys exists or one of its DetectFile paths (wildcards in any segment) does. An entry
// with no Detect or DetectFile key is always found, unless it asks for SpecialDetect:
// that alone never finds it.
bool RuleFound(CPlatform& sys, const RuleEntry& entry);

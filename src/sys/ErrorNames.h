#pragma once
// The names of Win32 error codes, for reports that say why something failed.
#include "sys/Platform.h"

#include <string>

// "ERROR_ACCESS_DENIED" for 5; "error 1234" for a code without a name here.
std::string OsErrorName(OsError error);

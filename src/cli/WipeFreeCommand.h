#pragma once
// The console's wipe-free command.
#include "cli/CliRequest.h"

// Wipes the free space of the drives the operands name ("C:", "c", "C:\"), or of every
// fixed drive when none is named: one line (or JSON object) a drive on standard output,
// the status on standard error. Exit code 1 when any drive failed, 3 when stopped.
int WipeFreeCommand(const CliRequest& request);

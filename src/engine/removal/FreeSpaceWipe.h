#pragma once
// The free-space wipe: overwrites what a drive holds as free space, so that files deleted
// there earlier cannot be read back, and leaves nothing of its own behind.
//
// Usage:
//   WipeResult result = WipeFreeSpace(sys, "c:\\", listener); // listener: progress and the stop test
//   report(WipeResultLine("C:", result));                      // engine/removal/FreeSpaceText.h
//
// On the drive it makes a folder of its own at the root, and in it one filler file that
// the system removes when its handle closes, however the program ends. It writes 0x55 in
// large unbuffered, written-through blocks until the drive is full, then small files until
// none fit: on NTFS they overwrite the free records of the master file table (where small
// files live), elsewhere they take the last blocks a file system keeps from one large file.
// Then it closes everything and the folder goes.
#include "engine/core/WipeResult.h"
#include "sys/Platform.h"

#include <cstdint>
#include <string>

class IWipeListener {
public:
    virtual ~IWipeListener() = default;
    // After each block: what has been written of the free space found at the start.
    virtual void Progress(std::uint64_t written, std::uint64_t total) = 0;
    // Asked before each block; true ends the wipe within that block's time.
    virtual bool ShouldStop() = 0;
};

// root: "c:\". The outcome, the bytes written and, for a failure, its reason.
WipeResult WipeFreeSpace(CPlatform& sys, const std::string& root, IWipeListener& listener);

// The folder the wipe works in on the drive at root, without a trailing backslash.
std::string WipeFolder(const std::string& root);

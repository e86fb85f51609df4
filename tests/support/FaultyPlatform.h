#pragma once
// The real platform with chosen operations made to fail, for the faults the OS will not
// give on demand (a full disk, a failing flush or rename, a registry that refuses a
// write, memory that runs out), and a log of the file operations that change what is on disk.
//
// Usage:
//   CFaultyPlatform sys;
//   sys.writeFault = {folder + "\\newprefs.js", 100, ERROR_DISK_FULL}; // 100 bytes, then full
//   CCleaningEngine engine(sink, sys);
#include "sys/Platform.h"

#include <cstddef>
#include <map>
#include <string>
#include <vector>

class CFaultyPlatform : public CPlatformDecorator {
public:
    // An operation on `path` that succeeds for `allowance` bytes, then fails with `error`.
    struct ByteFault {
        std::string path;
        std::size_t allowance = 0;
        OsError error = 0;
    };
    // An operation on `path` (or a registry value named so) that fails with `error`.
    struct Fault {
        std::string path;
        OsError error = 0;
    };

    CFaultyPlatform() : CPlatformDecorator(Platform()) {}

    ByteFault readFault;
    ByteFault writeFault;
    Fault flushFault;
    Fault moveFault;        // a rename away from this path
    Fault removeValueFault; // the value name
    Fault listValuesFault;  // the key path: its values cannot be read
    OsError regWriteError = 0;
    bool searchesRunOutOfMemory = false; // every directory search throws std::bad_alloc

    // "flush PATH" and "move FROM -> TO", in the order they happened.
    std::vector<std::string> events;

    void* FindOpen(const std::string& pattern, FindEntry& first, OsError& error) override;
    void* FileOpen(const std::string& path, FileMode mode, OsError& error) override;
    void* CreateTransientFile(const std::string& path, bool unbuffered, OsError& error) override;
    OsError FileRead(void* file, void* buffer, std::size_t length, std::size_t& read) override;
    OsError FileWrite(void* file, const void* data, std::size_t length) override;
    OsError FileFlush(void* file) override;
    void FileClose(void* file) override;
    OsError MovePath(const std::string& from, const std::string& to) override;
    OsError RegRemoveValue(RegRoot root, const std::string& path, const std::string& name) override;
    OsError RegListValues(RegRoot root, const std::string& path, std::vector<RegValue>& values) override;
    OsError RegWriteValue(RegRoot root, const std::string& path, const std::string& name, std::uint32_t type,
                          const std::vector<std::uint8_t>& data) override;

private:
    struct OpenFile {
        std::string path;
        std::size_t read = 0;
        std::size_t written = 0;
    };
    std::map<void*, OpenFile> m_open;
};

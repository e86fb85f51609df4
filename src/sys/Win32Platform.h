// The Win32 implementation of the platform seam, private to sys: one class, its members
// defined by job in Win32Platform.cpp, Win32Files.cpp, Win32Volumes.cpp and Win32Registry.cpp.
#pragma once
#include "sys/Platform.h"

class CWin32Platform final : public CPlatform {
public:
    // The registry (Win32Registry.cpp).
    OsError RegListValues(RegRoot root, const std::string& path, std::vector<RegValue>& values) override;
    OsError RegListSubkeys(RegRoot root, const std::string& path, std::size_t maxNameBytes,
                           std::vector<std::string>& names) override;
    OsError RegReadValue(RegRoot root, const std::string& path, const std::string& name, bool createPath,
                         RegValue& value) override;
    OsError RegRemoveValue(RegRoot root, const std::string& path, const std::string& name) override;
    OsError RegWriteValue(RegRoot root, const std::string& path, const std::string& name, std::uint32_t type,
                          const std::vector<std::uint8_t>& data) override;
    bool RegKeyExists(RegRoot root, const std::string& path) override;
    OsError RegRemoveKey(RegRoot root, const std::string& path) override;

    // Files, folders, finds, handles and volumes (Win32Files.cpp).
    void* FindOpen(const std::string& pattern, FindEntry& first, OsError& error) override;
    bool FindNext(void* find, FindEntry& entry) override;
    void FindClose(void* find) override;
    OsError GetFullPath(const std::string& path, std::string& full) override;
    OsError GetLongPath(const std::string& path, std::string& longPath) override;
    OsError GetVolumeRoot(const std::string& path, std::string& root) override;
    OsError GetAttributes(const std::string& path, std::uint32_t& attributes) override;
    OsError SetAttributes(const std::string& path, std::uint32_t attributes) override;
    OsError DeleteFileAt(const std::string& path) override;
    OsError RemoveFolder(const std::string& path) override;
    OsError MovePath(const std::string& from, const std::string& to) override;
    OsError CopyPath(const std::string& from, const std::string& to, bool failIfExists) override;
    void* FileOpen(const std::string& path, FileMode mode, OsError& error) override;
    OsError FileSize(void* file, std::uint64_t& size) override;
    OsError FileInformation(void* file, FileInfo& info) override;
    OsError FileAllocatedRanges(void* file, std::uint64_t length, std::vector<ByteRange>& ranges) override;
    OsError FileSeek(void* file, std::uint64_t offset) override;
    OsError FileRead(void* file, void* buffer, std::size_t length, std::size_t& read) override;
    OsError FileWrite(void* file, const void* data, std::size_t length) override;
    OsError FileFlush(void* file) override;
    void FileClose(void* file) override;
    OsError FileObjectName(void* file, std::string& name) override;
    OsError FileSetAttributes(void* file, std::uint32_t attributes) override;
    OsError FileDelete(void* file) override;
    OsError FileAllocatedSize(void* file, std::uint64_t& bytes) override;
    OsError FreeSpace(const std::string& path, std::uint64_t& bytes) override;
    unsigned DriveType(const std::string& root) override;
    bool DriveIsHostRoot(const std::string& root) override;

    // Volumes and the free-space wipe's files (Win32Volumes.cpp).
    bool VolumeOnSolidState(const std::string& root) override;
    OsError CreateFolder(const std::string& path) override;
    void* CreateTransientFile(const std::string& path, bool unbuffered, OsError& error) override;
    void* HoldTransientFolder(const std::string& path, OsError& error) override;

    // Environment, system, text, resources, known folders, sound, messages (Win32Platform.cpp).
    std::string GetEnv(const std::string& name) override;
    std::string WindowsDirectory() override;
    std::string SystemDirectory() override;
    std::string ProfileDirectory() override;
    std::uint32_t PlatformId() override;
    std::string LocalTimeText() override;
    std::string LoadText(unsigned id) override;
    std::string LoadResourceData(unsigned id) override;
    std::string ProgramPath() override;
    std::string ProgramFolder() override;
    std::string UserFolderPath(UserFolder folder) override;
    KernelVersion SystemVersion() override;
    void PlayStartSound() override;
    bool EndSession(unsigned flags) override;
    int ShowMessage(void* owner, const std::string& text, const std::string& caption, unsigned style) override;
};

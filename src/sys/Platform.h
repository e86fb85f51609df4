#pragma once
// The one door between the program and the operating system.
//
// Usage: the engine and the settings store take a CPlatform& (normally Platform(),
// the Win32 implementation). Strings are UTF-8; the implementation converts at the
// Win32 boundary and adds the long-path prefix where a path needs it. Operations
// return the Win32 error code (0 on success) instead of raising, so callers choose
// how a failure travels. Tests run against the real implementation and may derive
// from CPlatformDecorator to inject faults the OS will not give on demand.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using OsError = unsigned long; // a Win32 error code; 0 is success

// The Win32 error codes the program tells apart, by their numbers, so callers need no <windows.h>.
inline constexpr OsError kErrorFileNotFound = 2;
inline constexpr OsError kErrorPathNotFound = 3;
inline constexpr OsError kErrorAccessDenied = 5;
inline constexpr OsError kErrorSharingViolation = 32;
inline constexpr OsError kErrorHandleDiskFull = 39;
inline constexpr OsError kErrorInvalidParameter = 87;
inline constexpr OsError kErrorDiskFull = 112;
inline constexpr OsError kErrorInvalidName = 123;
inline constexpr OsError kErrorAlreadyExists = 183;
inline constexpr OsError kErrorDirectory = 267; // a folder where a file was expected

// The volume has no room left: either code, depending on the call that found it.
inline bool IsDiskFull(OsError error)
{
    return error == kErrorDiskFull || error == kErrorHandleDiskFull;
}

// The predefined registry roots by their numeric values, so callers need no <windows.h>.
using RegRoot = std::uintptr_t;
inline constexpr RegRoot kHkeyClassesRoot = 0x80000000;
inline constexpr RegRoot kHkeyCurrentUser = 0x80000001;
inline constexpr RegRoot kHkeyLocalMachine = 0x80000002;
inline constexpr RegRoot kHkeyUsers = 0x80000003;
inline constexpr RegRoot kHkeyCurrentConfig = 0x80000005;
// Or-ed into a root: the 32-bit programs' view of the key (WOW6432Node on 64-bit
// Windows), where 32-bit programs such as the older browsers record their places.
inline constexpr RegRoot kRegView32 = 0x100;

enum RegType : std::uint32_t {
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
    kRegDwordBigEndian = 5,
    // Carries its strings in UTF-8, each followed by one zero byte; none for an empty list.
    kRegMultiSz = 7,
};

// String values (REG_SZ, REG_EXPAND_SZ) carry their UTF-8 text up to the first zero
// character, without the terminator; every other type carries its raw bytes.
struct RegValue {
    std::string name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
};

inline constexpr std::uint32_t kAttrReadOnly = 0x01;
inline constexpr std::uint32_t kAttrHidden = 0x02;
inline constexpr std::uint32_t kAttrSystem = 0x04;
inline constexpr std::uint32_t kAttrDirectory = 0x10;
inline constexpr std::uint32_t kAttrArchive = 0x20;
inline constexpr std::uint32_t kAttrNormal = 0x80;
inline constexpr std::uint32_t kAttrSparse = 0x200;
inline constexpr std::uint32_t kAttrReparsePoint = 0x400;

// The user's own folders that have no environment variable, and the system's folders that
// no cleaner may sweep wholesale (the Windows known folders of those names).
enum class UserFolder {
    Documents,
    Music,
    Pictures,
    Videos,
    Desktop,
    Downloads,
    Favorites,
    SavedGames,
    Contacts,
    Links,
    Searches,
    OneDrive,
    RoamingAppData,
    LocalAppData,
    LocalAppDataLow,
    Profile,
    UsersFolder, // the folder that holds every profile
    Public,
    ProgramData,
    ProgramFiles,
    ProgramFilesX86,
    CommonFiles,
    CommonFilesX86,
    Windows,
    System,
    SystemX86,
    Fonts,
};

// The version of the running system's kernel (10.0 for Windows 10 and 11).
struct KernelVersion {
    unsigned major = 0;
    unsigned minor = 0;
};

struct FindEntry {
    std::string name;
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
};

inline constexpr unsigned kDriveFixed = 3;

enum class FileMode {
    ReadShared,     // existing file, read access; others may read but not write
    WriteExclusive, // existing file, write access, no sharing (the overwrite)
    CreateShared,   // create or truncate, write access; others may read
    Inspect,        // existing file or folder, no data access, all sharing (its identity)
    DeleteProbe,    // existing file, delete access, others may read and write: fails while another holds it
    // The entry itself, never what a link or junction leads to (where the system can tell):
    InspectEntry,   // file or folder, no data access, all sharing
    RemoveEntry,    // file, delete and attribute access, all sharing
    OverwriteEntry, // file, write, delete and attribute access, no sharing
    // Existing file, read access, no sharing, never created: fails with a sharing violation
    // while any other handle has it open (how a program's lock file is tested).
    LockProbe,
};

// Which file an open handle stands for, however it was spelled, and how many names it has.
struct FileInfo {
    std::uint32_t volume = 0; // volume serial number
    std::uint64_t index = 0;  // file index, unique on the volume
    std::uint32_t links = 1;  // hard links: names the data is reachable under

    bool SameFile(const FileInfo& other) const { return volume == other.volume && index == other.index; }
};

// A part of a file that holds data on the disk.
struct ByteRange {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

class CPlatform {
public:
    virtual ~CPlatform() = default;

    // Registry. Every call opens and closes its own keys.
    // Lists every value of the key in enumeration order, whatever its length.
    virtual OsError RegListValues(RegRoot root, const std::string& path, std::vector<RegValue>& values) = 0;
    // Lists subkey names in enumeration order; stops (returning what it has, and
    // the error) at the first failure, such as a name longer than maxNameBytes - 1.
    virtual OsError RegListSubkeys(RegRoot root, const std::string& path, std::size_t maxNameBytes,
                                   std::vector<std::string>& names) = 0;
    // Reads one value by name; createPath creates the key path first (the settings store does).
    virtual OsError RegReadValue(RegRoot root, const std::string& path, const std::string& name, bool createPath,
                                 RegValue& value) = 0;
    virtual OsError RegRemoveValue(RegRoot root, const std::string& path, const std::string& name) = 0;
    // Creates the missing keys of the path (class "String") and sets the value.
    virtual OsError RegWriteValue(RegRoot root, const std::string& path, const std::string& name, std::uint32_t type,
                                  const std::vector<std::uint8_t>& data) = 0;
    virtual bool RegKeyExists(RegRoot root, const std::string& path) = 0;
    // Deletes the key with all its subkeys and values.
    virtual OsError RegRemoveKey(RegRoot root, const std::string& path) = 0;

    // Directory search. FindOpen returns nullptr (and the error) when nothing matches.
    virtual void* FindOpen(const std::string& pattern, FindEntry& first, OsError& error) = 0;
    virtual bool FindNext(void* find, FindEntry& entry) = 0;
    virtual void FindClose(void* find) = 0;

    // Paths.
    virtual OsError GetFullPath(const std::string& path, std::string& full) = 0;
    // The existing path with each 8.3 short name replaced by the long one (GetLongPathName).
    virtual OsError GetLongPath(const std::string& path, std::string& longPath) = 0;
    // The root of the volume that holds the path, e.g. "C:\" (GetVolumePathName).
    virtual OsError GetVolumeRoot(const std::string& path, std::string& root) = 0;
    virtual OsError GetAttributes(const std::string& path, std::uint32_t& attributes) = 0;
    virtual OsError SetAttributes(const std::string& path, std::uint32_t attributes) = 0;
    virtual OsError DeleteFileAt(const std::string& path) = 0;
    virtual OsError RemoveFolder(const std::string& path) = 0;
    virtual OsError MovePath(const std::string& from, const std::string& to) = 0;
    virtual OsError CopyPath(const std::string& from, const std::string& to, bool failIfExists) = 0;

    // File contents.
    virtual void* FileOpen(const std::string& path, FileMode mode, OsError& error) = 0;
    virtual OsError FileSize(void* file, std::uint64_t& size) = 0;
    virtual OsError FileInformation(void* file, FileInfo& info) = 0;
    // The ranges of a sparse file that hold data, within its first `length` bytes.
    virtual OsError FileAllocatedRanges(void* file, std::uint64_t length, std::vector<ByteRange>& ranges) = 0;
    virtual OsError FileSeek(void* file, std::uint64_t offset) = 0;
    virtual OsError FileRead(void* file, void* buffer, std::size_t length, std::size_t& read) = 0;
    virtual OsError FileWrite(void* file, const void* data, std::size_t length) = 0;
    virtual OsError FileFlush(void* file) = 0;
    virtual void FileClose(void* file) = 0;
    // The name the system gives the open file or folder, after every link, in the system's
    // own form (not a path to show or open): for comparing one handle with another.
    virtual OsError FileObjectName(void* file, std::string& name) = 0;
    virtual OsError FileSetAttributes(void* file, std::uint32_t attributes) = 0;
    // The file goes when its last handle closes.
    virtual OsError FileDelete(void* file) = 0;
    // What the file occupies on the disk (less than its size when it has holes).
    virtual OsError FileAllocatedSize(void* file, std::uint64_t& bytes) = 0;
    // The bytes this user may still write on the volume that holds the path.
    virtual OsError FreeSpace(const std::string& path, std::uint64_t& bytes) = 0;

    // Volumes and the files of the free-space wipe (Win32Volumes.cpp).
    // True when the volume's drive reports no seek penalty (a solid-state drive); false when
    // it reports one or says nothing.
    virtual bool VolumeOnSolidState(const std::string& root) = 0;
    virtual OsError CreateFolder(const std::string& path) = 0;
    // A new file that the system removes when its last handle closes, however the process
    // ends (FileClose closes it). Unbuffered: each write goes past the cache and through to
    // the disk, in whole sectors from sector-aligned memory.
    virtual void* CreateTransientFile(const std::string& path, bool unbuffered, OsError& error) = 0;
    // A handle on the folder that removes it when the last handle closes, if it is empty
    // then. When a process ends, its handles close oldest first, so the newest of them goes last.
    virtual void* HoldTransientFolder(const std::string& path, OsError& error) = 0;

    // System facts.
    virtual std::string GetEnv(const std::string& name) = 0; // "" when absent
    virtual std::string WindowsDirectory() = 0;              // "" when unknown
    virtual std::string SystemDirectory() = 0;
    virtual std::string ProfileDirectory() = 0;
    virtual unsigned DriveType(const std::string& root) = 0;   // GetDriveType of "c:\"
    virtual bool DriveIsHostRoot(const std::string& root) = 0; // under Wine: maps to the host's "/"
    virtual std::uint32_t PlatformId() = 0;                    // GetVersionEx; 1 when it fails
    virtual std::string LocalTimeText() = 0;                   // strftime "%c"; "" when too long
    virtual std::string LoadText(unsigned id) = 0;             // from the program's string table
    // An RCDATA resource of the program, its bytes; "" when absent.
    virtual std::string LoadResourceData(unsigned id) = 0;
    // The running .exe's full path (GetModuleFileName); "" when unknown.
    virtual std::string ProgramPath() = 0;
    // The folder of the running .exe, without a backslash.
    virtual std::string ProgramFolder() = 0;
    // "" when unknown.
    virtual std::string UserFolderPath(UserFolder folder) = 0;
    virtual KernelVersion SystemVersion() = 0;

    // Effects a test stands in for.
    virtual void PlayStartSound() = 0;
    virtual bool EndSession(unsigned flags) = 0;
    virtual int ShowMessage(void* owner, const std::string& text, const std::string& caption, unsigned style) = 0;
};

// The process's platform: the Win32 implementation unless a test installed another.
CPlatform& Platform();

// An existing file, or folder, as its attributes say; false for anything that cannot be read.
inline bool IsFile(CPlatform& sys, const std::string& path)
{
    std::uint32_t attributes = 0;
    return sys.GetAttributes(path, attributes) == 0 && !(attributes & kAttrDirectory);
}
inline bool IsFolder(CPlatform& sys, const std::string& path)
{
    std::uint32_t attributes = 0;
    return !path.empty() && sys.GetAttributes(path, attributes) == 0 && (attributes & kAttrDirectory);
}

// Forwards every call; tests derive from it and override what they fault.
class CPlatformDecorator : public CPlatform {
public:
    explicit CPlatformDecorator(CPlatform& inner) : m_inner(inner) {}

    OsError RegListValues(RegRoot r, const std::string& p, std::vector<RegValue>& v) override
    {
        return m_inner.RegListValues(r, p, v);
    }
    OsError RegListSubkeys(RegRoot r, const std::string& p, std::size_t m, std::vector<std::string>& n) override
    {
        return m_inner.RegListSubkeys(r, p, m, n);
    }
    OsError RegReadValue(RegRoot r, const std::string& p, const std::string& n, bool c, RegValue& v) override
    {
        return m_inner.RegReadValue(r, p, n, c, v);
    }
    OsError RegRemoveValue(RegRoot r, const std::string& p, const std::string& n) override
    {
        return m_inner.RegRemoveValue(r, p, n);
    }
    OsError RegWriteValue(RegRoot r, const std::string& p, const std::string& n, std::uint32_t t,
                          const std::vector<std::uint8_t>& d) override
    {
        return m_inner.RegWriteValue(r, p, n, t, d);
    }
    bool RegKeyExists(RegRoot r, const std::string& p) override { return m_inner.RegKeyExists(r, p); }
    OsError RegRemoveKey(RegRoot r, const std::string& p) override { return m_inner.RegRemoveKey(r, p); }
    void* FindOpen(const std::string& p, FindEntry& e, OsError& err) override { return m_inner.FindOpen(p, e, err); }
    bool FindNext(void* f, FindEntry& e) override { return m_inner.FindNext(f, e); }
    void FindClose(void* f) override { m_inner.FindClose(f); }
    OsError GetFullPath(const std::string& p, std::string& f) override { return m_inner.GetFullPath(p, f); }
    OsError GetLongPath(const std::string& p, std::string& l) override { return m_inner.GetLongPath(p, l); }
    OsError GetVolumeRoot(const std::string& p, std::string& r) override { return m_inner.GetVolumeRoot(p, r); }
    OsError GetAttributes(const std::string& p, std::uint32_t& a) override { return m_inner.GetAttributes(p, a); }
    OsError SetAttributes(const std::string& p, std::uint32_t a) override { return m_inner.SetAttributes(p, a); }
    OsError DeleteFileAt(const std::string& p) override { return m_inner.DeleteFileAt(p); }
    OsError RemoveFolder(const std::string& p) override { return m_inner.RemoveFolder(p); }
    OsError MovePath(const std::string& f, const std::string& t) override { return m_inner.MovePath(f, t); }
    OsError CopyPath(const std::string& f, const std::string& t, bool x) override { return m_inner.CopyPath(f, t, x); }
    void* FileOpen(const std::string& p, FileMode m, OsError& e) override { return m_inner.FileOpen(p, m, e); }
    OsError FileSize(void* f, std::uint64_t& s) override { return m_inner.FileSize(f, s); }
    OsError FileInformation(void* f, FileInfo& i) override { return m_inner.FileInformation(f, i); }
    OsError FileAllocatedRanges(void* f, std::uint64_t l, std::vector<ByteRange>& r) override
    {
        return m_inner.FileAllocatedRanges(f, l, r);
    }
    OsError FileSeek(void* f, std::uint64_t o) override { return m_inner.FileSeek(f, o); }
    OsError FileRead(void* f, void* b, std::size_t l, std::size_t& r) override { return m_inner.FileRead(f, b, l, r); }
    OsError FileWrite(void* f, const void* d, std::size_t l) override { return m_inner.FileWrite(f, d, l); }
    OsError FileFlush(void* f) override { return m_inner.FileFlush(f); }
    void FileClose(void* f) override { m_inner.FileClose(f); }
    OsError FileObjectName(void* f, std::string& n) override { return m_inner.FileObjectName(f, n); }
    OsError FileSetAttributes(void* f, std::uint32_t a) override { return m_inner.FileSetAttributes(f, a); }
    OsError FileDelete(void* f) override { return m_inner.FileDelete(f); }
    OsError FileAllocatedSize(void* f, std::uint64_t& b) override { return m_inner.FileAllocatedSize(f, b); }
    OsError FreeSpace(const std::string& p, std::uint64_t& b) override { return m_inner.FreeSpace(p, b); }
    bool VolumeOnSolidState(const std::string& r) override { return m_inner.VolumeOnSolidState(r); }
    OsError CreateFolder(const std::string& p) override { return m_inner.CreateFolder(p); }
    void* CreateTransientFile(const std::string& p, bool u, OsError& e) override
    {
        return m_inner.CreateTransientFile(p, u, e);
    }
    void* HoldTransientFolder(const std::string& p, OsError& e) override { return m_inner.HoldTransientFolder(p, e); }
    std::string GetEnv(const std::string& n) override { return m_inner.GetEnv(n); }
    std::string WindowsDirectory() override { return m_inner.WindowsDirectory(); }
    std::string SystemDirectory() override { return m_inner.SystemDirectory(); }
    std::string ProfileDirectory() override { return m_inner.ProfileDirectory(); }
    unsigned DriveType(const std::string& r) override { return m_inner.DriveType(r); }
    bool DriveIsHostRoot(const std::string& r) override { return m_inner.DriveIsHostRoot(r); }
    std::uint32_t PlatformId() override { return m_inner.PlatformId(); }
    std::string LocalTimeText() override { return m_inner.LocalTimeText(); }
    std::string LoadText(unsigned id) override { return m_inner.LoadText(id); }
    std::string LoadResourceData(unsigned id) override { return m_inner.LoadResourceData(id); }
    std::string ProgramPath() override { return m_inner.ProgramPath(); }
    std::string ProgramFolder() override { return m_inner.ProgramFolder(); }
    std::string UserFolderPath(UserFolder f) override { return m_inner.UserFolderPath(f); }
    KernelVersion SystemVersion() override { return m_inner.SystemVersion(); }
    void PlayStartSound() override { m_inner.PlayStartSound(); }
    bool EndSession(unsigned flags) override { return m_inner.EndSession(flags); }
    int ShowMessage(void* o, const std::string& t, const std::string& c, unsigned s) override
    {
        return m_inner.ShowMessage(o, t, c, s);
    }

protected:
    CPlatform& m_inner;
};

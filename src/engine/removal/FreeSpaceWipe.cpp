#include "engine/removal/FreeSpaceWipe.h"

#include "engine/core/ProductName.h"
#include "sys/ErrorNames.h"
#include "sys/FileHandles.h"
#include "sys/TextFormat.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

namespace {

constexpr std::size_t kLargeBlock = 4u << 20;
// Unbuffered writes take whole sectors: 4096 bytes on any disk in use (4Kn drives included).
constexpr std::size_t kSectorBlock = 4096;
// A disk with smaller sectors (or a cache that takes any size) also takes these, down to
// the smallest sector, for a file system whose clusters are smaller than 4096 bytes.
constexpr std::size_t kSmallestBlock = 512;
// A file this small lives inside its master file table record on NTFS.
constexpr std::size_t kRecordFileBytes = 512;
// Bounds the record files when the system keeps finding room for them.
constexpr int kMostRecordFiles = 1 << 20;
constexpr std::uint8_t kFillByte = 0x55;

// One drive's wipe: what it holds open, released on every path out. The folder's own
// handle is always the newest, so that a process that is killed closes it last, when the
// files in it have already gone.
class CDriveWipe {
public:
    CDriveWipe(CPlatform& sys, const std::string& root, IWipeListener& listener)
        : m_sys(sys), m_folder(WipeFolder(root)), m_root(root), m_listener(listener)
    {
    }
    ~CDriveWipe()
    {
        m_files.clear();
        m_folderHold.reset();
        m_sys.RemoveFolder(m_folder); // in case the system kept it
    }
    CDriveWipe(const CDriveWipe&) = delete;
    CDriveWipe& operator=(const CDriveWipe&) = delete;

    WipeResult Run();

private:
    // Each returns 0, or the error that ends the wipe as failed.
    OsError Start();
    // Large blocks until the drive is full, then what room is left in smaller ones.
    OsError FillLargeBlocks();
    // After a write of `size` found the drive full: the size of the next write, 0 when none fits.
    OsError RoomLeft(std::size_t& size);
    void FillRecords();
    bool Stopped()
    {
        m_stopped = m_stopped || m_listener.ShouldStop();
        return m_stopped;
    }
    // Opens a new transient file in the folder, and the folder again after it.
    void* AddFile(const std::string& name, bool unbuffered, OsError& error);

    CPlatform& m_sys;
    const std::string m_folder;
    const std::string m_root;
    IWipeListener& m_listener;
    std::vector<std::unique_ptr<CFileHandle>> m_files; // the filler first
    std::unique_ptr<CFileHandle> m_folderHold;
    std::uint64_t m_total = 0;
    std::uint64_t m_written = 0;
    bool m_stopped = false;
};

WipeResult CDriveWipe::Run()
{
    const auto start = std::chrono::steady_clock::now();
    WipeResult result;
    OsError error = Start();
    if (!error && !Stopped())
        error = FillLargeBlocks();
    if (!error && !Stopped())
        FillRecords();
    result.bytes = m_written;
    if (error) {
        result.outcome = WipeOutcome::Failed;
        result.reason = OsErrorName(error);
    } else if (m_stopped) {
        result.outcome = WipeOutcome::Stopped;
    }
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}

OsError CDriveWipe::Start()
{
    // Under Wine a letter may map to the host's root: never fill the host's disk.
    if (m_sys.DriveIsHostRoot(m_root))
        return kErrorAccessDenied;
    if (const OsError error = m_sys.FreeSpace(m_root, m_total))
        return error;
    m_listener.Progress(0, m_total);
    // An empty folder left by a wipe that was ended from outside goes first.
    m_sys.RemoveFolder(m_folder);
    if (const OsError error = m_sys.CreateFolder(m_folder); error && error != kErrorAlreadyExists)
        return error;
    // What already stands there, put by anyone, is used only as a plain folder: a link
    // would send the filler, and the folder's deletion, somewhere else.
    std::uint32_t attributes = 0;
    if (const OsError error = m_sys.GetAttributes(m_folder, attributes))
        return error;
    if (!(attributes & kAttrDirectory) || (attributes & kAttrReparsePoint))
        return kErrorAlreadyExists;
    OsError error = 0;
    AddFile("filler", true, error);
    return error;
}

void* CDriveWipe::AddFile(const std::string& name, bool unbuffered, OsError& error)
{
    void* file = m_sys.CreateTransientFile(m_folder + "\\" + name, unbuffered, error);
    if (!file)
        return nullptr;
    m_files.push_back(std::make_unique<CFileHandle>(m_sys, file));
    OsError holdError = 0;
    if (void* hold = m_sys.HoldTransientFolder(m_folder, holdError))
        m_folderHold = std::make_unique<CFileHandle>(m_sys, hold); // the newer hold first, then the older goes
    return file;
}

OsError CDriveWipe::FillLargeBlocks()
{
    // Unbuffered writes need memory aligned to the sector.
    std::vector<std::uint8_t> memory(kLargeBlock + kSectorBlock, kFillByte);
    void* aligned = memory.data();
    std::size_t space = memory.size();
    std::align(kSectorBlock, kLargeBlock, aligned, space);
    std::size_t size = kLargeBlock;
    while (!Stopped()) {
        const OsError error = m_sys.FileWrite(m_files.front()->Get(), aligned, size);
        if (!error) {
            m_written += size;
            m_listener.Progress(m_written, m_total);
            continue;
        }
        // A disk with larger sectors refuses a part of one (an invalid parameter): the drive
        // is as full as it gets. Any other error is the wipe's failure.
        if (!IsDiskFull(error) || size <= kSmallestBlock)
            return IsDiskFull(error) || (size < kSectorBlock && error == kErrorInvalidParameter) ? 0 : error;
        if (const OsError flushError = RoomLeft(size))
            return flushError;
        if (size == 0)
            return 0;
    }
    return 0;
}

OsError CDriveWipe::RoomLeft(std::size_t& size)
{
    // A file system that caches the writes keeps room back for what the cache still has to
    // place: written out, the room is free again, and the free space says how much fits.
    if (const OsError error = m_sys.FileFlush(m_files.front()->Get()))
        return error;
    std::uint64_t fileSize = 0;
    if (m_sys.FileSize(m_files.front()->Get(), fileSize) == 0)
        m_written = std::max(m_written, fileSize); // a write the full drive cut short still wrote its first part
    std::uint64_t room = 0;
    if (m_sys.FreeSpace(m_root, room) != 0 || room < kSmallestBlock) {
        size = 0;
        return 0;
    }
    const std::size_t unit = room < kSectorBlock ? kSmallestBlock : kSectorBlock;
    // Smaller than the write that failed, so that the fill ends whatever the free space says.
    size = std::max(kSmallestBlock, std::min<std::size_t>(size / 2, room - room % unit));
    return 0;
}

void CDriveWipe::FillRecords()
{
    const std::vector<std::uint8_t> record(kRecordFileBytes, kFillByte);
    for (int count = 0; count < kMostRecordFiles && !Stopped(); ++count) {
        OsError error = 0;
        void* file = AddFile(FormatText("r%d", count), false, error);
        if (!file || m_sys.FileWrite(file, record.data(), record.size()) != 0)
            return; // no record is left free
        m_written += record.size();
    }
}

} // namespace

std::string WipeFolder(const std::string& root)
{
    return root + kApplicationName + " free space wipe";
}

WipeResult WipeFreeSpace(CPlatform& sys, const std::string& root, IWipeListener& listener)
{
    return CDriveWipe(sys, root, listener).Run();
}

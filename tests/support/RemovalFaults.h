#pragma once
// A platform for the file-removal tests that gives, on demand, the failures the OS
// will not: a refused deletion, attribute change or flush, a search that finds
// nothing (a safety net for sweeps that must never start), and files larger than
// the test disk could hold. Everything else reaches the real implementation.
#include "engine/PathText.h"
#include "sys/Platform.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

class CRemovalFaults : public CPlatformDecorator {
public:
    CRemovalFaults() : CPlatformDecorator(Platform()) {}

    OsError deleteError = 0;        // DeleteFileAt fails with this error
    OsError setAttributesError = 0; // SetAttributes fails with this error
    OsError flushError = 0;         // FileFlush fails with this error
    bool findNothing = false;       // every search comes back empty (and is recorded)
    std::uint64_t hugeSize = 0;     // non-zero: every file has this size, and writes are only counted
    bool sparse = false;            // every file found is marked sparse
    std::vector<ByteRange> allocated; // ...with these ranges of data
    OsError rangesError = 0;          // ...or ranges that cannot be read
    std::function<void(const std::string&)> beforeDelete; // sees each file just before DeleteFileAt

    std::vector<std::string> searches;
    std::uint64_t bytesWritten = 0;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> writes; // offset and length of each run of writes
    int flushes = 0;

    void* FindOpen(const std::string& pattern, FindEntry& first, OsError& error) override
    {
        searches.push_back(ShownPath(pattern));
        if (findNothing) {
            error = 2;
            return nullptr;
        }
        void* find = m_inner.FindOpen(pattern, first, error);
        if (find)
            Enlarge(first);
        return find;
    }
    bool FindNext(void* find, FindEntry& entry) override
    {
        const bool found = m_inner.FindNext(find, entry);
        Enlarge(entry);
        return found;
    }
    OsError SetAttributes(const std::string& path, std::uint32_t attributes) override
    {
        return setAttributesError ? setAttributesError : m_inner.SetAttributes(path, attributes);
    }
    OsError DeleteFileAt(const std::string& path) override
    {
        if (beforeDelete)
            beforeDelete(path);
        return deleteError ? deleteError : m_inner.DeleteFileAt(path);
    }
    OsError FileAllocatedRanges(void* file, std::uint64_t length, std::vector<ByteRange>& ranges) override
    {
        if (rangesError)
            return rangesError;
        ranges = allocated;
        return sparse ? 0 : m_inner.FileAllocatedRanges(file, length, ranges);
    }
    OsError FileSeek(void* file, std::uint64_t offset) override
    {
        writes.emplace_back(offset, 0);
        return m_inner.FileSeek(file, offset);
    }
    OsError FileSize(void* file, std::uint64_t& size) override
    {
        if (!hugeSize)
            return m_inner.FileSize(file, size);
        size = hugeSize;
        return 0;
    }
    OsError FileWrite(void* file, const void* data, std::size_t length) override
    {
        bytesWritten += length;
        if (!writes.empty())
            writes.back().second += length;
        return hugeSize ? 0 : m_inner.FileWrite(file, data, length);
    }
    OsError FileFlush(void* file) override
    {
        ++flushes;
        return flushError ? flushError : m_inner.FileFlush(file);
    }
    void PlayStartSound() override {}

private:
    void Enlarge(FindEntry& entry) const
    {
        if (hugeSize && !(entry.attributes & kAttrDirectory))
            entry.size = hugeSize;
        if (sparse && !(entry.attributes & kAttrDirectory))
            entry.attributes |= kAttrSparse;
    }
};

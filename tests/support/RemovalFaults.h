#pragma once
// A platform for the file-removal tests that gives, on demand, the failures the OS
// will not: a refused deletion, attribute change or flush, a search that finds
// nothing (a safety net for sweeps that must never start), and files larger than
// the test disk could hold. Everything else reaches the real implementation.
#include "engine/removal/PathText.h"
#include "sys/Platform.h"

#include <string>
#include <utility>
#include <vector>

class CRemovalFaults : public CPlatformDecorator {
public:
    CRemovalFaults() : CPlatformDecorator(Platform()) {}

    OsError deleteError = 0;          // the deletion of an open file fails with this error
    OsError setAttributesError = 0;   // an attribute change fails with this error
    OsError flushError = 0;           // FileFlush fails with this error
    bool findNothing = false;         // every search comes back empty (and is recorded)
    std::uint64_t hugeSize = 0;       // non-zero: every file has this size, and writes are only counted
    std::uint64_t freeBytes = 0;      // non-zero: the free space every volume has (huge files fit otherwise)
    bool sparse = false;              // every file found is marked sparse
    std::vector<ByteRange> allocated; // ...with these ranges of data
    OsError rangesError = 0;          // ...or ranges that cannot be read

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
    OsError FileSetAttributes(void* file, std::uint32_t attributes) override
    {
        return setAttributesError ? setAttributesError : m_inner.FileSetAttributes(file, attributes);
    }
    OsError FileDelete(void* file) override { return deleteError ? deleteError : m_inner.FileDelete(file); }
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
    OsError FreeSpace(const std::string& path, std::uint64_t& bytes) override
    {
        if (!freeBytes && !hugeSize)
            return m_inner.FreeSpace(path, bytes);
        bytes = freeBytes ? freeBytes : hugeSize;
        return 0;
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

#pragma once
// A platform for the file-removal tests that gives, on demand, the failures the OS
// will not: a refused deletion, attribute change or flush, a search that finds
// nothing (a safety net for sweeps that must never start), and files larger than
// the test disk could hold. Everything else reaches the real implementation.
#include "sys/Platform.h"

#include <string>
#include <vector>

class CRemovalFaults : public CPlatformDecorator {
public:
    CRemovalFaults() : CPlatformDecorator(Platform()) {}

    OsError deleteError = 0;        // DeleteFileAt fails with this error
    OsError setAttributesError = 0; // SetAttributes fails with this error
    OsError flushError = 0;         // FileFlush fails with this error
    bool findNothing = false;       // every search comes back empty (and is recorded)
    std::uint64_t hugeSize = 0;     // non-zero: every file has this size, and writes are only counted

    std::vector<std::string> searches;
    std::uint64_t bytesWritten = 0;
    int flushes = 0;

    void* FindOpen(const std::string& pattern, FindEntry& first, OsError& error) override
    {
        searches.push_back(pattern);
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
        return deleteError ? deleteError : m_inner.DeleteFileAt(path);
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
    }
};

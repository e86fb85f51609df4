#include "support/FaultyPlatform.h"

#include "sys/NameCase.h"

#include <algorithm>
#include <new>

void* CFaultyPlatform::FindOpen(const std::string& pattern, FindEntry& first, OsError& error)
{
    if (searchesRunOutOfMemory)
        throw std::bad_alloc();
    return m_inner.FindOpen(pattern, first, error);
}

void* CFaultyPlatform::FileOpen(const std::string& path, FileMode mode, OsError& error)
{
    void* file = m_inner.FileOpen(path, mode, error);
    if (file)
        m_open[file] = OpenFile{path};
    return file;
}

void* CFaultyPlatform::CreateTransientFile(const std::string& path, bool unbuffered, OsError& error)
{
    void* file = m_inner.CreateTransientFile(path, unbuffered, error);
    if (file)
        m_open[file] = OpenFile{path};
    return file;
}

OsError CFaultyPlatform::FileRead(void* file, void* buffer, std::size_t length, std::size_t& read)
{
    OpenFile& open = m_open[file];
    if (!readFault.path.empty() && SameNameIgnoringCase(open.path, readFault.path)) {
        if (open.read >= readFault.allowance)
            return readFault.error;
        length = std::min(length, readFault.allowance - open.read);
    }
    const OsError error = m_inner.FileRead(file, buffer, length, read);
    open.read += read;
    return error;
}

OsError CFaultyPlatform::FileWrite(void* file, const void* data, std::size_t length)
{
    OpenFile& open = m_open[file];
    if (!writeFault.path.empty() && SameNameIgnoringCase(open.path, writeFault.path) &&
        open.written + length > writeFault.allowance) {
        // Like a disk that fills up: what fits is written, then the write fails.
        const std::size_t fits = writeFault.allowance - std::min(open.written, writeFault.allowance);
        m_inner.FileWrite(file, data, fits);
        open.written += fits;
        return writeFault.error;
    }
    open.written += length;
    return m_inner.FileWrite(file, data, length);
}

OsError CFaultyPlatform::FileFlush(void* file)
{
    const std::string& path = m_open[file].path;
    events.push_back("flush " + path);
    if (!flushFault.path.empty() && SameNameIgnoringCase(path, flushFault.path))
        return flushFault.error;
    return m_inner.FileFlush(file);
}

void CFaultyPlatform::FileClose(void* file)
{
    m_open.erase(file);
    m_inner.FileClose(file);
}

OsError CFaultyPlatform::MovePath(const std::string& from, const std::string& to)
{
    events.push_back("move " + from + " -> " + to);
    if (!moveFault.path.empty() && SameNameIgnoringCase(from, moveFault.path))
        return moveFault.error;
    return m_inner.MovePath(from, to);
}

OsError CFaultyPlatform::RegRemoveValue(RegRoot root, const std::string& path, const std::string& name)
{
    if (!removeValueFault.path.empty() && name == removeValueFault.path)
        return removeValueFault.error;
    return m_inner.RegRemoveValue(root, path, name);
}

OsError CFaultyPlatform::RegListValues(RegRoot root, const std::string& path, std::vector<RegValue>& values)
{
    if (!listValuesFault.path.empty() && path == listValuesFault.path)
        return listValuesFault.error;
    return m_inner.RegListValues(root, path, values);
}

OsError CFaultyPlatform::RegWriteValue(RegRoot root, const std::string& path, const std::string& name,
                                       std::uint32_t type, const std::vector<std::uint8_t>& data)
{
    if (regWriteError != 0)
        return regWriteError;
    return m_inner.RegWriteValue(root, path, name, type, data);
}

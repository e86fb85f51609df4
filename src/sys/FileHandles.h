#pragma once
// RAII owners for the platform's search and file handles: one owner per kind,
// uncopyable, closed on every path out.
#include "sys/Platform.h"

class CFileFind {
public:
    CFileFind(CPlatform& sys, const std::string& pattern) : m_sys(sys)
    {
        m_find = m_sys.FindOpen(pattern, m_entry, m_openError);
    }
    ~CFileFind()
    {
        if (m_find)
            m_sys.FindClose(m_find);
    }
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    // True while Entry() holds a found entry.
    bool Found() const { return m_find != nullptr && m_valid; }
    const FindEntry& Entry() const { return m_entry; }
    // Why nothing was found; 0 when the system gave no reason.
    OsError OpenError() const { return m_openError; }
    void Next() { m_valid = m_sys.FindNext(m_find, m_entry); }

private:
    CPlatform& m_sys;
    void* m_find = nullptr;
    FindEntry m_entry;
    OsError m_openError = 0;
    bool m_valid = true;
};

class CFileHandle {
public:
    CFileHandle(CPlatform& sys, const std::string& path, FileMode mode) : m_sys(sys)
    {
        m_file = m_sys.FileOpen(path, mode, m_openError);
    }
    // Takes over a file or folder the platform opened another way (CreateTransientFile, say).
    CFileHandle(CPlatform& sys, void* file) : m_sys(sys), m_file(file) {}
    ~CFileHandle() { Close(); }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;

    bool IsOpen() const { return m_file != nullptr; }
    OsError OpenError() const { return m_openError; }
    void* Get() const { return m_file; }
    void Close()
    {
        if (m_file)
            m_sys.FileClose(m_file);
        m_file = nullptr;
    }

private:
    CPlatform& m_sys;
    void* m_file = nullptr;
    OsError m_openError = 0;
};

#pragma once
// The engine's failures travel as one family of exceptions rooted in CException.
// Registry operations that fail raise CResourceException with the system error code;
// file operations raise CFileException with a cause derived from it.
#include <cstdint>

class CException {
public:
    virtual ~CException() = default;
};

class CResourceException : public CException {
public:
    explicit CResourceException(unsigned long osError = 0) : m_lOsError(osError) {}

    unsigned long m_lOsError; // 0 when the system named no error
};

// Runs one block of work; a CException ends that block only. False when one did.
template <class Work> bool Guarded(Work&& work)
{
    try {
        work();
        return true;
    } catch (const CException&) {
        return false;
    }
}

class CFileException : public CException {
public:
    enum Cause : int {
        none = 0,
        genericException = 1,
        fileNotFound = 2,
        badPath = 3,
        tooManyOpenFiles = 4,
        accessDenied = 5,
        invalidFile = 6,
        removeCurrentDir = 7,
        directoryFull = 8,
        badSeek = 9,
        hardIO = 10,
        sharingViolation = 11,
        lockViolation = 12,
        diskFull = 13,
        endOfFile = 14,
    };

    CFileException(int cause, unsigned long osError) : m_cause(cause), m_lOsError(osError) {}

    // Classifies a Win32 error code; "in use" is accessDenied or sharingViolation.
    static int CauseFromOsError(unsigned long osError);
    static CFileException FromOsError(unsigned long osError) { return {CauseFromOsError(osError), osError}; }

    bool MeansInUse() const { return m_cause == accessDenied || m_cause == sharingViolation; }

    int m_cause;
    unsigned long m_lOsError;
};

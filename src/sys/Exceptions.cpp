#include "sys/Exceptions.h"

int CFileException::CauseFromOsError(unsigned long osError)
{
    switch (osError) {
    case 0:
        return none;
    case 5: case 12: case 19: case 29: case 54: case 58: case 64: case 65: case 71:
    case 80: case 82: case 86: case 170: case 183: case 999:
        return accessDenied;
    case 32:
        return sharingViolation;
    case 2:
        return fileNotFound;
    case 3: case 15: case 123: case 161: case 206:
        return badPath;
    case 4:
        return tooManyOpenFiles;
    case 6:
        return invalidFile;
    case 16:
        return removeCurrentDir;
    case 18:
        return directoryFull;
    case 25: case 131:
        return badSeek;
    case 23: case 30: case 31: case 1117:
        return hardIO;
    case 33: case 158:
        return lockViolation;
    case 39: case 112:
        return diskFull;
    case 38:
        return endOfFile;
    default:
        return genericException;
    }
}

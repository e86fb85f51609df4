#include "sys/FileContents.h"

#include "sys/FileHandles.h"

bool ReadWholeFile(CPlatform& sys, const std::string& path, std::uint64_t maxBytes, std::string& text)
{
    text.clear();
    CFileHandle file(sys, path, FileMode::ReadShared);
    std::uint64_t size = 0;
    if (!file.IsOpen() || sys.FileSize(file.Get(), size) != 0 || size > maxBytes)
        return false;
    text.resize(static_cast<std::size_t>(size));
    std::size_t done = 0;
    while (done < text.size()) {
        std::size_t got = 0;
        if (sys.FileRead(file.Get(), text.data() + done, text.size() - done, got) != 0 || got == 0)
            break;
        done += got;
    }
    text.resize(done);
    return true;
}

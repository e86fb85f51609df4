// Keeps a file in use, as another program would: opens it without sharing, says
// "ready" on standard output, and holds it until the process is ended.
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fputs("usage: holder FILE\n", stderr);
        return 2;
    }
    // Someone looking at the file (a test waiting for us) may have it open for a moment.
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 500; ++attempt) {
        file = ::CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
        if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_SHARING_VIOLATION)
            break;
        ::Sleep(10);
    }
    if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "holder: cannot open the file (error %lu)\n", ::GetLastError());
        return 1;
    }
    std::puts("ready");
    std::fflush(stdout);
    ::Sleep(INFINITE);
    return 0;
}

// Benchmarks of file removal, run under Wine by tools/bench.sh.
//
//   bench_removal overwrite FILE MIB    times the wipe of a MIB-sized file (overwrite, flush, delete)
//   bench_removal sweep FOLDER ROUNDS   times SweepFolder against a bare FindFirstFile/DeleteFile/
//                                       RemoveDirectory loop over 20,000 files in 2,000 folders
// Each prints one line of figures.
#include "engine/run/CleaningEngine.h"
#include "sys/Utf8.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kTopFolders = 200;
constexpr int kSubfolders = 10;
constexpr int kFilesPerFolder = 10;
constexpr int kFiles = kTopFolders * kSubfolders * kFilesPerFolder;

// A window that only keeps the report, as the real one keeps its model.
class CQuietSink : public IRunSink {
public:
    void AppendReport(const std::string& text) override { m_report += text; }
    void ClearReport() override { m_report.clear(); }
    void RepaintReport() override {}
    void SetStatusText(const std::string&, bool) override {}
    void SetProgressRange(int) override {}
    void StepProgress() override {}
    void ResetProgress() override {}
    void SetBusy(bool) override {}
    bool AskYesNo(const std::string&) override { return false; }
    void Tell(const std::string&) override {}
    void PassPauseGate() override {}
    void OnRunFinished(const RunOutcome&) override {}

private:
    std::string m_report;
};

double Seconds()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool WriteWholeFile(const std::wstring& path, const std::vector<char>& block, std::uint64_t bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    for (std::uint64_t left = bytes; left > 0 && ok;) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::uint64_t>(left, block.size()));
        DWORD written = 0;
        ok = WriteFile(file, block.data(), chunk, &written, nullptr) && written == chunk;
        left -= chunk;
    }
    CloseHandle(file);
    return ok;
}

int BenchOverwrite(const std::string& path, std::uint64_t mebibytes)
{
    const std::uint64_t bytes = mebibytes << 20;
    if (!WriteWholeFile(Widen(path), std::vector<char>(1 << 20, 'A'), bytes)) {
        std::fprintf(stderr, "cannot create %s\n", path.c_str());
        return 1;
    }
    CQuietSink sink;
    CCleaningEngine engine(sink);
    engine.UseOptions({.switches = {.wipeClean = true}});
    const double start = Seconds();
    engine.RemoveFile(path);
    const double elapsed = Seconds() - start;
    if (engine.Tally().files != 1 || GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES) {
        std::fprintf(stderr, "the wipe did not remove %s\n", path.c_str());
        return 1;
    }
    std::printf("overwrite: %llu MiB wiped and deleted in %.3f s = %.0f MB/s\n",
                static_cast<unsigned long long>(mebibytes), elapsed, static_cast<double>(bytes) / elapsed / 1e6);
    return 0;
}

// 200 folders of 10 subfolders of 10 files of about 90 bytes.
void MakeTree(const std::wstring& root)
{
    const std::vector<char> contents(90, 'x');
    CreateDirectoryW(root.c_str(), nullptr);
    for (int top = 0; top < kTopFolders; ++top) {
        const std::wstring topFolder = root + L"\\t" + std::to_wstring(top);
        CreateDirectoryW(topFolder.c_str(), nullptr);
        for (int sub = 0; sub < kSubfolders; ++sub) {
            const std::wstring folder = topFolder + L"\\s" + std::to_wstring(sub);
            CreateDirectoryW(folder.c_str(), nullptr);
            for (int file = 0; file < kFilesPerFolder; ++file)
                WriteWholeFile(folder + L"\\f" + std::to_wstring(file) + L".dat", contents, contents.size());
        }
    }
}

// The least any sweep can do: one search per folder, one call per file and folder.
int BareRemove(const std::wstring& folder)
{
    int files = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring path = folder + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            files += BareRemove(path);
            RemoveDirectoryW(path.c_str());
        } else if (DeleteFileW(path.c_str())) {
            ++files;
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return files;
}

int BenchSweep(const std::string& root, int rounds)
{
    const std::wstring wideRoot = Widen(root);
    double bestBare = 1e30;
    double bestSweep = 1e30;
    for (int round = 0; round < rounds; ++round) {
        MakeTree(wideRoot);
        double start = Seconds();
        const int bareFiles = BareRemove(wideRoot);
        bestBare = std::min(bestBare, Seconds() - start);

        MakeTree(wideRoot);
        CQuietSink sink;
        CCleaningEngine engine(sink);
        start = Seconds();
        engine.SweepFolder(root, "*", true);
        bestSweep = std::min(bestSweep, Seconds() - start);
        if (bareFiles != kFiles || engine.Tally().files != kFiles) {
            std::fprintf(stderr, "removed %d (bare) and %lld (sweep) of %d files\n", bareFiles,
                         static_cast<long long>(engine.Tally().files), kFiles);
            return 1;
        }
    }
    RemoveDirectoryW(wideRoot.c_str());
    std::printf("sweep: %d files in %d folders, best of %d: bare loop %.2f s (%.0f files/s), "
                "SweepFolder %.2f s (%.0f files/s), ratio %.2f\n",
                kFiles, kTopFolders * kSubfolders, rounds, bestBare, kFiles / bestBare, bestSweep, kFiles / bestSweep,
                bestSweep / bestBare);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::string mode = argc > 1 ? Narrow(argv[1]) : "";
    if (mode == "overwrite" && argc == 4)
        return BenchOverwrite(Narrow(argv[2]), std::stoull(Narrow(argv[3])));
    if (mode == "sweep" && argc == 4)
        return BenchSweep(Narrow(argv[2]), std::stoi(Narrow(argv[3])));
    std::fprintf(stderr, "usage: bench_removal overwrite FILE MIB | sweep FOLDER ROUNDS\n");
    return 2;
}

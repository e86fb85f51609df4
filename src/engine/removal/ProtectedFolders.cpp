#include "engine/removal/ProtectedFolders.h"

#include "engine/removal/PathText.h"
#include "sys/FileHandles.h"

#include <algorithm>
#include <optional>

namespace {

std::optional<FileInfo> Identity(CPlatform& sys, const std::string& folder)
{
    std::string full;
    if (folder.empty() || sys.GetFullPath(folder, full) != 0)
        return std::nullopt;
    if (full.back() != '\\')
        full += '\\';
    CFileHandle handle(sys, LiteralPath(full), FileMode::Inspect);
    FileInfo info;
    if (!handle.IsOpen() || sys.FileInformation(handle.Get(), info) != 0)
        return std::nullopt;
    return info;
}

std::string Below(const std::string& folder, const char* name)
{
    return folder.empty() ? folder : folder + "\\" + name;
}

} // namespace

CProtectedFolders::CProtectedFolders(CPlatform& sys) : m_sys(sys)
{
    for (UserFolder known : {UserFolder::Documents,      UserFolder::Music,          UserFolder::Pictures,
                             UserFolder::Videos,         UserFolder::Desktop,        UserFolder::Downloads,
                             UserFolder::Favorites,      UserFolder::SavedGames,     UserFolder::Contacts,
                             UserFolder::Links,          UserFolder::Searches,       UserFolder::OneDrive,
                             UserFolder::RoamingAppData, UserFolder::LocalAppData,   UserFolder::LocalAppDataLow,
                             UserFolder::Profile,        UserFolder::UsersFolder,    UserFolder::Public,
                             UserFolder::ProgramData,    UserFolder::ProgramFiles,   UserFolder::ProgramFilesX86,
                             UserFolder::CommonFiles,    UserFolder::CommonFilesX86, UserFolder::Windows,
                             UserFolder::System,         UserFolder::SystemX86,      UserFolder::Fonts})
        Add(sys.UserFolderPath(known));
    const std::string windows = sys.WindowsDirectory();
    for (const char* name : {"WinSxS", "Installer", "INF", "SysWOW64"})
        Add(Below(windows, name));
    Add(windows);
    Add(sys.SystemDirectory());
    // The profile the environment names, which the rules' variables read.
    const std::string profile = sys.ProfileDirectory();
    Add(profile);
    Add(Below(profile, "AppData"));
    Add(Below(sys.UserFolderPath(UserFolder::Profile), "AppData"));
    // Every profile in the Users folder, and the folder that holds the environment's profile.
    const std::string users = sys.UserFolderPath(UserFolder::UsersFolder);
    if (const std::size_t cut = profile.rfind('\\'); cut != std::string::npos)
        Add(profile.substr(0, cut));
    if (!users.empty()) {
        for (CFileFind find(sys, users + "\\*"); find.Found(); find.Next()) {
            const FindEntry& entry = find.Entry();
            if ((entry.attributes & kAttrDirectory) && entry.name != "." && entry.name != "..")
                Add(users + "\\" + entry.name);
        }
    }
    // Wine's view of the host's own root, which a drive may map.
    Add("\\\\?\\unix\\");
}

void CProtectedFolders::Add(const std::string& folder)
{
    if (const std::optional<FileInfo> info = Identity(m_sys, folder))
        m_folders.push_back(*info);
}

bool CProtectedFolders::Contains(const std::string& folder) const
{
    const std::optional<FileInfo> info = Identity(m_sys, folder);
    if (!info)
        return false;
    if (std::any_of(m_folders.begin(), m_folders.end(), [&](const FileInfo& kept) { return kept.SameFile(*info); }))
        return true;
    // The top of any drive, or of a volume mounted in a folder.
    std::string root;
    if (m_sys.GetVolumeRoot(folder, root) != 0)
        return true; // a folder whose volume is unknown cannot be told apart from its top
    const std::optional<FileInfo> rootInfo = Identity(m_sys, root);
    return rootInfo && rootInfo->SameFile(*info);
}

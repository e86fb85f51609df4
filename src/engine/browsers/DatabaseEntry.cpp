// The database runner: the in-use question, one transaction, and the line.
#include "engine/browsers/DatabaseEntry.h"

#include "sys/FileHandles.h"

namespace {

// The files SQLite keeps beside a database while it changes it.
constexpr const char* kCompanionSuffixes[] = {"", "-wal", "-journal"};

} // namespace

void CDatabaseRunner::Run(const BrowserProfile& profile, const DatabaseJob& job)
{
    const bool preview = m_host.Previewing();
    while (BrowserLetGo(profile)) {
        const std::uint64_t before = preview ? 0 : BytesOnDisk(job);
        try {
            const DatabaseCounts counts = CleanOnce(job);
            const std::uint64_t after = preview ? 0 : BytesOnDisk(job);
            m_host.ReportRows(job.path, RowsLine(job.wording, job.path, counts, preview), {counts.removed, counts.kept},
                              before > after ? before - after : 0);
            return;
        } catch (const CUnknownSchema&) {
            m_host.ReportItem(RunAction::Skipped, job.path,
                              LeftAsItWasLine(DatabaseTrouble::UnknownSchema, job.path, {}, preview));
            return;
        } catch (const CSqliteError& error) {
            if (error.InUse() && UserRetries(profile))
                continue;
            if (error.InUse())
                break;
            if (error.Unreadable()) {
                m_host.ReportItem(RunAction::Skipped, job.path,
                                  LeftAsItWasLine(DatabaseTrouble::Unreadable, job.path, {}, preview));
            } else {
                m_host.ReportItem(RunAction::NotDeleted, job.path,
                                  LeftAsItWasLine(DatabaseTrouble::Failed, job.path, error.what(), preview));
            }
            return;
        }
    }
    m_host.ReportItem(RunAction::NotDeleted, job.path, InUseLine(profile.browser, job.path, preview));
}

bool CDatabaseRunner::BrowserLetGo(const BrowserProfile& profile)
{
    while (!m_skipped.count(profile.browser) && m_profiles.InUse(profile)) {
        if (!UserRetries(profile))
            return false;
    }
    return !m_skipped.count(profile.browser);
}

bool CDatabaseRunner::UserRetries(const BrowserProfile& profile)
{
    if (m_host.Sink().AskRetryOrSkip(InUseQuestion(profile.browser)))
        return true;
    m_skipped.insert(profile.browser);
    return false;
}

DatabaseCounts CDatabaseRunner::CleanOnce(const DatabaseJob& job)
{
    // A clean's connection, closing, checkpoints a WAL through SQLite and removes it. A
    // preview looks read-only, so that it changes nothing: a read-write connection would fold
    // a WAL the browser left into the database, and roll back a journal it left.
    CSqliteDatabase db(job.path, m_host.Previewing());
    for (const auto& [schema, path] : job.attached)
        db.Attach(path, schema);
    CSqliteTransaction transaction(db);
    db.CheckIntegrity();
    const DatabaseCounts counts = job.clean(db, m_host.Previewing());
    if (!m_host.Previewing())
        transaction.Commit();
    return counts;
}

std::uint64_t CDatabaseRunner::BytesOnDisk(const DatabaseJob& job)
{
    std::uint64_t bytes = 0;
    const auto add = [&](const std::string& database) {
        for (const char* suffix : kCompanionSuffixes) {
            CFileFind find(m_host.Sys(), database + suffix);
            if (find.Found())
                bytes += find.Entry().size;
        }
    };
    add(job.path);
    for (const auto& attached : job.attached)
        add(attached.second);
    return bytes;
}

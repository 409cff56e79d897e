#pragma once
// The temporary file a writer fills before renaming it over its target, so the target
// holds the old file or the whole new one and never half of either. Every file the
// programs write (workbooks, backups, restores, a new database) goes through one, in the
// target's folder under a short name of its own, ".kestrova-tmp-PID-N": a long target
// name never becomes too long for its temporary, and a later run tells the leftovers of a
// process that was killed from the files of one still writing. Plain C++, no Qt, so the
// workbook library uses it as well.
#include <string>
#include <string_view>

namespace kestrova::xls {

class TemporaryFile
{
public:
    // Creates an empty temporary beside target, first removing the leftovers in that
    // folder. Refuses (std::system_error, EACCES) an existing target without write
    // permission, whoever runs the program: a read-only file is not replaced.
    explicit TemporaryFile(const std::string &target);
    // Removes the temporary (and a journal SQLite left beside it) unless it was renamed.
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;

    const std::string &path() const { return m_path; }
    // Syncs the temporary's data to disk, renames it over the target and syncs the
    // folder, so the new file survives a power cut once this returns. Throws
    // std::system_error naming the target.
    void commit();

private:
    std::string m_target;
    std::string m_path;
    bool m_committed = false;
};

// Whether a file name is one of the temporaries above.
bool isTemporaryName(std::string_view fileName);
// Removes from folder the temporaries whose process no longer runs (and those of an
// earlier process that had this one's number). Failures are ignored: a leftover that
// cannot go now goes next time.
void removeLeftoverTemporaries(const std::string &folder);
// Throws std::system_error naming path when path exists and may not be written: its
// mode has no write permission, or the process lacks the right to write it.
void checkWritable(const std::string &path);

} // namespace kestrova::xls

#include "xls/temporary_file.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace kestrova::xls {

namespace {

constexpr std::string_view kPrefix = ".kestrova-tmp-";

[[noreturn]] void fail(int err, const std::string &what)
{
    throw std::system_error(err, std::generic_category(), what);
}

// The temporaries this process holds now, by file name: a leftover carrying this
// process's number is an earlier process's only when it is not among them.
struct Held {
    std::mutex mutex;
    std::set<std::string> names;
};

Held &held()
{
    static Held h;
    return h;
}

std::string folderOf(const std::string &path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string fileNameOf(const std::string &path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Reads the digits at s[at...]; false when there are none.
bool digitsAt(std::string_view s, size_t &at, unsigned long long &value)
{
    const size_t from = at;
    value = 0;
    while (at < s.size() && s[at] >= '0' && s[at] <= '9' && at - from < 19)
        value = value * 10 + unsigned(s[at++] - '0');
    return at > from;
}

// The process number and the temporary's own name (without a suffix SQLite added).
bool parseName(std::string_view name, long &pid, std::string &base)
{
    if (name.substr(0, kPrefix.size()) != kPrefix)
        return false;
    size_t at = kPrefix.size();
    unsigned long long p = 0, n = 0;
    if (!digitsAt(name, at, p) || at >= name.size() || name[at] != '-')
        return false;
    ++at;
    if (!digitsAt(name, at, n) || (at < name.size() && name[at] != '-'))
        return false;
    pid = long(p);
    base = std::string(name.substr(0, at));
    return true;
}

bool processRuns(long pid)
{
    if (pid <= 0)
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

void syncFolder(const std::string &folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return; // the rename is done; a folder we cannot open cannot be synced either
    ::fsync(fd);
    ::close(fd);
}

} // namespace

bool isTemporaryName(std::string_view fileName)
{
    long pid = 0;
    std::string base;
    return parseName(fileName, pid, base);
}

void removeLeftoverTemporaries(const std::string &folder)
{
    DIR *dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const long self = long(::getpid());
    while (const dirent *e = ::readdir(dir)) {
        long pid = 0;
        std::string base;
        if (!parseName(e->d_name, pid, base))
            continue;
        bool leftover = !processRuns(pid);
        if (pid == self) {
            std::lock_guard lock(held().mutex);
            leftover = !held().names.count(base);
        }
        if (leftover)
            ::unlink((folder + "/" + e->d_name).c_str());
    }
    ::closedir(dir);
}

void checkWritable(const std::string &path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return; // nothing there yet
    if (!S_ISREG(st.st_mode))
        return; // the rename says what is wrong with a folder
    // The superuser may write anything; a file marked read-only is still not replaced.
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path.c_str(), W_OK) != 0)
        fail(EACCES, path);
}

TemporaryFile::TemporaryFile(const std::string &target) : m_target(target)
{
    checkWritable(target);
    const std::string folder = folderOf(target);
    removeLeftoverTemporaries(folder);
    static std::atomic<unsigned long> counter{0};
    for (;;) {
        const std::string name = std::string(kPrefix) + std::to_string(::getpid()) + "-" + std::to_string(++counter);
        const std::string path = folder + "/" + name;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            fail(errno, target);
        }
        ::close(fd);
        std::lock_guard lock(held().mutex);
        held().names.insert(name);
        m_path = path;
        return;
    }
}

TemporaryFile::~TemporaryFile()
{
    if (!m_committed) {
        ::unlink(m_path.c_str());
        ::unlink((m_path + "-journal").c_str());
    }
    std::lock_guard lock(held().mutex);
    held().names.erase(fileNameOf(m_path));
}

void TemporaryFile::commit()
{
    const int fd = ::open(m_path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        fail(errno, m_target);
    if (::fsync(fd) != 0) {
        const int err = errno;
        ::close(fd);
        fail(err, m_target);
    }
    ::close(fd);
    if (std::rename(m_path.c_str(), m_target.c_str()) != 0)
        fail(errno, m_target);
    m_committed = true;
    syncFolder(folderOf(m_target));
}

} // namespace kestrova::xls

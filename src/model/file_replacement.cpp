#include "model/file_replacement.h"

#include <cerrno>
#include <cstdlib>
#include <functional>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <glib.h>
#include <glib/gstdio.h>

#include "common/c_resource.h"
#include "common/i18n.h"

namespace velkaro {
namespace {

constexpr const char* TEMP_MARK = ".velkaro-";
constexpr size_t SUFFIX_LENGTH = 6;
constexpr int NAME_TRIES = 100;
// As many links as the system follows in one path.
constexpr int MAX_LINK_HOPS = 40;

std::string error_text(int err)
{
  return g_strerror(err);
}

std::string random_suffix()
{
  static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string suffix;
  for (size_t i = 0; i < SUFFIX_LENGTH; ++i)
    suffix += letters[g_random_int_range(0, sizeof letters - 1)];
  return suffix;
}

// The temporary names of target's saves begin with this.
std::string temp_prefix(const std::string& target)
{
  const GCharPtr base(g_path_get_basename(target.c_str()));
  return std::string(".") + base.get() + TEMP_MARK;
}

void sync_dir(const std::string& dir)
{
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0)
    return;
  (void)fsync(fd);
  close(fd);
}

} // namespace

ModelFileReplacement::ModelFileReplacement(std::string target) : m_target(std::move(target))
{
  const GCharPtr dir(g_path_get_dirname(m_target.c_str()));
  m_dir = dir.get();
  m_prefix = temp_prefix(m_target);
}

ModelFileReplacement::~ModelFileReplacement()
{
  if (!m_temp.empty())
    (void)g_unlink(m_temp.c_str());
  if (m_fd >= 0)
    close(m_fd);
}

std::string ModelFileReplacement::file_behind(const std::string& path)
{
  std::string at = path;
  for (int hop = 0; hop < MAX_LINK_HOPS; ++hop) {
    struct stat info {};
    if (lstat(at.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
      return at;
    if (const CPtr<char, free> resolved(realpath(at.c_str(), nullptr)); resolved)
      return resolved.get();
    // A link to a file that is not there yet: the file is made where the
    // link leads, as a shell's redirection makes it, and the link stays.
    const GCharPtr to(g_file_read_link(at.c_str(), nullptr));
    if (!to)
      return path;
    if (g_path_is_absolute(to.get())) {
      at = to.get();
    } else {
      const GCharPtr dir(g_path_get_dirname(at.c_str()));
      const GCharPtr joined(g_build_filename(dir.get(), to.get(), nullptr));
      at = joined.get();
    }
  }
  // A ring of links: stat() refuses the path itself.
  return path;
}

bool ModelFileReplacement::may_replace(const std::string& target, struct stat& info, bool& exists,
                                       std::string& error)
{
  exists = stat(target.c_str(), &info) == 0;
  if (!exists) {
    if (errno == ENOENT)
      return true;
    error = error_text(errno);
    return false;
  }
  if (S_ISDIR(info.st_mode)) {
    error = error_text(EISDIR);
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    error = _("it is not a regular file");
    return false;
  }
  // A file the user may not write, or that someone made read-only for
  // everyone, is not replaced behind their back.
  if ((info.st_mode & 0222) == 0) {
    error = error_text(EACCES);
    return false;
  }
  if (access(target.c_str(), W_OK) != 0) {
    error = error_text(errno);
    return false;
  }
  return true;
}

void ModelFileReplacement::clear_leftovers(const std::string& target)
{
  const GCharPtr dir_name(g_path_get_dirname(target.c_str()));
  const std::string prefix = temp_prefix(target);
  const CPtr<DIR, closedir> dir(opendir(dir_name.get()));
  if (!dir)
    return;
  const int dir_fd = dirfd(dir.get());
  while (const dirent* entry = readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name.size() != prefix.size() + SUFFIX_LENGTH || name.compare(0, prefix.size(), prefix) != 0)
      continue;
    const int fd = openat(dir_fd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
      continue;
    struct stat info {};
    // A writer that still lives holds its lock; a killed one held it no more.
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0) {
      g_debug("file: removing %s, left by a save that did not finish", name.c_str());
      (void)unlinkat(dir_fd, name.c_str(), 0);
    }
    close(fd);
  }
}

bool ModelFileReplacement::open(mode_t mode, std::string& error)
{
  if (!open_unnamed(mode) && !open_named(mode, error))
    return false;
  if (flock(m_fd, LOCK_EX | LOCK_NB) != 0)
    g_debug("file: the temporary file of %s cannot be locked: %s", m_target.c_str(),
            g_strerror(errno));
  return true;
}

bool ModelFileReplacement::open_over_target(mode_t new_mode, std::string& error)
{
  if (!may_replace(m_target, m_replaced, m_replaced_exists, error))
    return false;
  clear_leftovers(m_target);
  if (!open(m_replaced_exists ? 0600 : new_mode, error))
    return false;
  if (m_replaced_exists)
    (void)fchmod(m_fd, m_replaced.st_mode & 07777);
  return true;
}

bool ModelFileReplacement::sync(std::string& error)
{
  if (fsync(m_fd) != 0 && errno != EINVAL && errno != EROFS) {
    error = error_text(errno);
    return false;
  }
  return true;
}

bool ModelFileReplacement::open_unnamed(mode_t mode)
{
#ifdef O_TMPFILE
  m_fd = ::open(m_dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
  return m_fd >= 0;
#else
  (void)mode;
  return false;
#endif
}

bool ModelFileReplacement::take_free_name(const std::function<bool(const std::string& path)>& make,
                                          std::string& error)
{
  for (int i = 0; i < NAME_TRIES; ++i) {
    const std::string path = m_dir + G_DIR_SEPARATOR_S + m_prefix + random_suffix();
    if (make(path)) {
      m_temp = path;
      return true;
    }
    if (errno != EEXIST)
      break;
  }
  error = error_text(errno);
  return false;
}

bool ModelFileReplacement::open_named(mode_t mode, std::string& error)
{
  return take_free_name(
    [this, mode](const std::string& path) {
      m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
      return m_fd >= 0;
    },
    error);
}

int ModelFileReplacement::dup_fd(std::string& error) const
{
  const int fd = fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
  if (fd < 0)
    error = error_text(errno);
  return fd;
}

bool ModelFileReplacement::name(std::string& error)
{
  if (!m_temp.empty())
    return true;
  const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
  return take_free_name(
    [this, &self](const std::string& path) {
      // Through /proc any user may link the file; without /proc only a
      // privileged one.
      return linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
             (errno == ENOENT && linkat(m_fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0);
    },
    error);
}

std::string ModelFileReplacement::get_display_name() const
{
  return m_temp.empty() ? m_target + " (new version)" : m_temp;
}

bool ModelFileReplacement::replace(std::string& error)
{
  if (!rename_over(m_temp, m_target, error))
    return false;
  committed();
  return true;
}

bool ModelFileReplacement::rename_over(const std::string& temp, const std::string& target, std::string& error)
{
  if (g_rename(temp.c_str(), target.c_str()) != 0) {
    error = error_text(errno);
    return false;
  }
  // The new name is on the disk only once the directory is.
  const GCharPtr dir(g_path_get_dirname(target.c_str()));
  sync_dir(dir.get());
  return true;
}

} // namespace velkaro

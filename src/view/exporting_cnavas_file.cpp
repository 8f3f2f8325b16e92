// Writing the exported image: a temporary file beside the target, renamed
// over it once complete, so that a failure never costs the old file.

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <glib.h>
#include <glib/gstdio.h>

#include "common/c_resource.h"
#include "common/i18n.h"
#include "view/drawer_context.h"
#include "view/exporting_cnavas.h"
#include "view/png_writer.h"

namespace velkaro {
namespace {

// The file an export replaces: the target of a symbolic link, so that the
// link stays; otherwise path itself.
std::string file_behind(const std::string& path)
{
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
    return path;
  const CPtr<char, free> resolved(realpath(path.c_str(), nullptr));
  return resolved ? std::string(resolved.get()) : path;
}

// Whether an export may replace target; info holds the old file's mode
// when it exists.
bool may_replace(const std::string& target, struct stat& info, bool& exists, std::string& error)
{
  exists = stat(target.c_str(), &info) == 0;
  if (!exists) {
    if (errno == ENOENT)
      return true;
    error = g_strerror(errno);
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    error = S_ISDIR(info.st_mode) ? g_strerror(EISDIR) : _("it is not a regular file");
    return false;
  }
  // A file the user may not write is not replaced behind their back.
  if (access(target.c_str(), W_OK) != 0) {
    error = g_strerror(errno);
    return false;
  }
  return true;
}

// The PNG writer hands the encoded bytes here.
cairo_status_t write_to_fd(void* closure, const unsigned char* data, unsigned int length)
{
  const int fd = *static_cast<int*>(closure);
  while (length > 0) {
    const ssize_t n = ::write(fd, data, length);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return CAIRO_STATUS_WRITE_ERROR;
    data += n;
    length -= static_cast<unsigned int>(n);
  }
  return CAIRO_STATUS_SUCCESS;
}

} // namespace

bool ViewExportingCnavas::write_file(const std::string& file_path, std::string& error)
{
  const std::string target = file_behind(file_path);
  struct stat info {};
  bool exists = false;
  if (!may_replace(target, info, exists, error))
    return false;
  const GCharPtr dir(g_path_get_dirname(target.c_str()));
  const GCharPtr base(g_path_get_basename(target.c_str()));
  std::string temp = std::string(dir.get()) + G_DIR_SEPARATOR_S "." + base.get() + ".XXXXXX";
  // Beside the target, so that the rename stays within one file system.
  int fd = g_mkstemp_full(temp.data(), O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) {
    error = g_strerror(errno);
    return false;
  }
  ScopeGuard remove_temp([&temp] { (void)g_unlink(temp.c_str()); });
  ScopeGuard close_fd([&fd] {
    if (fd >= 0)
      (void)close(fd);
  });
  if (exists)
    (void)fchmod(fd, info.st_mode & 07777);
  const cairo_status_t status = view_write_png(dc->surface->cobj(), write_to_fd, &fd);
  if (status != CAIRO_STATUS_SUCCESS) {
    error = cairo_status_to_string(status);
    return false;
  }
  if (fsync(fd) != 0 && errno != EINVAL && errno != EROFS) {
    error = g_strerror(errno);
    return false;
  }
  const int closed = close(fd);
  fd = -1;
  if (closed != 0) {
    error = g_strerror(errno);
    return false;
  }
  if (!replace_file(temp, target, error))
    return false;
  remove_temp.dismiss();
  return true;
}

bool ViewExportingCnavas::replace_file(const std::string& temp, const std::string& target, std::string& error)
{
  if (g_rename(temp.c_str(), target.c_str()) != 0) {
    error = g_strerror(errno);
    return false;
  }
  // The new name is on the disk only once the directory is.
  const GCharPtr dir(g_path_get_dirname(target.c_str()));
  const int dir_fd = open(dir.get(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_fd >= 0) {
    (void)fsync(dir_fd);
    (void)close(dir_fd);
  }
  return true;
}

} // namespace velkaro

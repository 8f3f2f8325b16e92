// The document file: writing and reading the workspace, and saving and
// loading it so that a failure never costs what is on disk or in memory.

#include <cerrno>
#include <climits>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <glib.h>
#include <glib/gstdio.h>
#include <glibmm/ustring.h>

#include "common/c_resource.h"
#include "common/i18n.h"
#include "model/element_cells.h"
#include "model/grid.h"
#include "model/serializing_reader.h"
#include "model/serializing_writer.h"
#include "model/workspace.h"
#include "model/workspace_diff.h"

namespace velkaro {
namespace {

std::string error_text(int err)
{
  return g_strerror(err);
}

// The file a save replaces: the target of a symbolic link, so that the link
// stays; otherwise path itself.
std::string file_behind(const std::string& path)
{
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
    return path;
  const CPtr<char, free> resolved(realpath(path.c_str(), nullptr));
  return resolved ? std::string(resolved.get()) : path;
}

// Whether a save may replace target; sets info when it exists.
bool may_replace(const std::string& target, struct stat& info, bool& exists, std::string& error)
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
  // A file the user may not write is not replaced behind their back.
  if (access(target.c_str(), W_OK) != 0) {
    error = error_text(errno);
    return false;
  }
  return true;
}

} // namespace

// --- the document in XML ----------------------------------------------------

bool ModelWorkspace::write(SerializingWriter& writer)
{
  // The writer keeps its failures; whoever finishes it learns of them.
  writer.write_element("workspace", [&] { (void)get_cells()->write(writer); });
  return true;
}

bool ModelWorkspace::read(SerializingReader& reader)
{
  const bool on_a_node =
      reader.get_is_start_element() || reader.get_is_end_element() || reader.get_is_text();
  // An input without any node is a file that does not exist: an empty
  // document. Any other document must hold a workspace, or the next save
  // would replace a file that is not ours by an empty document.
  if (on_a_node || reader.next()) {
    if (reader.skip_to_element("workspace")) {
      (void)reader.foreach_subtree([&] {
        if (reader.get_is_start_element() && reader.get_name() == "element_cells")
          return get_cells()->read(reader);
        return true;
      });
    } else if (!reader.has_error()) {
      reader.fail_here("the document holds no \"workspace\"");
    }
  }
  update_layout_all();
  return !reader.has_error();
}

// --- save -------------------------------------------------------------------

bool ModelWorkspace::save(const std::optional<std::string>& path)
{
  const std::string p = path ? *path : m_file_path;
  if (p.empty())
    return fail_file(_("Cannot save: no file name is given."));
  std::string error;
  if (!write_file(file_behind(p), error))
    return fail_file(Glib::ustring::compose(_("Cannot save %1: %2"), p, error));
  set_file_path(p);
  modified = false;
  m_last_error.clear();
  g_debug("workspace:872: save %s", m_file_path.c_str());
  return true;
}

bool ModelWorkspace::write_file(const std::string& target, std::string& error)
{
  struct stat info {};
  bool exists = false;
  if (!may_replace(target, info, exists, error))
    return false;
  const CPtr<char, g_free> dir(g_path_get_dirname(target.c_str()));
  const CPtr<char, g_free> base(g_path_get_basename(target.c_str()));
  std::string temp = std::string(dir.get()) + G_DIR_SEPARATOR_S "." + base.get() + ".XXXXXX";
  // A file of our own beside the target, so that the rename stays within
  // one file system. Private until it has the old file's mode.
  const int fd = g_mkstemp_full(temp.data(), O_WRONLY | O_CLOEXEC, exists ? 0600 : 0666);
  if (fd < 0) {
    error = error_text(errno);
    return false;
  }
  ScopeGuard remove_temp([&temp] { (void)g_unlink(temp.c_str()); });
  if (exists) {
    (void)fchmod(fd, info.st_mode & 07777);
    // Only a privileged user can give the file back to its owner; others
    // own what they write.
    if (fchown(fd, info.st_uid, info.st_gid) != 0)
      g_debug("workspace: %s keeps the saving user as its owner", target.c_str());
  }
  const auto writer = SerializingWriter::create_on_descriptor(fd, temp);
  (void)write(*writer);
  if (!writer->finish()) {
    error = writer->get_error();
    return false;
  }
  if (!replace_file(temp, target, error))
    return false;
  remove_temp.dismiss();
  return true;
}

bool ModelWorkspace::replace_file(const std::string& temp, const std::string& target,
                                  std::string& error)
{
  if (g_rename(temp.c_str(), target.c_str()) != 0) {
    error = error_text(errno);
    return false;
  }
  // The new name is on the disk only once the directory is.
  const CPtr<char, g_free> dir(g_path_get_dirname(target.c_str()));
  const int dir_fd = open(dir.get(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_fd >= 0) {
    (void)fsync(dir_fd);
    close(dir_fd);
  }
  return true;
}

bool ModelWorkspace::fail_file(std::string message)
{
  g_debug("workspace: %s", message.c_str());
  m_last_error = std::move(message);
  return false;
}

// --- load -------------------------------------------------------------------

struct ModelWorkspace::Saved {
  std::shared_ptr<ModelGrid> grid;
  std::shared_ptr<ModelElementCells> cells;
  std::shared_ptr<ModelElementCells> tmp_cells;
  std::shared_ptr<ModelWorkspaceDiff> diff;
  std::string file_path;
  bool modified = false;
};

ModelWorkspace::Saved ModelWorkspace::take_saved() const
{
  return {grid, m_cells, tmp_cells, m_diff, m_file_path, modified};
}

void ModelWorkspace::put_back(Saved&& saved)
{
  grid = std::move(saved.grid);
  set_cells(saved.cells);
  tmp_cells = std::move(saved.tmp_cells);
  set_diff(saved.diff);
  m_file_path = std::move(saved.file_path);
  modified = saved.modified;
}

bool ModelWorkspace::load(const std::string& path)
{
  if (path.empty())
    return fail_file(_("Cannot open: no file name is given."));
  const auto reader = SerializingReader::create(path);
  if (reader->has_error())
    return fail_file(Glib::ustring::compose(_("Cannot open %1: %2"), path, reader->get_error()));
  Saved saved = take_saved();
  // Whatever happens while the file is read, the document stays as it was
  // unless the whole file was read.
  ScopeGuard restore([&] { put_back(std::move(saved)); });
  init();
  if (!read(*reader) || !reader->read_to_end()) {
    const std::string why = reader->has_error() ? reader->get_error() : _("it cannot be read");
    return fail_file(Glib::ustring::compose(_("Cannot open %1: %2"), path, why));
  }
  restore.dismiss();
  set_file_path(path);
  m_last_error.clear();
  g_debug("workspace:898: load %s", path.c_str());
  return true;
}

} // namespace velkaro

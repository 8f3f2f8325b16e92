#pragma once
// ModelFileReplacement: a file replaced whole by a new version, so that a
// failure or a crash at any moment leaves either the old contents or the new
// ones, and nothing else behind. The document and the configuration file
// are saved through it.
//
// The new contents go to a temporary file in the target's directory (so that
// the final rename stays within one file system). Where the file system
// offers it (O_TMPFILE), that file has no name while it is written: a
// program killed meanwhile leaves nothing. Only when it is complete does it
// get a name, ".<target's name>.velkaro-XXXXXX", which is then renamed over
// the target. Where unnamed files are not offered, the file bears that name
// from the start. Either way the writer holds a lock (flock) on it while it
// lives, and a file of that name that nobody holds is the leftover of a save
// that was killed: clear_leftovers() removes those of one target.
//
// Ownership: the object owns the temporary file's descriptor, and its name
// until commit(); the destructor closes the one and removes the other.

#include <functional>
#include <string>

#include <sys/stat.h>

namespace velkaro {

class ModelFileReplacement {
public:
  explicit ModelFileReplacement(std::string target);
  ~ModelFileReplacement();
  ModelFileReplacement(const ModelFileReplacement&) = delete;
  ModelFileReplacement& operator=(const ModelFileReplacement&) = delete;

  // The file a save through path replaces: the final target of a symbolic
  // link (so that the link stays and the linked file gets the contents),
  // also where a link leads to a file that does not exist yet (which the
  // save then makes); otherwise path itself, a ring of links included.
  static std::string file_behind(const std::string& path);
  // Whether a save may replace target; exists and info tell what is there.
  // Refused with error set: a directory, anything but a regular file, a
  // file the user may not write and a file that nobody may write (no write
  // permission bit at all; the privileged user too keeps off it).
  static bool may_replace(const std::string& target, struct stat& info, bool& exists,
                          std::string& error);
  // Removes the temporary files that saves of target left when they were
  // killed: files of the temporary name that no living writer holds.
  static void clear_leftovers(const std::string& target);

  // Opens the temporary file, created with mode (before the umask) and
  // locked. False with error set when none can be made.
  bool open(mode_t mode, std::string& error);
  // The start of every replacement: refused with error set where
  // may_replace() refuses the target; the leftovers of killed saves of the
  // target cleared; the temporary file opened, with new_mode where there is
  // no file yet and otherwise private until it has the old file's mode.
  bool open_over_target(mode_t new_mode, std::string& error);
  // The status of the file being replaced, as open_over_target() found it;
  // null where there was none.
  const struct stat* get_replaced() const { return m_replaced_exists ? &m_replaced : nullptr; }
  // The temporary file's descriptor, owned by this object; -1 before open().
  int get_fd() const { return m_fd; }
  // A new descriptor of the temporary file for a writer that takes it over
  // (and closes it); -1 with error set when none can be made.
  int dup_fd(std::string& error) const;
  // Flushes the temporary file to the disk (where the file system can).
  // False with error set when that failed.
  bool sync(std::string& error);
  // Names the complete file (writes and flushes are the caller's), unless it
  // has a name already. False with error set when it cannot be named.
  bool name(std::string& error);
  // The temporary file's name once it has one; the name of the target with
  // " (new version)" for messages before that.
  std::string get_display_name() const;
  const std::string& get_temp_path() const { return m_temp; }
  // Moves the named temporary file over the target and flushes the
  // directory. False with error set when the rename failed.
  bool replace(std::string& error);
  // Renames the complete file temp over target and flushes target's
  // directory, so that the new name is on the disk. False with error set
  // when the rename failed (temp is then still there).
  static bool rename_over(const std::string& temp, const std::string& target, std::string& error);
  // The temporary file has been renamed over the target (by replace() or by
  // the caller): its name is no longer this object's to remove.
  void committed() { m_temp.clear(); }

private:
  bool open_unnamed(mode_t mode);
  bool open_named(mode_t mode, std::string& error);
  // Tries random names beside the target with make (which leaves errno set
  // when it fails) until one is made or a failure other than "exists"; the
  // name made becomes the temporary file's. False with error set when none
  // was.
  bool take_free_name(const std::function<bool(const std::string& path)>& make, std::string& error);

  std::string m_target;
  std::string m_dir;
  std::string m_prefix;
  std::string m_temp;
  int m_fd = -1;
  struct stat m_replaced {};
  bool m_replaced_exists = false;
};

} // namespace velkaro

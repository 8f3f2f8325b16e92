#include "model/store.h"

#include <cerrno>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <glib/gstdio.h>
#include <glibmm/fileutils.h>
#include <glibmm/miscutils.h>
#include <glibmm/ustring.h>

#include "common/c_resource.h"
#include "common/i18n.h"
#include "common/text_join.h"
#include "model/file_replacement.h"

namespace velkaro {
namespace {

using GErrorPtr = CPtr<GError, g_error_free>;

constexpr const char* APP_DIR = "velkaro";

// GLib answers the user directories once per process; the environment is
// asked first so that a changed XDG variable counts for every new store.
std::string user_dir(const char* variable, std::string (*fallback)())
{
  const char* value = g_getenv(variable);
  if (value && g_path_is_absolute(value))
    return value;
  return fallback();
}

bool is_plain_file_name(const std::string& name)
{
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

bool make_dir(const std::string& dir, std::string& error)
{
  if (g_mkdir_with_parents(dir.c_str(), 0700) == 0)
    return true;
  error = dir + ": " + g_strerror(errno);
  return false;
}

// Replaces the file path (the file behind it, when path is a symbolic link)
// whole: a crash leaves either the old or the new contents, never a
// truncated file nor a stray temporary one. A file the user may not write,
// or one made read-only, is refused and kept.
bool write_file(const std::string& path, const std::string& data, std::string& error)
{
  const std::string target = ModelFileReplacement::file_behind(path);
  ModelFileReplacement temp(target);
  if (!temp.open_over_target(0600, error)) {
    error = target + ": " + error;
    return false;
  }
  for (size_t done = 0; done < data.size();) {
    const ssize_t n = ::write(temp.get_fd(), data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0) {
      error = target + ": " + g_strerror(errno);
      return false;
    }
    done += static_cast<size_t>(n);
  }
  if (!temp.sync(error) || !temp.name(error) || !temp.replace(error)) {
    error = target + ": " + error;
    return false;
  }
  return true;
}

// Creates path anew with data; never replaces anything. False with error
// set (EEXIST when something is there).
bool create_file(const std::string& path, const std::string& data, int& err)
{
  const int fd = g_open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) {
    err = errno;
    return false;
  }
  bool ok = true;
  for (size_t done = 0; ok && done < data.size();) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR)
      continue;
    ok = n >= 0;
    err = errno;
    if (ok)
      done += static_cast<size_t>(n);
  }
  if (ok && fsync(fd) != 0 && errno != EINVAL && errno != EROFS) {
    ok = false;
    err = errno;
  }
  close(fd);
  if (!ok)
    (void)g_unlink(path.c_str());
  return ok;
}

// Keeps data as the first free one of "<path>.bak", "<path>.bak.1",
// "<path>.bak.2" ...: an earlier backup is never written over. The name
// used; nothing with error set when none could be made.
std::optional<std::string> keep_backup(const std::string& path, const std::string& data,
                                       std::string& error)
{
  constexpr int MAX_BACKUPS = 100;
  for (int i = 0; i < MAX_BACKUPS; ++i) {
    const std::string backup = text_join({path, ".bak", i ? "." : "", i ? std::to_string(i) : ""});
    int err = 0;
    if (create_file(backup, data, err))
      return backup;
    if (err != EEXIST) {
      error = backup + ": " + g_strerror(err);
      return std::nullopt;
    }
  }
  error = path + ".bak: " + _("too many backups");
  return std::nullopt;
}

bool read_file(const std::string& path, std::string& data, std::string& error)
{
  gchar* contents = nullptr;
  gsize length = 0;
  GError* raw = nullptr;
  if (!g_file_get_contents(path.c_str(), &contents, &length, &raw)) {
    GErrorPtr err(raw);
    error = err->message;
    return false;
  }
  GCharPtr owned(contents);
  data.assign(contents, length);
  return true;
}

void log_unexpected(const Glib::Error& e, const char* file, int line)
{
  g_critical("file %s: line %d: unexpected error: %s (%s, %d)", file, line, e.what().c_str(),
             g_quark_to_string(e.domain()), e.code());
}

} // namespace

ModelStore::ModelStore(std::string exename, AlertFunc alert)
  : m_exename(std::move(exename)), m_alert(std::move(alert)),
    m_config_dir(user_dir("XDG_CONFIG_HOME", &Glib::get_user_config_dir)),
    m_cache_dir(user_dir("XDG_CACHE_HOME", &Glib::get_user_cache_dir)),
    m_data_dir(user_dir("XDG_DATA_HOME", &Glib::get_user_data_dir))
{
}

std::shared_ptr<ModelStore> ModelStore::create(std::string exename, AlertFunc alert)
{
  return std::make_shared<ModelStore>(std::move(exename), std::move(alert));
}

std::optional<std::string> ModelStore::get_value(const std::string& key, const std::string& group)
{
  Glib::KeyFile& config = get_config();
  try {
    if (!config.has_group(group) || !config.has_key(group, key))
      return std::nullopt;
    return config.get_value(group, key).raw();
  } catch (const Glib::Error& e) {
    report_unreadable_value(key, group, e);
    return std::nullopt;
  }
}

std::optional<std::vector<std::string>> ModelStore::get_values(const std::string& key, const std::string& group)
{
  Glib::KeyFile& config = get_config();
  try {
    if (!config.has_group(group) || !config.has_key(group, key))
      return std::nullopt;
    const std::vector<Glib::ustring> list = config.get_string_list(group, key);
    return std::vector<std::string>(list.begin(), list.end());
  } catch (const Glib::Error& e) {
    report_unreadable_value(key, group, e);
    return std::nullopt;
  }
}

void ModelStore::save_value(const std::string& key, const std::string& val, const std::string& group)
{
  get_config().set_value(group, key, val);
  save();
  m_signal_config_changed.emit(group, key, val);
}

void ModelStore::save_values(const std::string& key, const std::vector<std::string>& values,
                             const std::string& group)
{
  const std::vector<Glib::ustring> list(values.begin(), values.end());
  get_config().set_string_list(group, key, list);
  save();
  m_signal_config_changed.emit(group, key, get_value(key, group));
}

void ModelStore::remove_key(const std::string& key, const std::string& group)
{
  g_debug("store:106: remove key");
  Glib::KeyFile& config = get_config();
  try {
    if (config.has_group(group) && config.has_key(group, key)) {
      config.remove_key(group, key);
      g_debug("store:108: remove keyed");
    }
  } catch (const Glib::Error& e) {
    log_unexpected(e, __FILE__, __LINE__);
  }
  save();
  m_signal_config_changed.emit(group, key, std::nullopt);
}

Glib::KeyFile& ModelStore::get_config()
{
  if (!m_config)
    load_config();
  return *m_config;
}

std::string ModelStore::get_config_path() const
{
  return Glib::build_filename(m_config_dir, APP_DIR, "velkaro_" + m_exename + ".conf");
}

bool ModelStore::save_data(const std::string& key, const std::string& val)
{
  return save_data_file(key, val, false);
}

bool ModelStore::save_cache(const std::string& key, const std::string& val)
{
  return save_data_file(key, val, true);
}

std::string ModelStore::read_data(const std::string&) const { return ""; }

std::string ModelStore::read_cache(const std::string&) const { return ""; }

void ModelStore::debug_output_all_settings()
{
  Glib::KeyFile& config = get_config();
  try {
    for (const Glib::ustring& group : std::vector<Glib::ustring>(config.get_groups()))
      for (const Glib::ustring& key : std::vector<Glib::ustring>(config.get_keys(group)))
        g_debug("store:179: Key: %s.%s = %s\n", group.c_str(), key.c_str(), config.get_value(group, key).c_str());
  } catch (const Glib::KeyFileError& e) {
    g_debug("store:182: KeyFileError: %s\n", e.what().c_str());
  }
}

void ModelStore::reset_config()
{
  m_config = std::make_unique<Glib::KeyFile>();
  m_config->set_list_separator(',');
}

void ModelStore::load_config()
{
  reset_config();
  const std::string path = get_config_path();
  // The user has just been told why nothing can be saved: no second alert.
  if (!make_file(path))
    m_save_failing = true;
  // Reading a FIFO or a device would block or never end: only a regular
  // file is read, and nothing is ever written over anything else.
  if (g_file_test(path.c_str(), G_FILE_TEST_EXISTS) && !g_file_test(path.c_str(), G_FILE_TEST_IS_REGULAR)) {
    m_read_only = true;
    show_alert(Glib::ustring::compose(
      _("Can't read the config file %1\nIt is not a regular file, so changed settings are not saved."),
      Glib::ustring(path)));
    return;
  }
  try {
    m_config->load_from_file(path, Glib::KEY_FILE_KEEP_COMMENTS);
  } catch (const Glib::KeyFileError& e) {
    g_debug("store:87: key file error %s", e.what().c_str());
    keep_unreadable_file(e.what());
  } catch (const Glib::FileError& e) {
    g_debug("store:89: file error %s", e.what().c_str());
    if (g_file_test(path.c_str(), G_FILE_TEST_EXISTS))
      keep_unreadable_file(e.what());
  } catch (const Glib::Error& e) {
    log_unexpected(e, __FILE__, __LINE__);
    reset_config();
  }
}

// Makes sure the configuration file exists, creating its folder and an empty
// file when it does not. An existing file is left alone.
bool ModelStore::make_file(const std::string& path)
{
  if (g_file_test(path.c_str(), G_FILE_TEST_EXISTS))
    return true;
  std::string error;
  if (!make_dir(Glib::path_get_dirname(path), error)) {
    show_alert(_("Can't make a config file\n") + error);
    return false;
  }
  const int fd = g_open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
  if (fd < 0 && errno != EEXIST) {
    show_alert(_("Can't make a config file\n") + path + ": " + g_strerror(errno));
    return false;
  }
  if (fd >= 0)
    close(fd);
  return true;
}

// The file on disk is not a key file we can read. Start empty, but keep the
// user's file as a backup first, since the next save replaces it; an older
// backup is never written over; when even that fails, never write over the
// file.
void ModelStore::keep_unreadable_file(const std::string& reason)
{
  reset_config();
  const std::string path = get_config_path();
  std::string data;
  std::string error;
  std::optional<std::string> backup;
  if (read_file(path, data, error))
    backup = keep_backup(path, data, error);
  if (backup) {
    show_alert(Glib::ustring::compose(_("Can't read the config file %1\n%2\nIt is kept as %3 and the settings start empty."),
                                      Glib::ustring(path), Glib::ustring(reason), Glib::ustring(*backup)));
    return;
  }
  m_read_only = true;
  show_alert(Glib::ustring::compose(
    _("Can't read the config file %1\n%2\nIt can't be kept aside either (%3), so changed settings are not saved."),
    Glib::ustring(path), Glib::ustring(reason), Glib::ustring(error)));
}

// Writes the whole key file. A failure leaves the change in memory and tells
// the user once, until a save works again.
bool ModelStore::save()
{
  if (m_read_only)
    return false;
  const std::string path = get_config_path();
  std::string error;
  if (make_dir(Glib::path_get_dirname(path), error) && write_file(path, get_config().to_data().raw(), error)) {
    m_save_failing = false;
    return true;
  }
  if (!m_save_failing)
    show_alert(_("Can't save the config file\n") + error);
  m_save_failing = true;
  return false;
}

bool ModelStore::save_data_file(const std::string& key, const std::string& val, bool is_cache)
{
  if (!is_plain_file_name(key)) {
    g_warning("ModelStore: refused the data file name \"%s\": not a plain file name", key.c_str());
    return false;
  }
  const std::string dir = Glib::build_filename(is_cache ? m_cache_dir : m_data_dir, APP_DIR);
  const std::string path = Glib::build_filename(dir, key);
  g_debug("store:149: save to %s", path.c_str());
  std::string error;
  if (!make_dir(dir, error)) {
    show_alert(_("Can't make a config file\n") + error);
    return false;
  }
  if (!write_file(path, val, error)) {
    show_alert(_("Can't save a data \n") + error);
    return false;
  }
  return true;
}

void ModelStore::report_unreadable_value(const std::string& key, const std::string& group, const Glib::Error& e)
{
  // A value a person mistyped (a stray backslash, bytes that are not UTF-8)
  // reads as absent, so the default takes its place; the file keeps it as
  // it was written.
  if (!m_unreadable_told.insert(group + "/" + key).second)
    return;
  // GLib's message quotes the value, which need not be UTF-8.
  const std::string what = e.what();
  const GCharPtr reason(g_utf8_make_valid(what.c_str(), static_cast<gssize>(what.size())));
  show_alert(Glib::ustring::compose(_("Can't read the setting %1 in [%2] of the config file %3\n%4\nIts default is used."),
                                    key, group, get_config_path(), reason.get()));
}

void ModelStore::show_alert(const std::string& message) const
{
  if (m_alert)
    m_alert(message);
  else
    g_warning("%s", message.c_str());
}

} // namespace velkaro

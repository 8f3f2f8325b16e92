#pragma once
// The configuration file of one diagram kind: a GLib key file kept in memory,
// read from disk on first use and written back whole after every change.
//
// The file is <config dir>/velkaro/velkaro_<exename>.conf; lists use "," as
// separator (every item followed by ","). Hand-written comments are kept.
// Each change is made in memory, saved, and only then announced through
// signal_config_changed(), so a handler finds the new value both here and on
// disk. The file is read once per store: changes made to it by someone else
// meanwhile are overwritten by this store's next save.
//
// The configuration directory is XDG_CONFIG_HOME when set; exename comes
// from the application id (common/app_id.h). A save is atomic, through
// ModelFileReplacement like a document's: written through a symbolic link,
// a read-only file refused and kept, with one alert. The file is never lost
// to a problem:
// - A file that cannot be parsed is kept as "<file>.bak" and the user is
//   told; an existing backup is never written over: the next one is
//   ".bak.1", ".bak.2" and so on up to ".bak.99", beyond which the file is
//   not replaced at all.
// - A path that is not a regular file (a FIFO, a device) is never read nor
//   replaced; the settings then live in memory only.
// - A single value that cannot be read (a stray backslash, bytes that are
//   not UTF-8) reads as absent, so the default binding stands; the user is
//   told once and the file keeps the value as written.
//
// Problems the user must know about (a file that cannot be made, read or
// saved) go to the alert callback that the controller hands in; without one
// they are logged as warnings.

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <glibmm/keyfile.h>
#include <sigc++/sigc++.h>

namespace velkaro {

class ModelStore {
public:
  using AlertFunc = std::function<void(const std::string& message)>;
  // group, key, the new raw value (nullopt when the key was removed).
  using SignalConfigChanged =
    sigc::signal<void(const std::string&, const std::string&, const std::optional<std::string>&)>;

  // The group of the interface settings that the controller context owns.
  static constexpr const char* GENERAL = "general";

  // exename names the file ("seq" gives velkaro_seq.conf). The user's
  // directories are resolved now; nothing is read or written yet.
  explicit ModelStore(std::string exename, AlertFunc alert = {});
  static std::shared_ptr<ModelStore> create(std::string exename, AlertFunc alert = {});

  ModelStore(const ModelStore&) = delete;
  ModelStore& operator=(const ModelStore&) = delete;

  void set_alert(AlertFunc alert) { m_alert = std::move(alert); }

  // Arguments are key first, group last, as everywhere in this class.
  // The raw text of the value (a list keeps its separators); nullopt when the
  // group or the key does not exist.
  std::optional<std::string> get_value(const std::string& key, const std::string& group);
  // The items of a list value; nullopt when the group or the key does not
  // exist, an empty vector for a stored empty list.
  std::optional<std::vector<std::string>> get_values(const std::string& key, const std::string& group);

  // val is stored raw: it must be one line in the key file's value syntax.
  void save_value(const std::string& key, const std::string& val, const std::string& group);
  // Announces the list's text as get_value() now returns it.
  void save_values(const std::string& key, const std::vector<std::string>& values, const std::string& group);
  // Saves and announces nullopt even when the key was not there.
  void remove_key(const std::string& key, const std::string& group);

  // The key file, loaded first when it is not yet. Valid while the store lives.
  Glib::KeyFile& get_config();
  std::string get_config_path() const;
  const std::string& get_config_dir() const { return m_config_dir; }
  const std::string& get_cache_dir() const { return m_cache_dir; }
  const std::string& get_data_dir() const { return m_data_dir; }

  // Write val to the file key in "velkaro" under the user's data (cache)
  // directory, replacing an earlier one. A key that is not a plain file name
  // ("", ".", "..", anything with "/") is refused. True when written.
  bool save_data(const std::string& key, const std::string& val);
  bool save_cache(const std::string& key, const std::string& val);
  // What save_data and save_cache write is never read back: always "".
  std::string read_data(const std::string& key) const;
  std::string read_cache(const std::string& key) const;

  // Logs every group, key and raw value at debug level.
  void debug_output_all_settings();

  SignalConfigChanged& signal_config_changed() { return m_signal_config_changed; }

private:
  void load_config();
  void reset_config();
  bool make_file(const std::string& path);
  void keep_unreadable_file(const std::string& reason);
  bool save();
  bool save_data_file(const std::string& key, const std::string& val, bool is_cache);
  void show_alert(const std::string& message) const;
  // Tells the user, once per key, that a value of the file cannot be read.
  void report_unreadable_value(const std::string& key, const std::string& group, const Glib::Error& e);

  std::string m_exename;
  AlertFunc m_alert;
  std::string m_config_dir;
  std::string m_cache_dir;
  std::string m_data_dir;
  std::unique_ptr<Glib::KeyFile> m_config;
  // The file on disk could neither be read nor kept aside: never write over it.
  bool m_read_only = false;
  // The last save failed and the user has been told; no new alert until a save works.
  bool m_save_failing = false;
  // "group/key" of the values the user has been told cannot be read.
  std::set<std::string> m_unreadable_told;
  SignalConfigChanged m_signal_config_changed;
};

} // namespace velkaro

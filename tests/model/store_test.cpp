#include <atomic>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <vector>

#include <glibmm/miscutils.h>
#include <gtest/gtest.h>

#include "model/store.h"
#include "support/log_capture.h"
#include "support/test_env.h"

namespace velkaro {
namespace {

namespace fs = std::filesystem;

using Change = std::tuple<std::string, std::string, std::optional<std::string>>;

std::string read_text(const fs::path& path)
{
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void write_text(const fs::path& path, const std::string& text)
{
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

// Sets an environment variable for the life of the object.
class EnvGuard {
public:
  EnvGuard(const char* name, const std::string& value) : m_name(name)
  {
    if (const char* old = std::getenv(name))
      m_old = old;
    setenv(name, value.c_str(), 1);
  }
  ~EnvGuard()
  {
    if (m_old)
      setenv(m_name, m_old->c_str(), 1);
    else
      unsetenv(m_name);
  }

private:
  const char* m_name;
  std::optional<std::string> m_old;
};

// A store for the executable "seq" in the test's own configuration home,
// recording its signal (with the file's text at the moment of each emission)
// and its alerts.
class StoreTest : public ::testing::Test {
protected:
  StoreTest() : config_home(std::getenv("XDG_CONFIG_HOME")), conf(config_home / "velkaro" / "velkaro_seq.conf") {}

  std::shared_ptr<ModelStore> make_store()
  {
    auto store = ModelStore::create("seq", [this](const std::string& message) { alerts.push_back(message); });
    store->signal_config_changed().connect(
      [this](const std::string& group, const std::string& key, const std::optional<std::string>& value) {
        changes.emplace_back(group, key, value);
        file_at_emission.push_back(read_text(conf));
      });
    return store;
  }

  const fs::path config_home;
  const fs::path conf;
  std::vector<Change> changes;
  std::vector<std::string> file_at_emission;
  std::vector<std::string> alerts;
};

TEST_F(StoreTest, FirstReadCreatesFolderAndEmptyFileOnly)
{
  auto store = make_store();
  EXPECT_EQ(store->get_config_path(), conf.string());
  EXPECT_EQ(store->get_config_dir(), config_home.string());
  EXPECT_FALSE(fs::exists(config_home / "velkaro")) << "creating the store touches nothing";

  EXPECT_EQ(store->get_value("show-toolbar", ModelStore::GENERAL), std::nullopt);
  EXPECT_EQ(store->get_values("scroll-to-top", "CELL MODE"), std::nullopt);
  ASSERT_TRUE(fs::is_regular_file(conf));
  EXPECT_EQ(fs::file_size(conf), 0u);
  EXPECT_EQ(std::distance(fs::directory_iterator(conf.parent_path()), fs::directory_iterator()), 1);
  EXPECT_TRUE(changes.empty());
  EXPECT_TRUE(alerts.empty());
}

TEST_F(StoreTest, ChangesAreSavedBeforeTheyAreAnnounced)
{
  auto store = make_store();
  store->save_value("show-toolbar", "false", ModelStore::GENERAL);
  store->save_values("scroll-to-top", {"gg", "<C-c>"}, "CELL MODE");

  const std::string expected = "[general]\nshow-toolbar=false\n\n[CELL MODE]\nscroll-to-top=gg,<C-c>,\n";
  EXPECT_EQ(read_text(conf), expected);
  EXPECT_EQ(changes, (std::vector<Change>{{"general", "show-toolbar", "false"},
                                          {"CELL MODE", "scroll-to-top", "gg,<C-c>,"}}));
  ASSERT_EQ(file_at_emission.size(), 2u);
  EXPECT_NE(file_at_emission[0].find("show-toolbar=false"), std::string::npos);
  EXPECT_EQ(file_at_emission[1], expected);

  EXPECT_EQ(store->get_value("show-toolbar", "general"), "false");
  EXPECT_EQ(store->get_values("scroll-to-top", "CELL MODE"), (std::vector<std::string>{"gg", "<C-c>"}));
  // The file is replaced through a temporary file that must not be left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(conf.parent_path()), fs::directory_iterator()), 1);
  EXPECT_TRUE(alerts.empty());
}

TEST_F(StoreTest, ListsKeepEmptyListsAndSeparatorsInsideItems)
{
  auto store = make_store();
  store->save_values("delete", {}, "CELL MODE");
  store->save_values("odd", {"a,b", "c\\d"}, "CELL MODE");

  EXPECT_EQ(store->get_values("delete", "CELL MODE"), std::vector<std::string>{});
  EXPECT_EQ(store->get_value("delete", "CELL MODE"), "");
  EXPECT_EQ(store->get_values("odd", "CELL MODE"), (std::vector<std::string>{"a,b", "c\\d"}));
  EXPECT_EQ(std::get<2>(changes.front()), "");

  auto again = make_store();
  EXPECT_EQ(again->get_values("delete", "CELL MODE"), std::vector<std::string>{});
  EXPECT_EQ(again->get_values("odd", "CELL MODE"), (std::vector<std::string>{"a,b", "c\\d"}));
}

TEST_F(StoreTest, AnotherStoreOnTheSameFileReadsWhatWasSaved)
{
  make_store()->save_values("scroll-to-top", {"gg", "<C-c>"}, "CELL MODE");
  auto store = make_store();
  EXPECT_EQ(store->get_values("scroll-to-top", "CELL MODE"), (std::vector<std::string>{"gg", "<C-c>"}));
  EXPECT_EQ(store->get_value("scroll-to-top", "CELL MODE"), "gg,<C-c>,");
}

TEST_F(StoreTest, RemovingAlwaysSavesAndAnnouncesNoValue)
{
  auto store = make_store();
  store->save_value("show-toolbar", "false", "general");
  // Written behind the store's back: the next save must replace it.
  write_text(conf, "[other]\nx=1\n");

  store->remove_key("missing", "general");
  EXPECT_EQ(read_text(conf), "[general]\nshow-toolbar=false\n");
  store->remove_key("show-toolbar", "general");
  store->remove_key("key", "no such group");

  EXPECT_EQ(store->get_value("show-toolbar", "general"), std::nullopt);
  EXPECT_EQ(read_text(conf).find("show-toolbar"), std::string::npos);
  EXPECT_EQ(changes, (std::vector<Change>{{"general", "show-toolbar", "false"},
                                          {"general", "missing", std::nullopt},
                                          {"general", "show-toolbar", std::nullopt},
                                          {"no such group", "key", std::nullopt}}));
}

TEST_F(StoreTest, HandWrittenCommentsSurviveASave)
{
  write_text(conf, "# settings of the sequence editor\n[general]\n# keep the tool bar\nshow-toolbar=true\n");
  auto store = make_store();
  store->save_value("show-menubar", "false", "general");

  const std::string text = read_text(conf);
  EXPECT_NE(text.find("# settings of the sequence editor\n"), std::string::npos) << text;
  EXPECT_NE(text.find("# keep the tool bar\nshow-toolbar=true\n"), std::string::npos) << text;
  EXPECT_NE(text.find("show-menubar=false\n"), std::string::npos) << text;
}

TEST_F(StoreTest, AValueThatCannotBeReadGivesItsDefaultAndOneAlertAndStaysInTheFile)
{
  const std::string hand_written = "[seq]\n"
                                   "stray-escape=h,\\q\n"
                                   "not-utf8=h,\xff\xfe\n"
                                   "fine=a,b\n";
  write_text(conf, hand_written);
  auto store = make_store();
  test::LogCapture log;

  EXPECT_EQ(store->get_values("fine", "seq"), (std::vector<std::string>{"a", "b"}));
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(store->get_values("stray-escape", "seq"), std::nullopt);
    EXPECT_EQ(store->get_values("not-utf8", "seq"), std::nullopt);
  }
  ASSERT_EQ(alerts.size(), 2u) << "one alert per unreadable value, however often it is read";
  EXPECT_NE(alerts[0].find("stray-escape"), std::string::npos) << alerts[0];
  EXPECT_NE(alerts[1].find("not-utf8"), std::string::npos) << alerts[1];
  for (const auto& alert : alerts) {
    EXPECT_NE(alert.find(conf.string()), std::string::npos) << alert;
    EXPECT_TRUE(g_utf8_validate(alert.c_str(), static_cast<gssize>(alert.size()), nullptr)) << alert;
  }
  EXPECT_TRUE(log.messages.empty()) << log.messages.front();

  // Another change saves the file whole: the unreadable values stay as they
  // were written, for the user to mend.
  store->save_value("other", "x", "seq");
  const std::string saved = read_text(conf);
  EXPECT_NE(saved.find("stray-escape=h,\\q\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("not-utf8=h,\xff\xfe\n"), std::string::npos) << saved;
}

TEST_F(StoreTest, BrokenFileIsKeptAsBackupBeforeItIsReplaced)
{
  const std::string broken = "[general]\nshow-toolbar=false\nthis line is not a setting\n";
  write_text(conf, broken);
  auto store = make_store();

  EXPECT_EQ(store->get_value("show-toolbar", "general"), std::nullopt) << "the store starts empty";
  const fs::path backup = conf.string() + ".bak";
  EXPECT_EQ(read_text(backup), broken);
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_NE(alerts[0].find(backup.string()), std::string::npos) << alerts[0];
  EXPECT_EQ(read_text(conf), broken) << "nothing is written before a change";

  store->save_value("show-menubar", "false", "general");
  EXPECT_EQ(read_text(conf), "[general]\nshow-menubar=false\n");
  EXPECT_EQ(read_text(backup), broken);
  EXPECT_EQ(alerts.size(), 1u);
}

TEST_F(StoreTest, BrokenFileThatCannotBeKeptIsNeverOverwritten)
{
  const std::string broken = "not a key file\n";
  write_text(conf, broken);
  // Every backup name is taken (backups are numbered and never replaced):
  // the file cannot be kept aside.
  fs::create_directories(conf.string() + ".bak");
  for (int i = 1; i < 100; ++i)
    write_text(conf.string() + ".bak." + std::to_string(i), "older\n");
  auto store = make_store();

  store->save_value("show-toolbar", "false", "general");
  EXPECT_EQ(read_text(conf), broken);
  EXPECT_EQ(store->get_value("show-toolbar", "general"), "false") << "the change stays in memory";
  EXPECT_EQ(changes.size(), 1u);
  EXPECT_EQ(alerts.size(), 1u);
}

TEST_F(StoreTest, ASecondBrokenFileIsKeptBesideTheFirstBackup)
{
  write_text(conf, "first broken file\n");
  make_store()->save_value("show-toolbar", "false", "general");
  write_text(conf, "second broken file\n");
  make_store()->save_value("show-toolbar", "true", "general");
  write_text(conf, "third broken file\n");
  make_store()->save_value("show-toolbar", "true", "general");

  EXPECT_EQ(read_text(conf.string() + ".bak"), "first broken file\n");
  EXPECT_EQ(read_text(conf.string() + ".bak.1"), "second broken file\n");
  EXPECT_EQ(read_text(conf.string() + ".bak.2"), "third broken file\n");
  ASSERT_EQ(alerts.size(), 3u);
  EXPECT_NE(alerts[1].find(conf.string() + ".bak.1"), std::string::npos) << alerts[1];
}

TEST_F(StoreTest, AConfigFileBehindASymbolicLinkIsWrittenThroughTheLink)
{
  const fs::path real = config_home / "elsewhere" / "settings.conf";
  write_text(real, "[general]\nshow-toolbar=true\n");
  fs::create_directories(conf.parent_path());
  fs::create_symlink(real, conf);
  auto store = make_store();
  store->save_value("show-toolbar", "false", "general");

  EXPECT_TRUE(fs::is_symlink(conf)) << "the link was replaced";
  EXPECT_EQ(read_text(real), "[general]\nshow-toolbar=false\n");
  EXPECT_EQ(make_store()->get_value("show-toolbar", "general"), "false");
  EXPECT_EQ(std::distance(fs::directory_iterator(real.parent_path()), fs::directory_iterator()), 1);
  EXPECT_TRUE(alerts.empty());
}

TEST_F(StoreTest, AReadOnlyConfigFileIsKeptAndTheUserIsTold)
{
  const std::string text = "[general]\nshow-toolbar=true\n";
  write_text(conf, text);
  ASSERT_EQ(chmod(conf.c_str(), 0444), 0);
  auto store = make_store();
  store->save_value("show-toolbar", "false", "general");
  store->save_value("show-toolbar", "false", "general");

  EXPECT_EQ(read_text(conf), text);
  struct stat info {};
  ASSERT_EQ(stat(conf.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0444u);
  EXPECT_EQ(store->get_value("show-toolbar", "general"), "false") << "the change stays in memory";
  ASSERT_EQ(alerts.size(), 1u) << "told once";
  EXPECT_NE(alerts[0].find(conf.string()), std::string::npos) << alerts[0];
  EXPECT_EQ(std::distance(fs::directory_iterator(conf.parent_path()), fs::directory_iterator()), 1);
}

TEST_F(StoreTest, ConfigPathThatIsNotARegularFileIsNeitherReadNorReplaced)
{
  fs::create_directories(conf.parent_path());
  ASSERT_EQ(mkfifo(conf.c_str(), 0600), 0);
  // A store that opened the FIFO would block until a writer came: this one
  // comes in whenever a reader waits, so such a store fails the test instead
  // of hanging it.
  std::atomic<bool> done{false};
  std::atomic<bool> writer_got_in{false};
  std::thread writer([&] {
    while (!done) {
      const int fd = open(conf.c_str(), O_WRONLY | O_NONBLOCK);
      if (fd >= 0) {
        writer_got_in = true;
        close(fd);
      }
      usleep(1000);
    }
  });
  auto store = ModelStore::create("seq", [this](const std::string& message) { alerts.push_back(message); });
  EXPECT_EQ(store->get_value("show-toolbar", "general"), std::nullopt);
  store->save_value("show-toolbar", "false", "general");
  store->remove_key("show-menubar", "general");
  done = true;
  writer.join();

  EXPECT_FALSE(writer_got_in);
  EXPECT_TRUE(fs::is_fifo(conf)) << "nothing was written over it";
  EXPECT_EQ(store->get_value("show-toolbar", "general"), "false") << "the change stays in memory";
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_EQ(alerts[0].rfind("Can't read the config file " + conf.string() + "\n", 0), 0u) << alerts[0];
}

TEST_F(StoreTest, FailedSaveTellsTheUserOnceUntilASaveWorks)
{
  auto store = make_store();
  store->save_value("show-toolbar", "false", "general");
  // A folder where the file should be makes every save fail.
  fs::remove(conf);
  fs::create_directory(conf);

  store->save_value("show-menubar", "false", "general");
  store->save_value("show-toolbar", "true", "general");
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_EQ(alerts[0].rfind("Can't save the config file\n", 0), 0u) << alerts[0];
  EXPECT_EQ(store->get_value("show-toolbar", "general"), "true");
  EXPECT_EQ(changes.size(), 3u) << "failed saves are still announced";

  fs::remove(conf);
  store->save_value("show-menubar", "true", "general");
  EXPECT_EQ(read_text(conf), "[general]\nshow-toolbar=true\nshow-menubar=true\n");
  fs::remove(conf);
  fs::create_directory(conf);
  store->remove_key("show-menubar", "general");
  EXPECT_EQ(alerts.size(), 2u);
}

TEST_F(StoreTest, FolderThatCannotBeMadeLeavesTheStoreInMemory)
{
  write_text(config_home / "not-a-dir", "");
  EnvGuard home("XDG_CONFIG_HOME", (config_home / "not-a-dir").string());
  auto store = ModelStore::create("seq", [this](const std::string& message) { alerts.push_back(message); });

  store->save_value("show-toolbar", "false", "general");
  EXPECT_EQ(store->get_value("show-toolbar", "general"), "false");
  ASSERT_EQ(alerts.size(), 1u) << "one alert for the file, none more for the save";
  EXPECT_EQ(alerts[0].rfind("Can't make a config file\n", 0), 0u) << alerts[0];
}

TEST_F(StoreTest, RelativeConfigHomeIsNotUsed)
{
  EnvGuard home("XDG_CONFIG_HOME", "relative/dir");
  EXPECT_EQ(ModelStore("seq").get_config_dir(), Glib::get_user_config_dir());
}

TEST_F(StoreTest, DataAndCacheFilesStayInTheirFolder)
{
  velkaro::test::TempDir data;
  velkaro::test::TempDir cache;
  EnvGuard data_home("XDG_DATA_HOME", data.path().string());
  EnvGuard cache_home("XDG_CACHE_HOME", cache.path().string());
  auto store = make_store();

  EXPECT_TRUE(store->save_data("test_data", "first"));
  EXPECT_TRUE(store->save_data("test_data", "text"));
  EXPECT_TRUE(store->save_cache("test_cache", "cached"));
  EXPECT_EQ(read_text(data.path() / "velkaro" / "test_data"), "text");
  EXPECT_EQ(read_text(cache.path() / "velkaro" / "test_cache"), "cached");
  EXPECT_EQ(store->read_data("test_data"), "");
  EXPECT_EQ(store->read_cache("test_cache"), "");

  for (const std::string key : {"../escaped", "..", ".", "", "sub/file", "/tmp/absolute"}) {
    EXPECT_FALSE(store->save_data(key, "x")) << key;
    EXPECT_FALSE(store->save_cache(key, "x")) << key;
  }
  EXPECT_FALSE(fs::exists(data.path() / "escaped"));
  EXPECT_FALSE(fs::exists(data.path() / "velkaro" / "sub"));
  EXPECT_EQ(std::distance(fs::directory_iterator(data.path()), fs::directory_iterator()), 1);
  EXPECT_EQ(std::distance(fs::directory_iterator(data.path() / "velkaro"), fs::directory_iterator()), 1);
  EXPECT_TRUE(alerts.empty());
}

} // namespace
} // namespace velkaro

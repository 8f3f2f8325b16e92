// The window's file dialogs run for real: a name typed into the name field
// and Enter pressed at once answer with the main button (Save, Export,
// Open), as GTK users expect.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <cairomm/surface.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/entry.h>

#include "app/app_for_test.h"
#include "app/main_window.h"
#include "common/scoped_connection.h"
#include "seq/context.h"
#include "seq/doc/workspace.h"
#include "support/test_env.h"
#include "view/widgets_for_test.h"

namespace velkaro::test {
namespace {

namespace fs = std::filesystem;

// Runs a file dialog as a quick user does: shows it, presses the keys
// given (each with its modifiers), puts the text into the name field at
// once (as a paste does), presses Enter straight after, and waits for the
// answer. What the dialog answered is kept.
struct TypedChooser {
  std::vector<std::pair<guint, guint>> keys_first;
  std::string text;
  std::optional<int> response;
  bool entered_folder = false;

  std::optional<std::string> run(Gtk::FileChooserDialog& dialog)
  {
    response.reset();
    dialog.signal_response().connect([this](int r) { response = r; });
    dialog.show();
    frame(dialog);
    activate(dialog);
    for (const auto& [keyval, state] : keys_first)
      press(dialog, keyval, state);
    auto* field = dynamic_cast<Gtk::Entry*>(dialog.get_focus());
    if (!field) {
      ADD_FAILURE() << "the name field has no focus";
      return std::nullopt;
    }
    field->set_text(text);
    field->set_position(-1);
    // Enter on a folder's name enters the folder instead of answering.
    const std::string folder_before = dialog.get_current_folder();
    bool folder_changed = false;
    const ScopedConnection watch = dialog.signal_current_folder_changed().connect([&] {
      folder_changed = dialog.get_current_folder() != folder_before;
    });
    press(dialog, GDK_KEY_Return);
    // The dialog may look at the folder before it answers; once it has
    // entered a folder, a little longer shows that no answer follows.
    for (int i = 0; i < 500 && !response && !folder_changed; ++i)
      pump(10);
    entered_folder = folder_changed;
    if (folder_changed)
      pump(200);
    dialog.hide();
    if (response != Gtk::RESPONSE_ACCEPT)
      return std::nullopt;
    return dialog.get_filename();
  }
};

class FileDialogEnter : public MainWindowFixture {
protected:
  void SetUp() override
  {
    MainWindowFixture::SetUp();
    if (!app)
      return;
    MainWindowDialogs d = dialogs.make();
    d.run_file_chooser = [this](Gtk::FileChooserDialog& dialog) { return chooser.run(dialog); };
    window = std::make_unique<MainWindow>(app, std::move(d));
    window->show_all();
    frame(*window);
    window->get_ctrl()->set_pos({1, 1});
    ASSERT_TRUE(window->get_ctrl()->action("insert-element"));
  }

  TypedChooser chooser;
  std::unique_ptr<MainWindow> window;
};

TEST_F(FileDialogEnter, EnterInTheSaveDialogSaves)
{
  VELKARO_REQUIRE_GTK();
  chooser.text = dir.file("typed.xml");
  window->get_ctrl()->action("save-as-file");
  EXPECT_EQ(chooser.response, Gtk::RESPONSE_ACCEPT);
  EXPECT_TRUE(fs::exists(chooser.text));
  EXPECT_EQ(window->get_ws()->get_file_path(), chooser.text);
  EXPECT_FALSE(window->get_ws()->modified);
}

TEST_F(FileDialogEnter, EnterInTheExportDialogExports)
{
  VELKARO_REQUIRE_GTK();
  chooser.text = dir.file("typed.png");
  window->get_ctrl()->action("export-png-n");
  EXPECT_EQ(chooser.response, Gtk::RESPONSE_ACCEPT);
  ASSERT_TRUE(fs::exists(chooser.text));
  EXPECT_GT(Cairo::ImageSurface::create_from_png(chooser.text)->get_width(), 0);
}

TEST_F(FileDialogEnter, EnterInTheOpenDialogsLocationOpens)
{
  VELKARO_REQUIRE_GTK();
  const std::string path = dir.file("there.xml");
  {
    const auto other = ModelWorkspace::create<SeqWorkspace>();
    ASSERT_TRUE(other->save(path));
  }
  ASSERT_TRUE(window->get_ws()->save(dir.file("here.xml")));
  // The location field, then the path.
  chooser.keys_first = {{GDK_KEY_l, GDK_CONTROL_MASK}};
  chooser.text = path;
  window->get_ctrl()->action("open-file");
  EXPECT_EQ(chooser.response, Gtk::RESPONSE_ACCEPT);
  EXPECT_EQ(window->get_ws()->get_file_path(), path);
  EXPECT_EQ(window->get_ws()->elm_at({1, 1}), nullptr);
}

TEST_F(FileDialogEnter, EnterOnAFolderNameEntersTheFolderAndSavesNothing)
{
  VELKARO_REQUIRE_GTK();
  fs::create_directories(dir.path() / "inner");
  chooser.text = (dir.path() / "inner").string() + "/";
  window->get_ctrl()->action("save-as-file");
  EXPECT_TRUE(chooser.entered_folder);
  EXPECT_NE(chooser.response, Gtk::RESPONSE_ACCEPT);
  EXPECT_TRUE(window->get_ws()->modified);
  EXPECT_EQ(window->get_ws()->get_file_path(), "");
  EXPECT_TRUE(fs::is_empty(dir.path() / "inner"));
}

} // namespace
} // namespace velkaro::test

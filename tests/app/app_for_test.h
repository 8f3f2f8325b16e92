#pragma once
// The main window in-process: an application registered without a session
// bus, dialogs answered by the test instead of the user, and the fixture
// the window's tests share.

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <gtkmm/application.h>

#include "app/main_window.h"
#include "common/cell_pos.h"
#include "support/test_env.h"

namespace velkaro::test {

// What a file chooser looked like when the window ran it.
struct SeenChooser {
  std::string title;
  Gtk::FileChooserAction action;
  // The labels of the action-area buttons, in order.
  std::vector<std::string> buttons;
  // The filter names, in order.
  std::vector<std::string> filters;
  bool overwrite_confirmation;
};

// Dialogs answered from queues; what the window showed is recorded.
class FakeDialogs {
public:
  // The answer to each save question in turn (Gtk::RESPONSE_YES, _NO,
  // _CANCEL); a question with none left cancels.
  std::deque<int> question_answers;
  // The answer to each file chooser in turn (nothing: cancelled); a chooser
  // with none left is cancelled.
  std::deque<std::optional<std::string>> chooser_answers;

  std::vector<std::string> questions;
  std::vector<std::vector<std::string>> question_buttons;
  std::vector<SeenChooser> choosers;
  std::vector<std::string> messages;

  MainWindowDialogs make();
};

// The action-area button labels of dialog, in order.
std::vector<std::string> button_labels(Gtk::Dialog& dialog);

// A registered application that never talks to a session bus.
Glib::RefPtr<Gtk::Application> test_application();

// Runs pending main-loop work, then for ms more milliseconds.
void pump(unsigned ms = 0);

// The fixture of the main window's tests: the application (null without a
// display), the fake dialogs and a temporary folder. A fixture that adds
// its own SetUp() calls this one first and returns while app is null.
class MainWindowFixture : public ::testing::Test {
protected:
  void SetUp() override;

  // A new window with the fake dialogs.
  std::unique_ptr<MainWindow> make_window();
  // Inserts a life line at pos through the cell mode, as the key "i" does.
  static void insert_life_line(MainWindow& w, CellPos pos);

  Glib::RefPtr<Gtk::Application> app;
  FakeDialogs dialogs;
  TempDir dir;
};

} // namespace velkaro::test

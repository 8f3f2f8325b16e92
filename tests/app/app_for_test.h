#pragma once
// The main window in-process: an application registered without a session
// bus, and dialogs answered by the test instead of the user.

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtkmm/application.h>

#include "app/main_window.h"

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

} // namespace velkaro::test

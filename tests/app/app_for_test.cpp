#include "app/app_for_test.h"

#include <gtk/gtk.h>
#include <gtkmm/button.h>
#include <gtkmm/buttonbox.h>
#include <gtkmm/filefilter.h>

#include "common/app_id.h"
#include "seq/context.h"

namespace velkaro::test {

std::vector<std::string> button_labels(Gtk::Dialog& dialog)
{
  std::vector<std::string> labels;
  for (Gtk::Widget* child : dialog.get_action_area()->get_children()) {
    if (auto* button = dynamic_cast<Gtk::Button*>(child))
      labels.push_back(button->get_label());
  }
  return labels;
}

MainWindowDialogs FakeDialogs::make()
{
  MainWindowDialogs d;
  d.run_question = [this](Gtk::MessageDialog& dialog) {
    questions.push_back(dialog.property_text().get_value());
    question_buttons.push_back(button_labels(dialog));
    if (question_answers.empty())
      return static_cast<int>(Gtk::RESPONSE_CANCEL);
    const int answer = question_answers.front();
    question_answers.pop_front();
    return answer;
  };
  d.run_file_chooser = [this](Gtk::FileChooserDialog& dialog) -> std::optional<std::string> {
    SeenChooser seen{dialog.get_title(), dialog.get_action(), button_labels(dialog), {},
                     dialog.get_do_overwrite_confirmation()};
    for (const auto& filter : dialog.list_filters())
      seen.filters.push_back(filter->get_name());
    choosers.push_back(seen);
    if (chooser_answers.empty())
      return std::nullopt;
    auto answer = chooser_answers.front();
    chooser_answers.pop_front();
    return answer;
  };
  d.show_message = [this](std::unique_ptr<Gtk::MessageDialog> dialog) {
    messages.push_back(dialog->property_text().get_value());
  };
  return d;
}

Glib::RefPtr<Gtk::Application> test_application()
{
  auto app = Gtk::Application::create(APP_ID, Gio::APPLICATION_NON_UNIQUE);
  app->register_application();
  return app;
}

void pump(unsigned ms)
{
  const gint64 end = g_get_monotonic_time() + gint64(ms) * 1000;
  do {
    while (gtk_events_pending())
      gtk_main_iteration_do(FALSE);
    if (ms)
      g_usleep(1000);
  } while (g_get_monotonic_time() < end);
}

void MainWindowFixture::SetUp()
{
  if (gtk_started())
    app = test_application();
}

std::unique_ptr<MainWindow> MainWindowFixture::make_window()
{
  return std::make_unique<MainWindow>(app, dialogs.make());
}

void MainWindowFixture::insert_life_line(MainWindow& w, CellPos pos)
{
  w.get_ctrl()->set_pos(pos);
  ASSERT_TRUE(w.get_ctrl()->action("insert-element"));
}

} // namespace velkaro::test

#pragma once
// Helpers for the tests of the menu bar, the tool bar and the popup: the
// main loop run for a while, menus and tool bars written out as lines,
// settings read back from the configuration file, and icon pixels.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <gdkmm/pixbuf.h>
#include <glibmm/keyfile.h>
#include <glibmm/main.h>
#include <gtkmm/checkmenuitem.h>
#include <gtkmm/menu.h>
#include <gtkmm/menushell.h>
#include <gtkmm/separatormenuitem.h>
#include <gtkmm/separatortoolitem.h>

#include "common/joined_rows.h"
#include "ctrl/context.h"
#include "model/store.h"
#include "view/main_menu.h"
#include "view/menu_item.h"
#include "view/tool_bar.h"
#include "view/tool_button.h"

namespace velkaro::test {

// A diagram kind's menus and buttons for the bars' tests, shaped as the
// editors' tables are (each editor keeps its own with its code): "_Edit" of
// the shared groups around entries of the kind's own, a second menu of four
// entries, and the shared button groups around one button of its own (an
// action with an icon in the bundle).
inline constexpr ViewMenuRow KIND_EDIT_OWN_ROWS[] = {
  {"_Insert element", "insert-element"},
  {"Insert _part", "insert-part"},
  {"Delete p_art", "delete-part"},
  {nullptr},
  {"Insert r_ow", "insert-row"},
  {"Insert co_lumn", "insert-col"},
  {"_Delete row", "delete-row"},
  {"D_elete column", "delete-col"},
};
inline constexpr auto KIND_EDIT_ROWS =
  joined_rows(VIEW_EDIT_HISTORY_CLIPBOARD_ROWS, KIND_EDIT_OWN_ROWS, VIEW_EDIT_SETTING_ROWS);
inline constexpr ViewMenuRow KIND_LINK_ROWS[] = {
  {"_First link", "link-first"},
  {"_Second link", "link-second"},
  {"_Third link", "link-third"},
  {"F_ourth link", "link-fourth"},
};
inline std::vector<ViewMenuTable> kind_menus() { return {{"_Edit", KIND_EDIT_ROWS}, {"_Link", KIND_LINK_ROWS}}; }
inline constexpr ViewToolRow KIND_ELEMENT_TOOL_ROWS[] = {{"Insert element", "insert-element", true}};
inline constexpr auto KIND_TOOL_ROWS =
  joined_rows(VIEW_TOOL_FILE_EDIT_ROWS, KIND_ELEMENT_TOOL_ROWS, VIEW_TOOL_LINE_ROWS, VIEW_TOOL_HELP_ROWS);

// Runs the default main context for ms milliseconds.
inline void run_main_loop_for(int ms)
{
  const gint64 end = g_get_monotonic_time() + gint64(ms) * 1000;
  while (g_get_monotonic_time() < end)
    if (!g_main_context_iteration(nullptr, FALSE))
      g_usleep(1000);
}

// Longer than the delay of the context's refresh of actionable names.
inline void wait_for_actionable_refresh() { run_main_loop_for(int(CtrlContext::STATE_CHANGED_DELAY_MS) + 80); }

// The menu item children of shell, in order.
inline std::vector<Gtk::MenuItem*> items_of(Gtk::MenuShell& shell)
{
  std::vector<Gtk::MenuItem*> items;
  for (Gtk::Widget* child : shell.get_children())
    if (auto* item = dynamic_cast<Gtk::MenuItem*>(child))
      items.push_back(item);
  return items;
}

// One line per child of shell: "---" for a separator; "label -> action" for
// a plain entry; "[x] label" or "[ ] label" for a check entry; the label for
// anything else (a submenu).
inline std::vector<std::string> lines_of(Gtk::MenuShell& shell)
{
  std::vector<std::string> lines;
  for (Gtk::MenuItem* item : items_of(shell)) {
    if (dynamic_cast<Gtk::SeparatorMenuItem*>(item))
      lines.push_back("---");
    else if (auto* entry = dynamic_cast<ViewMenuItem*>(item))
      lines.push_back(entry->get_label() + " -> " + entry->action_name);
    else if (auto* check = dynamic_cast<Gtk::CheckMenuItem*>(item))
      lines.push_back(std::string(check->get_active() ? "[x] " : "[ ] ") + check->get_label());
    else
      lines.push_back(item->get_label());
  }
  return lines;
}

// The lines of the popup's children that show: "---" for a separator, else
// the label (a hidden entry is one left out of show-all).
inline std::vector<std::string> visible_lines(Gtk::Menu& menu)
{
  std::vector<std::string> lines;
  for (Gtk::MenuItem* item : items_of(menu))
    if (item->get_visible())
      lines.push_back(dynamic_cast<Gtk::SeparatorMenuItem*>(item) ? "---" : std::string(item->get_label()));
  return lines;
}

// One line per child of bar: "label -> action" for a button, "|" for a
// separator.
inline std::vector<std::string> lines_of(ViewToolBar& bar)
{
  std::vector<std::string> lines;
  for (Gtk::Widget* child : bar.get_children()) {
    if (auto* button = dynamic_cast<ViewToolButton*>(child))
      lines.push_back(button->get_label() + " -> " + button->action_name);
    else if (dynamic_cast<Gtk::SeparatorToolItem*>(child))
      lines.push_back("|");
  }
  return lines;
}

// The entry of shell labelled label, or null.
template <class T = Gtk::MenuItem>
T* find_item(Gtk::MenuShell& shell, const std::string& label)
{
  for (Gtk::MenuItem* item : items_of(shell))
    if (item->get_label() == label)
      return dynamic_cast<T*>(item);
  return nullptr;
}

// The value of key in the group "general" of ctx's configuration file as
// written on disk, or nullopt.
inline std::optional<std::string> stored_setting(CtrlContext& ctx, const std::string& key)
{
  Glib::KeyFile file;
  try {
    file.load_from_file(ctx.get_store()->get_config_path());
    return file.get_value(ModelStore::GENERAL, key);
  } catch (const Glib::Error&) {
    return std::nullopt;
  }
}

struct Rgba {
  uint8_t r, g, b, a;
  bool operator==(const Rgba&) const = default;
};

inline Rgba pixel_at(const Glib::RefPtr<Gdk::Pixbuf>& pixbuf, int x, int y)
{
  const guint8* p = pixbuf->get_pixels() + y * pixbuf->get_rowstride() + x * pixbuf->get_n_channels();
  return {p[0], p[1], p[2], pixbuf->get_has_alpha() ? p[3] : uint8_t(255)};
}

inline std::vector<Rgba> pixels_of(const Glib::RefPtr<Gdk::Pixbuf>& pixbuf)
{
  std::vector<Rgba> pixels;
  for (int y = 0; y < pixbuf->get_height(); ++y)
    for (int x = 0; x < pixbuf->get_width(); ++x)
      pixels.push_back(pixel_at(pixbuf, x, y));
  return pixels;
}

} // namespace velkaro::test

#include "ctrl/text/text_editor_clipboard.h"

#include <gtk/gtk.h>

#include "common/c_resource.h"

namespace velkaro {
namespace {

class GtkTextClipboard : public CtrlTextEditorClipboard {
public:
  std::optional<std::string> wait_for_text() override
  {
    GtkClipboard* clipboard = get();
    if (!clipboard)
      return std::nullopt;
    // The C call, not gtkmm's: gtkmm gives "" where GTK says "no text".
    const GCharPtr text(gtk_clipboard_wait_for_text(clipboard));
    if (!text)
      return std::nullopt;
    return std::string(text.get());
  }

  void request_text(const TextReceiver& receive) override
  {
    GtkClipboard* clipboard = get();
    if (!clipboard) {
      receive(std::nullopt);
      return;
    }
    // GTK calls back exactly once, also when the owner never answers.
    gtk_clipboard_request_text(clipboard, &GtkTextClipboard::on_text, new TextReceiver(receive));
  }

  void set_text(const std::string& text) override
  {
    if (GtkClipboard* clipboard = get())
      gtk_clipboard_set_text(clipboard, text.c_str(), static_cast<gint>(text.size()));
  }

private:
  static void on_text(GtkClipboard*, const gchar* text, gpointer data)
  {
    const std::unique_ptr<TextReceiver> receive(static_cast<TextReceiver*>(data));
    (*receive)(text ? std::optional<std::string>(text) : std::nullopt);
  }

  // Null without a display; GTK keeps the clipboard for the display's life.
  static GtkClipboard* get()
  {
    GdkDisplay* display = gdk_display_get_default();
    return display ? gtk_clipboard_get_for_display(display, GDK_SELECTION_CLIPBOARD) : nullptr;
  }
};

} // namespace

void CtrlTextEditorClipboard::request_text(const TextReceiver& receive) { receive(wait_for_text()); }

std::shared_ptr<CtrlTextEditorClipboard> CtrlTextEditorClipboard::get_default()
{
  static const std::shared_ptr<CtrlTextEditorClipboard> clipboard = std::make_shared<GtkTextClipboard>();
  return clipboard;
}

} // namespace velkaro

#pragma once
// The signal connections of one object to one widget, cut when either side
// goes first. The owner (a binder) holds the link by value; when the owner is
// destroyed the link disconnects everything it holds, and when the widget is
// disposed first the link notices (a GObject weak reference), drops its
// connections, forgets the widget and calls the owner's on_gone. Afterwards
// nothing touches the widget again.

#include <functional>
#include <vector>

#include <sigc++/connection.h>

#include "common/scoped_connection.h"

typedef struct _GObject GObject;
typedef struct _GtkWidget GtkWidget;

namespace Gtk {
class Widget;
}

namespace velkaro {

class CtrlWidgetLink {
public:
  // on_gone runs once, when the widget is disposed while the link lives.
  explicit CtrlWidgetLink(Gtk::Widget& widget, std::function<void()> on_gone = {});
  ~CtrlWidgetLink();
  CtrlWidgetLink(const CtrlWidgetLink&) = delete;
  CtrlWidgetLink& operator=(const CtrlWidgetLink&) = delete;

  // Holds a connection to the widget's signals until either side goes.
  void add(const sigc::connection& connection);
  // False once the widget is gone.
  bool is_attached() const { return m_widget != nullptr; }
  // The widget, null once it is gone.
  GtkWidget* get_widget() const { return m_widget; }

private:
  static void on_widget_disposed(void* data, GObject* widget);
  void disconnect_all();

  GtkWidget* m_widget;
  std::vector<ScopedConnection> m_connections;
  std::function<void()> m_on_gone;
};

} // namespace velkaro

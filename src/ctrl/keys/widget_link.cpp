#include "ctrl/keys/widget_link.h"

#include <utility>

#include <gtkmm/widget.h>

namespace velkaro {

CtrlWidgetLink::CtrlWidgetLink(Gtk::Widget& widget, std::function<void()> on_gone)
  : m_widget(widget.gobj()), m_on_gone(std::move(on_gone))
{
  g_object_weak_ref(G_OBJECT(m_widget), &CtrlWidgetLink::on_widget_disposed, this);
}

CtrlWidgetLink::~CtrlWidgetLink()
{
  disconnect_all();
  if (m_widget)
    g_object_weak_unref(G_OBJECT(m_widget), &CtrlWidgetLink::on_widget_disposed, this);
}

void CtrlWidgetLink::add(const sigc::connection& connection)
{
  // Once the widget is gone nothing may stay connected to it: the
  // connection is cut at once.
  ScopedConnection held(connection);
  if (m_widget)
    m_connections.push_back(std::move(held));
}

void CtrlWidgetLink::on_widget_disposed(void* data, GObject*)
{
  auto* self = static_cast<CtrlWidgetLink*>(data);
  self->m_widget = nullptr;
  self->disconnect_all();
  // Taken out first: on_gone may end up destroying this link.
  std::function<void()> on_gone;
  std::swap(on_gone, self->m_on_gone);
  if (on_gone)
    on_gone();
}

void CtrlWidgetLink::disconnect_all()
{
  // A connection whose slot GTK already dropped disconnects as a no-op.
  m_connections.clear();
}

} // namespace velkaro

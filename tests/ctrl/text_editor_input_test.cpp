// The text editor on its widget: compositions of the input method,
// activation with the pointer, keys through the input method before a key
// binder, can-edit and focus. Everything that touches the widget or the
// input method needs a display; the suite also runs under AddressSanitizer,
// which checks that whichever of widget and editor goes first, nothing calls
// into freed memory.

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gdk/gdk.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/box.h>
#include <gtkmm/drawingarea.h>
#include <gtkmm/window.h>
#include <pango/pango.h>
#include <pangomm/attrlist.h>

#include "common/c_resource.h"
#include "common/text_range.h"
#include "ctrl/gdk_events_for_test.h"
#include "ctrl/keys/ikey_handler.h"
#include "ctrl/keys/key_action_map_key.h"
#include "ctrl/keys/key_binder.h"
#include "ctrl/keys/mouse_binder.h"
#include "ctrl/text_editor_test_support.h"
#include "support/test_env.h"

namespace velkaro {
namespace {

using test::button_event;
using test::EventPtr;
using test::key_event;
using test::motion_event;
using test::settle;
using test::SignalLog;
using test::TestText;
using Log = std::vector<std::string>;
using Span = std::pair<guint, guint>;

constexpr guint HEX_MODS = GDK_CONTROL_MASK | GDK_SHIFT_MASK;

// An attribute list underlining [start, end).
Pango::AttrList underline(guint start, guint end)
{
  PangoAttrList* list = pango_attr_list_new();
  PangoAttribute* attr = pango_attr_underline_new(PANGO_UNDERLINE_SINGLE);
  attr->start_index = start;
  attr->end_index = end;
  pango_attr_list_insert(list, attr);
  return Pango::AttrList(list, false);
}

// The spans of the attributes the text's layout carries; none without a list.
std::optional<std::vector<Span>> attribute_spans(CtrlITextEditable& ite)
{
  PangoAttrList* list = pango_layout_get_attributes(ite.get_pango_layout()->gobj());
  if (!list)
    return std::nullopt;
  std::vector<Span> spans;
  GSList* attrs = pango_attr_list_get_attributes(list);
  for (GSList* l = attrs; l; l = l->next) {
    auto* attr = static_cast<PangoAttribute*>(l->data);
    spans.emplace_back(attr->start_index, attr->end_index);
    pango_attribute_destroy(attr);
  }
  g_slist_free(attrs);
  return spans;
}

// The selected range of the text.
Span range_of(CtrlITextEditable& ite)
{
  const std::shared_ptr<TextRange> range = ite.get_text_range();
  return {static_cast<guint>(range->start), static_cast<guint>(range->end)};
}

// The layout point at `fraction` of the width of character i, on the first line.
Point layout_point_in_char(TestText& ite, int32_t i, double fraction)
{
  const double left = ite.x_at(i);
  const double right = ite.x_at(ite.get_next_or_prev_char(i, true));
  return Point(left + fraction * (right - left), 4);
}

// The widget pixel at which a binder with this zoom and offset reports the
// layout point pt of a text laid out at layout_offset.
std::pair<double, double> widget_pixel(const Point& pt, const Point& layout_offset, const Point& mouse_offset,
                                       double zoom)
{
  return {(pt.get_x() + layout_offset.get_x() - mouse_offset.get_x()) * zoom,
          (pt.get_y() + layout_offset.get_y() - mouse_offset.get_y()) * zoom};
}

// A drawing area whose default key and focus handlers log.
class InputArea : public Gtk::DrawingArea {
public:
  explicit InputArea(Log& log) : m_log(log)
  {
    set_size_request(300, 100);
    set_can_focus(true);
  }

protected:
  bool on_key_press_event(GdkEventKey*) override
  {
    m_log.push_back("default key");
    return false;
  }
  bool on_focus_in_event(GdkEventFocus*) override
  {
    // Made in place: GCC 12 warns (-Warray-bounds) about moving in a
    // string made of this literal, one character longer than fits inline.
    m_log.emplace_back("default focus in");
    return false;
  }

private:
  Log& m_log;
};

// A shown window holding the area, which has the focus.
struct InputStage {
  InputStage() : area(log)
  {
    window.add(area);
    window.show_all();
    area.grab_focus();
    settle();
  }
  ~InputStage() { settle(); }

  GdkWindow* top() { return window.get_window()->gobj(); }
  GdkWindow* own() { return area.get_window()->gobj(); }

  Log log;
  Gtk::Window window;
  InputArea area;
};


// Through GTK's own dispatch, as events from the display come: keys to the
// toplevel, which hands them to its focus widget.
void press_in(InputStage& stage, guint keyval, guint state = 0)
{
  gtk_main_do_event(key_event(GDK_KEY_PRESS, stage.top(), keyval, state).get());
}

void release_key(InputStage& stage, guint keyval, guint state = 0)
{
  gtk_main_do_event(key_event(GDK_KEY_RELEASE, stage.top(), keyval, state).get());
}

// The input method every display has, so that what it does with a key is known.
void use_simple_input_method(CtrlTextEditor& editor)
{
  gtk_im_multicontext_set_context_id(GTK_IM_MULTICONTEXT(editor.get_im_context()), "gtk-im-context-simple");
}

// A typing editor on the area, as an insert text mode has.
std::shared_ptr<CtrlTextEditor> typing_editor(Gtk::Widget& widget, const std::shared_ptr<TestText>& ite)
{
  auto editor = CtrlTextEditor::create(&widget, ite);
  editor->set_insert_style(true);
  editor->set_can_edit(true);
  use_simple_input_method(*editor);
  return editor;
}

// An editor whose pointer points are divided by a zoom, as one on a zoomed canvas.
class ZoomedEditor : public CtrlTextEditor {
public:
  ZoomedEditor(Gtk::Widget& widget, const std::shared_ptr<CtrlITextEditable>& ite, double zoom)
    : CtrlTextEditor(&widget, ite), m_zoom(zoom)
  {
  }
  double get_zoom() const override { return m_zoom; }

private:
  double m_zoom;
};

// Takes the keys a key binder hands on and logs them, as a mode does.
class KeyLog : public CtrlIKeyHandler {
public:
  explicit KeyLog(Log& log) : m_log(log) {}
  bool key_press(GdkEventKey& event) override
  {
    m_log.push_back("binder " + CtrlKeyActionMapKey(to_key_event(event).keyval, 0).to_string());
    if (on_press)
      on_press();
    return true;
  }
  bool key_release(GdkEventKey&) override { return false; }

  std::function<void()> on_press;

private:
  Log& m_log;
};

TEST(CtrlTextEditorInput, APreeditReplacesTheOneBeforeAndEndsWhereItBegan)
{
  const auto ite = TestText::create("abc", 3);
  const auto editor = CtrlTextEditor::create(nullptr, ite);
  editor->set_insert_style(true);
  SignalLog signals(*editor, ite);

  EXPECT_EQ(editor->start_preedit("ka", underline(0, 2), 2), "abc");
  EXPECT_EQ(ite->get_text(), "abcka");
  EXPECT_EQ(ite->get_cursor_index(), 5);
  EXPECT_EQ(attribute_spans(*ite), (std::vector<Span>{{3, 5}}));
  EXPECT_EQ(editor->get_cursor_point_x(), ite->x_at(5));

  EXPECT_EQ(editor->start_preedit("kan", underline(0, 3), 1), "abcka");
  EXPECT_EQ(ite->get_text(), "abckan");
  EXPECT_EQ(ite->get_cursor_index(), 4);
  EXPECT_EQ(attribute_spans(*ite), (std::vector<Span>{{3, 6}}));
  // Showing a composition announces nothing; its caller does.
  EXPECT_TRUE(signals.log.empty());

  EXPECT_EQ(editor->cancel_preedit(), "abckan");
  EXPECT_EQ(ite->get_text(), "abc");
  EXPECT_EQ(ite->get_cursor_index(), 3);
  EXPECT_EQ(attribute_spans(*ite), std::nullopt);
  EXPECT_EQ(signals.log, (Log{"update:text"}));

  // Nothing more to end: the text comes back unchanged and unannounced.
  EXPECT_EQ(editor->cancel_preedit(), "abc");
  EXPECT_EQ(signals.log, (Log{"update:text"}));

  editor->commit_cb("x");
  EXPECT_EQ(ite->get_text(), "abcx");
  EXPECT_EQ(ite->get_cursor_index(), 4);

  // A commit during a composition replaces it.
  editor->start_preedit("ka", underline(0, 2), 2);
  editor->commit_cb("y");
  EXPECT_EQ(ite->get_text(), "abcxy");
  EXPECT_EQ(ite->get_cursor_index(), 5);
  EXPECT_EQ(attribute_spans(*ite), std::nullopt);
}

TEST(CtrlTextEditorInput, ThePreeditCursorCountsCharacters)
{
  // The composition goes in after "a" of "aé"; its cursor is a character
  // count within it, clamped into it.
  struct Case {
    const char* pre_str;
    int cursor_pos;
    int32_t cursor;
  };
  const char* const kana = "\xE3\x81\x8B\xE3\x81\xAA"; // two characters of three bytes
  const Case cases[] = {
    {kana, 0, 1}, {kana, 1, 4}, {kana, 2, 7}, {kana, 9, 7}, {"ka", -1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.pre_str) + " at " + std::to_string(c.cursor_pos));
    const auto ite = TestText::create("a\xC3\xA9", 1);
    const auto editor = CtrlTextEditor::create(nullptr, ite);
    editor->start_preedit(c.pre_str, underline(0, 1), c.cursor_pos);
    EXPECT_EQ(ite->get_text(), std::string("a") + c.pre_str + "\xC3\xA9");
    EXPECT_EQ(ite->get_cursor_index(), c.cursor);
  }
}

TEST(CtrlTextEditorInput, TheInputMethodsCompositionReplacesAndItsCommitIsTyped)
{
  VELKARO_REQUIRE_GTK();
  InputStage stage;
  const auto ite = TestText::create("abc", 3);
  const auto editor = typing_editor(stage.area, ite);
  const auto mode = std::make_shared<KeyLog>(stage.log);
  const auto binder = CtrlKeyBinder::create(stage.area, mode);
  editor->activate();

  // Hexadecimal entry: the input method composes "u", "ue", "ue9" while
  // Control and Shift are held, and commits U+00E9 when they are let go.
  press_in(stage, GDK_KEY_U, HEX_MODS);
  EXPECT_EQ(ite->get_text(), "abcu");
  EXPECT_EQ(ite->get_cursor_index(), 4);
  // Styled as the input method says, from where the composition began.
  const std::optional<std::vector<Span>> spans = attribute_spans(*ite);
  ASSERT_TRUE(spans && !spans->empty());
  EXPECT_EQ(spans->front().first, 3u);
  press_in(stage, GDK_KEY_e, HEX_MODS);
  EXPECT_EQ(ite->get_text(), "abcue");
  press_in(stage, GDK_KEY_9, HEX_MODS);
  EXPECT_EQ(ite->get_text(), "abcue9");
  EXPECT_EQ(ite->get_cursor_index(), 6);
  release_key(stage, GDK_KEY_Shift_L, HEX_MODS);
  EXPECT_EQ(ite->get_text(), "abc\xC3\xA9");
  EXPECT_EQ(ite->get_cursor_index(), 5);
  EXPECT_EQ(attribute_spans(*ite), std::nullopt);

  // A dead key composes; the next key ends the composition and is typed
  // with it.
  press_in(stage, GDK_KEY_dead_acute);
  EXPECT_EQ(ite->get_text(), "abc\xC3\xA9\xC2\xB4");
  press_in(stage, GDK_KEY_e);
  EXPECT_EQ(ite->get_text(), "abc\xC3\xA9\xC3\xA9");
  EXPECT_EQ(ite->get_cursor_index(), 7);

  // The input method took every key: neither the default handler nor the
  // binder saw one.
  EXPECT_EQ(stage.log, Log{});
}

TEST(CtrlTextEditorInput, TypedKeysAreHandledInTheOrderTheyCame)
{
  VELKARO_REQUIRE_GTK();
  InputStage stage;
  const auto ite = TestText::create("", 0);
  const auto editor = typing_editor(stage.area, ite);
  const auto mode = std::make_shared<KeyLog>(stage.log);
  mode->on_press = [&editor] { editor->commit_cb("|"); };
  const auto binder = CtrlKeyBinder::create(stage.area, mode);
  editor->activate();

  // All queued before any is handled, as a fast typist's keys come.
  for (const guint keyval : {GDK_KEY_a, GDK_KEY_b, GDK_KEY_c, GDK_KEY_Escape})
    gdk_event_put(key_event(GDK_KEY_PRESS, stage.top(), keyval).get());
  settle();
  EXPECT_EQ(ite->get_text(), "abc|");
  // The one key the input method let through went on to the binder.
  EXPECT_EQ(stage.log, (Log{"default key", "binder <Esc>"}));
}

TEST(CtrlTextEditorInput, AClickPlacesTheCursorAndADragSelects)
{
  VELKARO_REQUIRE_GTK();
  InputStage stage;
  const auto ite = TestText::create("abcdef", 0);
  ite->set_pango_layout_offset(Point(7, 3));
  const auto editor = std::make_shared<ZoomedEditor>(stage.area, ite, 2.0);
  editor->activate();
  // Set while activated: the binder takes it at once.
  editor->set_mouse_offset_pt(Point(-10, -20));
  const auto at = [&](int32_t i, double fraction) {
    return widget_pixel(layout_point_in_char(*ite, i, fraction), ite->get_pango_layout_offset(),
                        editor->get_mouse_offset_pt(), 2.0);
  };

  // The cursor stands on characters: a press anywhere on one lands on it.
  auto [x1, y1] = at(1, 0.8);
  gtk_main_do_event(button_event(GDK_BUTTON_PRESS, stage.own(), GDK_BUTTON_PRIMARY, x1, y1).get());
  EXPECT_EQ(ite->get_cursor_index(), 1);
  EXPECT_FALSE(editor->get_is_selecting());
  auto [x3, y3] = at(3, 0.2);
  gtk_main_do_event(motion_event(stage.own(), GDK_BUTTON1_MASK, x3, y3).get());
  EXPECT_TRUE(editor->get_is_selecting());
  EXPECT_EQ(ite->get_cursor_index(), 3);
  EXPECT_EQ(range_of(*ite), (Span{1, 4}));
  gtk_main_do_event(button_event(GDK_BUTTON_RELEASE, stage.own(), GDK_BUTTON_PRIMARY, x3, y3).get());
  EXPECT_TRUE(editor->get_is_selecting());

  // A new click drops the selection.
  auto [x5, y5] = at(5, 0.5);
  gtk_main_do_event(button_event(GDK_BUTTON_PRESS, stage.own(), GDK_BUTTON_PRIMARY, x5, y5).get());
  EXPECT_EQ(ite->get_cursor_index(), 5);
  EXPECT_FALSE(editor->get_is_selecting());
  EXPECT_FALSE(ite->get_has_range());
}

TEST(CtrlTextEditorInput, ActivationDuringAPressOnTheWidgetPlacesTheCursorThere)
{
  VELKARO_REQUIRE_GTK();
  enum class Began { press_on_widget, key_press, press_elsewhere };
  struct Case {
    const char* name;
    Began began;
    bool placed;
  };
  const Case cases[] = {
    {"a press on the widget", Began::press_on_widget, true},
    {"a key press", Began::key_press, false},
    {"a press on another widget", Began::press_elsewhere, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Log log;
    Gtk::Window window;
    Gtk::Box box;
    InputArea area(log);
    Gtk::DrawingArea other;
    other.set_size_request(100, 100);
    box.pack_start(area);
    box.pack_start(other);
    window.add(box);
    window.show_all();
    area.grab_focus();
    settle();

    const auto ite = TestText::create("abcdef", 1);
    ite->set_pango_layout_offset(Point(7, 3));
    const auto editor = std::make_shared<ZoomedEditor>(area, ite, 2.0);
    editor->set_insert_style(true);
    editor->set_mouse_offset_pt(Point(-10, -20));

    // The mode, on the same zoomed widget, begins editing from its own
    // handler, as a text mode entered by a click does.
    struct Mode : CtrlIMouseHandler {
      bool on_press_left_button(const Point&) override
      {
        editor->activate();
        return false;
      }
      double get_zoom() const override { return 2.0; }
      std::shared_ptr<CtrlTextEditor> editor;
    };
    const auto mode = std::make_shared<Mode>();
    mode->editor = editor;
    const auto mode_binder = CtrlMouseBinder::create(area, mode);
    const auto other_binder = CtrlMouseBinder::create(other, mode);
    sigc::connection on_key = area.signal_key_press_event().connect(
      [&editor](GdkEventKey*) {
        editor->activate();
        return false;
      },
      false);

    // Right of the middle of "c": with insert style, after it.
    const auto [x, y] = widget_pixel(layout_point_in_char(*ite, 2, 0.8), ite->get_pango_layout_offset(),
                                     editor->get_mouse_offset_pt(), 2.0);
    switch (c.began) {
    case Began::press_on_widget:
      gtk_main_do_event(button_event(GDK_BUTTON_PRESS, area.get_window()->gobj(), GDK_BUTTON_PRIMARY, x, y).get());
      break;
    case Began::key_press:
      gtk_main_do_event(key_event(GDK_KEY_PRESS, window.get_window()->gobj(), GDK_KEY_i).get());
      break;
    case Began::press_elsewhere:
      gtk_main_do_event(button_event(GDK_BUTTON_PRESS, other.get_window()->gobj(), GDK_BUTTON_PRIMARY, x, y).get());
      break;
    }
    ASSERT_TRUE(editor->get_is_activated());
    EXPECT_EQ(ite->get_cursor_index(), c.placed ? 3 : 1);
    EXPECT_EQ(editor->get_drag_start_pt().has_value(), c.placed);
    if (c.placed) {
      // As the binder keeps a press of its own: divided, without offset.
      EXPECT_EQ(editor->get_drag_start_pt()->to_string(), Point(x / 2, y / 2).to_string());
      // The press goes on as a drag in the new binder: from "d" to "e".
      const auto [ex, ey] = widget_pixel(layout_point_in_char(*ite, 4, 0.3), ite->get_pango_layout_offset(),
                                         editor->get_mouse_offset_pt(), 2.0);
      gtk_main_do_event(motion_event(area.get_window()->gobj(), GDK_BUTTON1_MASK, ex, ey).get());
      EXPECT_EQ(range_of(*ite), (Span{3, 5}));
    }
    on_key.disconnect();
    settle();
  }
}

TEST(CtrlTextEditorInput, ASecondActivateOrADeactivateOfAnInactiveEditorChangesNothing)
{
  VELKARO_REQUIRE_GTK();
  InputStage stage;
  const auto ite = TestText::create("abc", 0);
  const auto editor = typing_editor(stage.area, ite);
  SignalLog signals(*editor, ite);

  // Inactive: deactivating leaves the selection and the flags alone.
  editor->set_is_selecting(true);
  editor->move_char(1);
  EXPECT_EQ(range_of(*ite), (Span{0, 2}));
  editor->deactivate();
  EXPECT_TRUE(editor->get_is_selecting());
  EXPECT_EQ(range_of(*ite), (Span{0, 2}));
  editor->set_is_selecting(false);

  editor->activate();
  editor->activate();
  EXPECT_TRUE(ite->get_is_editing());
  // One binder and one set of key handlers: each event is handled once.
  signals.log.clear();
  gtk_main_do_event(button_event(GDK_BUTTON_PRESS, stage.own(), GDK_BUTTON_PRIMARY, 0, 0).get());
  EXPECT_EQ(signals.log, (Log{"update:cursor"}));
  press_in(stage, GDK_KEY_x);
  EXPECT_EQ(ite->get_text(), "xabc");

  // Deactivated: the widget's events no longer reach the editor.
  editor->set_is_selecting(true);
  editor->deactivate();
  EXPECT_FALSE(editor->get_is_activated());
  EXPECT_FALSE(ite->get_is_editing());
  EXPECT_FALSE(editor->get_is_selecting());
  EXPECT_FALSE(ite->get_has_range());
  EXPECT_EQ(editor->get_drag_start_pt(), std::nullopt);
  signals.log.clear();
  gtk_main_do_event(button_event(GDK_BUTTON_PRESS, stage.own(), GDK_BUTTON_PRIMARY, 0, 0).get());
  press_in(stage, GDK_KEY_y);
  EXPECT_TRUE(signals.log.empty());
  EXPECT_EQ(ite->get_text(), "xabc");
  editor->deactivate();
  EXPECT_FALSE(editor->get_is_activated());
}

TEST(CtrlTextEditorInput, CanEditConnectsTheKeysAndTheInputMethod)
{
  VELKARO_REQUIRE_GTK();
  InputStage stage;
  const auto ite = TestText::create("", 0);
  const auto editor = CtrlTextEditor::create(&stage.area, ite);
  editor->set_insert_style(true);
  use_simple_input_method(*editor);
  const auto mode = std::make_shared<KeyLog>(stage.log);
  const auto binder = CtrlKeyBinder::create(stage.area, mode);
  Log notified;
  editor->signal_notify().connect([&notified](const char* name) { notified.push_back(name); });
  const auto focus_in = [&stage] {
    EventPtr event(gdk_event_new(GDK_FOCUS_CHANGE));
    event->focus_change.window = GDK_WINDOW(g_object_ref(stage.own()));
    event->focus_change.in = TRUE;
    gtk_widget_event(GTK_WIDGET(stage.area.gobj()), event.get());
  };

  // Can-edit off: every key goes on to the binder, the focus to the widget.
  editor->activate();
  press_in(stage, GDK_KEY_a);
  focus_in();
  EXPECT_EQ(ite->get_text(), "");
  EXPECT_EQ(stage.log, (Log{"default key", "binder a", "default focus in"}));

  // Switched on while activated: connected at once, and once only.
  stage.log.clear();
  editor->set_can_edit(true);
  editor->set_can_edit(true);
  EXPECT_EQ(notified, (Log{"can-edit", "can-edit"}));
  press_in(stage, GDK_KEY_a);
  focus_in();
  EXPECT_EQ(ite->get_text(), "a");
  EXPECT_TRUE(stage.log.empty());

  // Switched off: the keys go on to the binder again.
  editor->set_can_edit(false);
  press_in(stage, GDK_KEY_b);
  EXPECT_EQ(ite->get_text(), "a");
  EXPECT_EQ(stage.log, (Log{"default key", "binder b"}));

  // Inactive, the switch only keeps the value; activation connects.
  editor->deactivate();
  editor->set_can_edit(true);
  press_in(stage, GDK_KEY_c);
  EXPECT_EQ(ite->get_text(), "a");
  editor->activate();
  press_in(stage, GDK_KEY_d);
  EXPECT_EQ(ite->get_text(), "ad");
}

TEST(CtrlTextEditorInput, FocusHandlersReportTheEventHandled)
{
  VELKARO_REQUIRE_GTK();
  InputStage stage;
  for (const bool can_edit : {false, true}) {
    SCOPED_TRACE(can_edit ? "can edit" : "cannot edit");
    const auto editor = CtrlTextEditor::create(&stage.area, TestText::create());
    editor->set_can_edit(can_edit);
    editor->activate();
    EventPtr event(gdk_event_new(GDK_FOCUS_CHANGE));
    event->focus_change.window = GDK_WINDOW(g_object_ref(stage.own()));
    event->focus_change.in = TRUE;
    EXPECT_TRUE(editor->focus_in_cb(event->focus_change));
    event->focus_change.in = FALSE;
    EXPECT_TRUE(editor->focus_out_cb(event->focus_change));
  }
}

TEST(CtrlTextEditorInput, ActivationGivesAnUnmeasuredCursorLocationAHeight)
{
  VELKARO_REQUIRE_GTK();
  struct Case {
    cairo_rectangle_int_t stored, expected;
  };
  const Case cases[] = {
    {{5, 6, 7, 0}, {5, 6, 7, 20}},
    {{0, 0, 0, 0}, {0, 0, 0, 20}},
    {{5, 6, 7, 8}, {5, 6, 7, 8}},
  };
  InputStage stage;
  for (const Case& c : cases) {
    const auto ite = TestText::create("abc", 0);
    cairo_rectangle_int_t stored = c.stored;
    ite->set_cursor_location(stored, 1.0);
    const auto editor = CtrlTextEditor::create(&stage.area, ite);
    editor->activate();
    const cairo_rectangle_int_t now = ite->get_cursor_location();
    EXPECT_EQ((std::vector<int>{now.x, now.y, now.width, now.height}),
              (std::vector<int>{c.expected.x, c.expected.y, c.expected.width, c.expected.height}));
  }
}

TEST(CtrlTextEditorInput, ACompositionEndsWithEditingOrWithItsText)
{
  VELKARO_REQUIRE_GTK();
  InputStage stage;
  {
    SCOPED_TRACE("deactivated");
    const auto ite = TestText::create("abc", 3);
    const auto editor = typing_editor(stage.area, ite);
    editor->activate();
    editor->start_preedit("ka", underline(0, 2), 2);
    editor->deactivate();
    EXPECT_EQ(ite->get_text(), "abc");
    EXPECT_EQ(ite->get_cursor_index(), 3);
    EXPECT_EQ(attribute_spans(*ite), std::nullopt);
  }
  {
    SCOPED_TRACE("can-edit switched off");
    const auto ite = TestText::create("abc", 3);
    const auto editor = typing_editor(stage.area, ite);
    editor->activate();
    editor->start_preedit("ka", underline(0, 2), 2);
    editor->set_can_edit(false);
    EXPECT_EQ(ite->get_text(), "abc");
  }
  {
    SCOPED_TRACE("another text");
    const auto first = TestText::create("abc", 3);
    const auto second = TestText::create("xyz", 1);
    const auto editor = typing_editor(stage.area, first);
    editor->activate();
    editor->start_preedit("ka", underline(0, 2), 2);
    editor->set_ite(second);
    EXPECT_EQ(first->get_text(), "abc");
    editor->commit_cb("!");
    EXPECT_EQ(first->get_text(), "abc");
    EXPECT_EQ(second->get_text(), "x!yz");
  }
}

TEST(CtrlTextEditorInput, TheDragStartLivesInTheBinderOfAnActivation)
{
  VELKARO_REQUIRE_GTK();
  InputStage stage;
  const auto editor = CtrlTextEditor::create(&stage.area, TestText::create("abc"));
  const Point pt(1, 2);
  editor->set_drag_start_pt(pt);
  EXPECT_EQ(editor->get_drag_start_pt(), std::nullopt);
  editor->activate();
  editor->set_drag_start_pt(pt);
  EXPECT_EQ(editor->get_drag_start_pt(), pt);
  editor->set_drag_start_pt(std::nullopt);
  EXPECT_EQ(editor->get_drag_start_pt(), std::nullopt);
}

TEST(CtrlTextEditorInput, WhicheverOfWidgetAndEditorGoesFirstNothingIsLeftConnected)
{
  VELKARO_REQUIRE_GTK();
  {
    SCOPED_TRACE("the editor first");
    InputStage stage;
    const auto ite = TestText::create("abc", 0);
    auto editor = typing_editor(stage.area, ite);
    editor->activate();
    editor.reset();
    EXPECT_FALSE(ite->get_is_editing());
    press_in(stage, GDK_KEY_x);
    gtk_main_do_event(button_event(GDK_BUTTON_PRESS, stage.own(), GDK_BUTTON_PRIMARY, 1, 1).get());
    gtk_main_do_event(motion_event(stage.own(), GDK_BUTTON1_MASK, 5, 1).get());
    EXPECT_EQ(ite->get_text(), "abc");
    EXPECT_EQ(stage.log, (Log{"default key"}));
  }
  {
    SCOPED_TRACE("the widget first");
    const auto ite = TestText::create("abc", 0);
    std::shared_ptr<CtrlTextEditor> editor;
    {
      auto stage = std::make_unique<InputStage>();
      editor = typing_editor(stage->area, ite);
      editor->activate();
      press_in(*stage, GDK_KEY_x);
      EXPECT_EQ(ite->get_text(), "xabc");
    }
    settle();
    EXPECT_EQ(editor->get_widget(), nullptr);
    editor->set_can_edit(false);
    editor->set_can_edit(true);
    editor->start_preedit("ka", underline(0, 2), 2);
    editor->deactivate();
    EXPECT_EQ(ite->get_text(), "xabc");
    editor->activate();
    EXPECT_TRUE(editor->get_is_activated());
    editor.reset();
  }
}

} // namespace
} // namespace velkaro

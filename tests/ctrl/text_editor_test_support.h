#pragma once
// Shared pieces of the text editor's tests: a text holder laid out without a
// display, a clipboard of the test's own, and a recorder of the editor's
// signals.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <pango/pangocairo.h>
#include <pangomm/context.h>
#include <pangomm/layout.h>

#include "ctrl/text/text_editor.h"
#include "ctrl/text/text_editor_clipboard.h"
#include "model/itext_editable.h"

namespace velkaro::test {

// A text holder laid out on PangoCairo's font map, which needs no display.
class TestText : public CtrlITextEditable {
public:
  static std::shared_ptr<TestText> create(const std::string& text = "", int32_t cursor = 0)
  {
    auto t = std::make_shared<TestText>();
    t->set_text(text);
    t->set_cursor_index(cursor);
    return t;
  }

  Glib::RefPtr<Pango::Layout> new_pango_layout() override
  {
    auto context = Glib::wrap(pango_font_map_create_context(pango_cairo_font_map_get_default()));
    context->set_font_description(Pango::FontDescription("Sans 16px"));
    return Pango::Layout::create(context);
  }
  CtrlDataForITextEditable& get_data_ite() override { return *m_data; }

  // The x of the cursor standing at byte i, in whole layout pixels.
  int x_at(int32_t i) { return get_pango_layout()->index_to_pos(i).get_x() / PANGO_SCALE; }

private:
  std::shared_ptr<CtrlDataForITextEditable> m_data = CtrlDataForITextEditable::create();
};

class TestClipboard : public CtrlTextEditorClipboard {
public:
  std::optional<std::string> wait_for_text() override
  {
    // As GTK's clipboard runs the main loop while it waits.
    if (during_wait)
      during_wait();
    return text;
  }
  void set_text(const std::string& t) override { text = t; }

  std::optional<std::string> text;
  std::function<void()> during_wait;
};

// Logs every signal of an editor in order: "update:cursor", "update:text"
// (with "(other)" when it names another text than expected), "exit",
// "enter", "overstep(dx,dy)".
class SignalLog {
public:
  SignalLog(CtrlTextEditor& editor, std::shared_ptr<CtrlITextEditable> expected_ite)
    : m_expected(std::move(expected_ite))
  {
    m_connections.push_back(editor.signal_update().connect(
      [this](const std::shared_ptr<CtrlITextEditable>& ite, bool changed) {
        log.push_back(std::string(changed ? "update:text" : "update:cursor") + (ite == m_expected ? "" : "(other)"));
      }));
    m_connections.push_back(editor.signal_overstep_cursor_limit().connect([this](int dx, int dy, int x) {
      log.push_back("overstep(" + std::to_string(dx) + "," + std::to_string(dy) + ")");
      overstep_x.push_back(x);
    }));
    m_connections.push_back(editor.signal_exit_request().connect([this] { log.push_back("exit"); }));
    m_connections.push_back(editor.signal_enter_request().connect([this] { log.push_back("enter"); }));
  }
  ~SignalLog()
  {
    for (auto& c : m_connections)
      c.disconnect();
  }
  SignalLog(const SignalLog&) = delete;
  SignalLog& operator=(const SignalLog&) = delete;

  std::vector<std::string> log;
  std::vector<int> overstep_x;

private:
  std::shared_ptr<CtrlITextEditable> m_expected;
  std::vector<sigc::connection> m_connections;
};

} // namespace velkaro::test

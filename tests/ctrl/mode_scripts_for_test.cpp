#include "ctrl/mode_scripts_for_test.h"

#include <cstdio>

#include <gtest/gtest.h>

#include "common/point.h"
#include "common/rectangle.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/modes/base_mode.h"
#include "ctrl/modes/select_cell_mode.h"
#include "ctrl/text/text_editor_insert.h"
#include "model/grid.h"
#include "model/text_element.h"
#include "ctrl/modes/mode_2d.h"
#include "model/element_cells.h"

namespace velkaro::test {

Layout layout_of(ModelWorkspace& ws)
{
  Layout layout;
  ws.get_cells()->foreach([&](int32_t x, int32_t y, const std::shared_ptr<ModelElement>&) {
    std::string entry;
    for (const auto& name : names_at(ws, x, y)) {
      const bool text = name.rfind("T:", 0) == 0;
      entry += (entry.empty() ? "" : "+") + (text ? name.substr(2) : name);
    }
    layout.push_back(entry + "@" + std::to_string(x) + "," + std::to_string(y));
    return true;
  });
  return layout;
}

void put_layout(ModelWorkspace& ws, const Layout& layout)
{
  for (const std::string& entry : layout) {
    const auto at = entry.rfind('@');
    const auto comma = entry.find(',', at);
    ASSERT_TRUE(at != std::string::npos && comma != std::string::npos) << entry;
    const int32_t x = std::stoi(entry.substr(at + 1, comma - at - 1));
    const int32_t y = std::stoi(entry.substr(comma + 1));
    std::string texts = entry.substr(0, at);
    for (std::size_t start = 0;;) {
      const auto plus = texts.find('+', start);
      ASSERT_TRUE(place(ws, make_text(texts.substr(start, plus - start)), x, y)) << entry;
      if (plus == std::string::npos)
        break;
      start = plus + 1;
    }
  }
}

Layout marks_of(ModelWorkspace& ws)
{
  Layout marks;
  ws.get_cells()->foreach([&](int32_t x, int32_t y, const std::shared_ptr<ModelElement>& head) {
    head->foreach([&](const std::shared_ptr<ModelElement>& e) {
      const auto mark = std::dynamic_pointer_cast<KindMark>(e);
      const std::string name = mark ? mark->name : e->get_type_name();
      marks.push_back(name + "@" + std::to_string(x) + "," + std::to_string(y) + "+" + std::to_string(e->dh) + "," +
                      std::to_string(e->dv));
    });
    return true;
  });
  return marks;
}

std::vector<std::shared_ptr<ModelElement>> put_marks(ModelWorkspace& ws, const Layout& marks)
{
  std::vector<std::shared_ptr<ModelElement>> stored;
  for (const std::string& entry : marks) {
    int x = 0, y = 0, dh = 0, dv = 0;
    const auto at = entry.rfind('@');
    const int fields =
      at == std::string::npos ? 0 : std::sscanf(entry.c_str() + at + 1, "%d,%d+%d,%d", &x, &y, &dh, &dv);
    EXPECT_TRUE(fields == 2 || fields == 4) << entry;
    auto mark = ResizableMark::create(entry.substr(0, at));
    // As if read from a file: not in process.
    mark->in_process = false;
    mark->dh = dh;
    mark->dv = dv;
    EXPECT_TRUE(place(ws, mark, x, y)) << entry;
    stored.push_back(mark);
  }
  return stored;
}

void expect_key_table(CtrlIActionHandler& handler, const std::vector<ExpectedAction>& rows)
{
  const auto actions = handler.enum_actions();
  ASSERT_EQ(actions.size(), rows.size()) << handler.get_name();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const ExpectedAction& row = rows[i];
    const auto& wrapper = actions[i];
    SCOPED_TRACE(handler.get_name() + " " + row.name);
    EXPECT_EQ(wrapper->get_name(), row.name);
    EXPECT_EQ(wrapper->get_app_keys(), row.keys);
    EXPECT_EQ(wrapper->get_assigned(), row.keys);
    EXPECT_EQ(wrapper->get_description(), row.description);
    EXPECT_EQ(wrapper->get_record() != CtrlRecord::none, row.undoable);
    EXPECT_EQ(wrapper->has_is_actionable_func(), row.tested);
    for (const auto& key : row.keys)
      EXPECT_EQ(handler.get_key_action_map().get(key), row.name) << key;
  }
}

HostMode::HostMode(CtrlContext& ctrl) : KindMode(ctrl, "HOST MODE")
{
  include(CtrlBaseMode::create(ctrl));
  include(Ctrl2DMode::create(ctrl));
}

KindKit host_kit()
{
  return KindKit([](KindContext& ctx) { return std::vector<CtrlContext::ModePtr>{std::make_shared<HostMode>(ctx)}; });
}

Point centre_of(ModelWorkspace& ws, const CellPos& cell)
{
  const Rectangle rect = ws.grid->get_rect(cell.x, cell.y);
  return Point(rect.x + rect.width / 2, rect.y + rect.height / 2);
}

void note(const CtrlMode& mode, const std::string& what)
{
  mode.get_ctrl().get_c<KindContext>().log->push_back(mode.get_name() + ":" + what);
}

std::shared_ptr<ResizableMark> ResizableMark::create(std::string name)
{
  auto mark = std::make_shared<ResizableMark>();
  mark->name = std::move(name);
  return mark;
}

// --- TestCellMode

namespace {

// Stores a mark at cell when it is empty.
bool put_mark(CtrlMode& mode, const std::string& name, const CellPos& cell)
{
  auto& ws = *mode.get_ws();
  return !ws.elm_at(cell) && place(ws, KindMark::create(name), cell.x, cell.y);
}

} // namespace

bool TestCellMode::insert() { return put_mark(*this, "i", get_ctrl().get_now_cell()); }

bool TestCellMode::insert_shift()
{
  note(*this, "insert_shift");
  return false;
}

bool TestCellMode::append() { return put_mark(*this, "a", get_ctrl().get_now_cell().add({1, 0})); }

bool TestCellMode::append_shift()
{
  note(*this, "append_shift");
  return false;
}

bool TestCellMode::copy_(bool remove)
{
  get_ctrl().copy(nullptr, remove);
  return true;
}

bool TestCellMode::change_()
{
  auto& ctx = get_ctrl();
  const auto text = ctx.get_now_text_elm();
  if (!text)
    return false;
  note(*this, "change");
  return ctx.with_diff_if([&] {
    get_ws()->replace(text, KindMark::create("changed"));
    return true;
  });
}

void TestCellMode::on_enter()
{
  CtrlCellMode::on_enter();
  note(*this, "on_enter");
}

void TestCellMode::on_exit()
{
  CtrlCellMode::on_exit();
  note(*this, "on_exit");
}

// --- The test kind's range mode

void TestRangeMode::on_enter_for(const std::string& type_name)
{
  note(*this, "enter_for " + type_name);
  auto& ctx = get_ctrl();
  m_base = ctx.edit_elm;
  m_base_pos = ctx.get_epos();
}

void TestRangeMode::on_update_range()
{
  note(*this, "update_range");
  m_far = get_ctrl().get_now_cell();
}

void TestRangeMode::update_element(CellPos epos)
{
  note(*this, "update_element " + epos.to_string());
  auto& ctx = get_ctrl();
  const auto range = get_range();
  if (!range || !m_base)
    return;
  if (drop_at && range->end == *drop_at) {
    ctx.edit_elm = nullptr;
    return;
  }
  const auto mark = std::dynamic_pointer_cast<KindMark>(m_base);
  auto shaped = ResizableMark::create(mark ? mark->name : "?");
  CellPos at = range->start;
  CellPos far = range->end;
  if (mode == CtrlRangeModeModes::resize) {
    at = m_base_pos;
    far = m_far;
  }
  shaped->dh = far.x - at.x;
  shaped->dv = far.y - at.y;
  auto& ws = *get_ws();
  ws.remove(m_base);
  ASSERT_TRUE(place(ws, shaped, at.x, at.y));
  ctx.edit_elm = shaped;
}

void TestRangeMode::on_enter()
{
  CtrlRangeMode::on_enter();
  m_far = get_ctrl().get_now_cell();
  const auto& elm = get_ctrl().edit_elm;
  note(*this, "on_enter mode=" + std::to_string(static_cast<int>(mode)) +
                " edit=" + (elm ? elm->get_type_name() : "(none)"));
}

void TestRangeMode::on_exit()
{
  CtrlRangeMode::on_exit();
  note(*this, "on_exit");
}

// --- Double of the in-cell text mode

CellTextModeDouble::CellTextModeDouble(CtrlContext& ctrl) : KindMode(ctrl, "INSERT MODE (CELL)")
{
  CtrlTextEditorContextParts parts;
  parts.link.get_now_text_elm = [this]() -> std::shared_ptr<CtrlITextEditable> {
    return get_ctrl().get_now_text_elm();
  };
  parts.action_proc = ctrl.get_action_proc();
  parts.ws = ctrl.get_ws();
  m_editor = CtrlTextEditorInsert::create_with_ctrl(std::move(parts));
  void_action("cancel", {"<Esc>"}, [this] { get_ctrl().change_to_cell_mode(); }, std::nullopt);
}

void CellTextModeDouble::request_cursor(int kind, bool to_end)
{
  note("request_cursor " + std::to_string(kind) + " " + (to_end ? "true" : "false"));
}

void CellTextModeDouble::on_exit()
{
  get_ctrl().get_action_proc()->set_head_mergeable(false);
  KindMode::on_exit();
}

void CellTextModeDouble::type(const std::string& chars)
{
  for (const char c : chars)
    m_editor->commit_cb(std::string(1, c));
}

std::string mode_name(KindKit& kit) { return kit.ctx->get_now_mode()->get_name(); }

size_t undo_steps(KindKit& kit) { return kit.ctx->get_action_proc()->get_undo_stack().size(); }

void expect_undone_to(KindKit& kit, size_t steps, const std::string& before)
{
  for (size_t i = 0; i < steps; ++i)
    press_keys(*kit.ctx, "u");
  EXPECT_EQ(document_of(*kit.ws), before);
}

void run_key_script(KindKit kit, const KeyScript& s, ScriptDocument document,
                    const std::function<void(KindKit&)>& after_keys, const std::function<void(KindKit&)>& left)
{
  SCOPED_TRACE(std::string(s.what) + " [" + s.keys + "]");
  auto& ctx = *kit.ctx;
  const bool marks = document == ScriptDocument::marks;
  if (marks)
    put_marks(*kit.ws, s.start);
  else
    put_layout(*kit.ws, s.start);
  const std::string before = document_of(*kit.ws);
  ctx.set_pos(s.cursor);

  press_keys(ctx, s.keys);
  EXPECT_EQ(marks ? marks_of(*kit.ws) : layout_of(*kit.ws), s.expected);
  EXPECT_EQ(ctx.get_now_cell(), s.expected_cursor);
  EXPECT_EQ(mode_name(kit), s.mode);
  EXPECT_EQ(undo_steps(kit), s.steps);
  if (after_keys)
    after_keys(kit);

  // Every step the keys left is an ordinary one: undo in the cell mode
  // takes it back.
  ctx.change_to_cell_mode();
  if (left)
    left(kit);
  expect_undone_to(kit, s.steps, before);
}

std::vector<std::string> marks_in_process(KindKit& kit)
{
  std::vector<std::string> names;
  kit.ws->get_cells()->foreach([&](int32_t, int32_t, const std::shared_ptr<ModelElement>& head) {
    head->foreach([&](const std::shared_ptr<ModelElement>& e) {
      if (e->in_process)
        names.push_back(std::dynamic_pointer_cast<KindMark>(e)->name);
    });
    return true;
  });
  return names;
}

KindKit cell_kit()
{
  KindKit kit([](KindContext& ctx) {
    return std::vector<CtrlContext::ModePtr>{
      std::make_shared<TestCellMode>(ctx),       std::make_shared<CtrlSelectCellMode>(ctx),
      std::make_shared<TestRangeMode>(ctx),      std::make_shared<CtrlMoveViewMode>(ctx),
      std::make_shared<CellTextModeDouble>(ctx),
    };
  });
  kit.ctx->change_to_cell_mode();
  kit.take_log();
  return kit;
}

} // namespace velkaro::test

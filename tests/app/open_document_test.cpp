// Opening or replacing the document, by each of its ways in (":r" on the
// command line, File > Open, File > New), with a file that is read and with
// one that is refused: every way leaves the same state, canvas size
// included.

#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "app/app_for_test.h"
#include "app/main_window.h"
#include "common/cell_range.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/cmd/cmd_ctrl.h"
#include "ctrl/modes/mode.h"
#include "model/document_for_test.h"
#include "seq/canvas.h"
#include "seq/context.h"
#include "seq/doc/text_element.h"
#include "seq/doc/workspace.h"
#include "support/test_env.h"
#include "view/command_bar.h"

namespace velkaro::test {
namespace {

// What replacing the document decides, as one value.
struct OpenedState {
  std::string document;
  std::string file_path;
  bool modified = false;
  std::size_t undo_steps = 0;
  bool redo_history = false;
  std::string mode;
  bool selection = false;
  bool edit_elm = false;
  int canvas_width = 0;
  int canvas_height = 0;
  std::string title;

  bool operator==(const OpenedState&) const = default;
};

void PrintTo(const OpenedState& s, std::ostream* os)
{
  *os << "{file " << s.file_path << ", modified " << s.modified << ", undo " << s.undo_steps << ", redo "
      << s.redo_history << ", mode " << s.mode << ", selection " << s.selection << ", edit " << s.edit_elm
      << ", canvas " << s.canvas_width << "x" << s.canvas_height << ", title " << s.title << ",\n"
      << s.document << "}";
}

OpenedState opened_state_of(MainWindow& w)
{
  OpenedState s;
  const auto& ctx = *w.get_ctrl();
  s.document = document_of(*w.get_ws());
  s.file_path = w.get_ws()->get_file_path();
  s.modified = w.get_ws()->modified;
  s.undo_steps = ctx.get_action_proc()->get_undo_stack().size();
  s.redo_history = ctx.get_action_proc()->get_redo_stack().has_value();
  s.mode = ctx.get_now_mode()->get_name();
  s.selection = ctx.selected_range != nullptr;
  s.edit_elm = ctx.edit_elm != nullptr;
  w.get_canvas().get_size_request(s.canvas_width, s.canvas_height);
  s.title = w.get_title();
  return s;
}

enum class OpenWay { read_command, open_file, new_file };
enum class OpenOutcome { good, refused };

struct OpenCase {
  const char* name;
  OpenWay way;
  OpenOutcome outcome;
};

class OpenDocumentFixture : public MainWindowFixture {
protected:
  void SetUp() override
  {
    MainWindowFixture::SetUp();
    if (!app)
      return;
    good = dir.file("good.xml");
    empty = dir.file("empty.xml");
    refused = dir.file("refused.xml");
    std::ofstream(refused) << "<workspace><element_cells><cell";
    const auto other = make_window();
    insert_life_line(*other, {3, 0});
    insert_life_line(*other, {6, 2});
    ASSERT_TRUE(other->get_ws()->save(good));
    ASSERT_TRUE(ModelWorkspace::create<SeqWorkspace>()->save(empty));
  }

  // A new window, in the select-cell mode with a selection and an element
  // under edit, none of which may outlive the document; nothing asks about
  // unsaved changes.
  std::unique_ptr<MainWindow> window_in_use()
  {
    auto w = make_window();
    auto& ctx = *w->get_ctrl();
    ctx.set_pos({1, 1});
    EXPECT_TRUE(ctx.action("change-to-selectmode"));
    ctx.set_pos({2, 3});
    ctx.edit_elm = SeqTextElement::create();
    EXPECT_NE(ctx.get_now_mode(), ctx.get_default_mode());
    EXPECT_TRUE(ctx.selected_range);
    EXPECT_FALSE(w->get_ws()->modified);
    return w;
  }

  // Runs way on w with path (for New, none).
  void open_by(MainWindow& w, OpenWay way, const std::string& path)
  {
    switch (way) {
    case OpenWay::read_command: {
      auto& ctx = *w.get_ctrl();
      ctx.activate_cmd_ctrl();
      const auto cmd = std::dynamic_pointer_cast<CtrlCmdCtrl>(w.get_command_bar().get_cmd_ctrl());
      ASSERT_TRUE(cmd);
      cmd->set_text("r " + path);
      ASSERT_TRUE(cmd->action("enter"));
      break;
    }
    case OpenWay::open_file:
      dialogs.chooser_answers = {path};
      ASSERT_TRUE(w.get_ctrl()->action("open-file"));
      break;
    case OpenWay::new_file: ASSERT_TRUE(w.get_ctrl()->action("new-file")); break;
    }
  }

  // The state a window reaches by reading path with ":r" from the same
  // starting state: what every way in must reach.
  OpenedState read_by_command(const std::string& path)
  {
    const auto w = window_in_use();
    open_by(*w, OpenWay::read_command, path);
    return opened_state_of(*w);
  }

  std::string good;
  std::string empty;
  std::string refused;
};

class OpenDocumentTest : public OpenDocumentFixture, public ::testing::WithParamInterface<OpenCase> {};

TEST_F(OpenDocumentFixture, ReadingIntoANewWindowSizesTheCanvasAtOnce)
{
  VELKARO_REQUIRE_GTK();
  const auto w = make_window();
  int width = 0, height = 0;
  w->get_canvas().get_size_request(width, height);
  ASSERT_EQ(width, -1) << "nothing sized the canvas yet";
  open_by(*w, OpenWay::read_command, good);
  const OpenedState read = opened_state_of(*w);
  EXPECT_EQ(read.file_path, good);
  EXPECT_GT(read.canvas_width, 0);
  EXPECT_GT(read.canvas_height, 0);
  w->get_canvas().update();
  w->get_canvas().get_size_request(width, height);
  EXPECT_EQ(width, read.canvas_width);
  EXPECT_EQ(height, read.canvas_height);
}

TEST_P(OpenDocumentTest, EveryWayInLeavesTheSameState)
{
  VELKARO_REQUIRE_GTK();
  const OpenCase& c = GetParam();
  const auto w = window_in_use();

  // File > New has no file to refuse; the user keeps the document by
  // cancelling the question about its changes.
  std::string path = c.outcome == OpenOutcome::good ? good : refused;
  if (c.way == OpenWay::new_file && c.outcome == OpenOutcome::refused) {
    w->get_ws()->modified = true;
    dialogs.question_answers = {Gtk::RESPONSE_CANCEL};
  }
  const OpenedState before = opened_state_of(*w);
  open_by(*w, c.way, path);
  const OpenedState after = opened_state_of(*w);

  if (c.outcome == OpenOutcome::refused) {
    EXPECT_EQ(after, before) << "a refused file touches nothing, canvas size included";
    EXPECT_EQ(dialogs.messages.size(), c.way == OpenWay::new_file ? 0u : 1u);
    return;
  }
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(after.mode, w->get_ctrl()->get_default_mode()->get_name());
  EXPECT_FALSE(after.selection);
  EXPECT_FALSE(after.edit_elm);
  EXPECT_EQ(after.undo_steps, 0u);
  EXPECT_FALSE(after.redo_history);
  EXPECT_FALSE(after.modified);
  if (c.way != OpenWay::new_file) {
    EXPECT_NE(std::pair(after.canvas_width, after.canvas_height), std::pair(before.canvas_width, before.canvas_height))
      << "the new document needs another size";
  }
  // Sized as the canvas sizes itself for that document.
  w->get_canvas().update();
  int width = 0, height = 0;
  w->get_canvas().get_size_request(width, height);
  EXPECT_EQ(width, after.canvas_width);
  EXPECT_EQ(height, after.canvas_height);

  if (c.way == OpenWay::new_file) {
    OpenedState expected = read_by_command(empty);
    EXPECT_EQ(expected.file_path, std::filesystem::absolute(empty).string());
    expected.file_path = "";
    expected.title = MainWindow::title_base(w->get_ctrl()->get_exename());
    EXPECT_EQ(after, expected);
    return;
  }
  EXPECT_EQ(after.file_path, good);
  EXPECT_EQ(after.document, document_of(*[&] {
              const auto read = ModelWorkspace::create<SeqWorkspace>();
              EXPECT_TRUE(read->load(good));
              return read;
            }()));
  EXPECT_EQ(after, read_by_command(good));
}

const OpenCase OPEN_CASES[] = {
  {"ReadCommandGood", OpenWay::read_command, OpenOutcome::good},
  {"ReadCommandRefused", OpenWay::read_command, OpenOutcome::refused},
  {"OpenFileGood", OpenWay::open_file, OpenOutcome::good},
  {"OpenFileRefused", OpenWay::open_file, OpenOutcome::refused},
  {"NewFileGood", OpenWay::new_file, OpenOutcome::good},
  {"NewFileKept", OpenWay::new_file, OpenOutcome::refused},
};

INSTANTIATE_TEST_SUITE_P(Ways, OpenDocumentTest, ::testing::ValuesIn(OPEN_CASES),
                         [](const ::testing::TestParamInfo<OpenCase>& info) { return info.param.name; });

} // namespace
} // namespace velkaro::test

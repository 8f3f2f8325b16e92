// The copy buffer: copies keep their offsets from the buffer's origin and
// are pasted relative to the cursor; a cut removes exactly what it copied.

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/cell_range.h"
#include "ctrl/undo/action_processor.h"
#include "ctrl/context.h"
#include "ctrl/test_kind.h"
#include "model/workspace.h"

namespace velkaro::test {
namespace {

using Chain = std::vector<std::string>;

TEST(ContextCopy, CopyOfAnElementPastesRelativeToTheCursor)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  auto& ws = *kit.ws;
  const auto text = make_text("a");
  ASSERT_TRUE(place(ws, text, 2, 4));
  ctx.set_pos({0, 0});
  ctx.copy(text, false);
  EXPECT_EQ(ctx.get_yank_pos(), (CellPos{2, 4})) << "the element's own cell is the origin";
  EXPECT_TRUE(ctx.get_has_yanked());

  ctx.set_pos({5, 4});
  EXPECT_TRUE(ctx.paste());
  ctx.set_pos({5, 5});
  EXPECT_TRUE(ctx.paste());
  EXPECT_EQ(names_at(ws, 2, 4), (Chain{"T:a"}));
  EXPECT_EQ(names_at(ws, 5, 4), (Chain{"T:a"}));
  EXPECT_EQ(names_at(ws, 5, 5), (Chain{"T:a"}));
  EXPECT_EQ(ctx.get_yank_pos(), (CellPos{5, 5}));
  // Each paste stored its own element.
  EXPECT_NE(ws.elm_at({5, 4}), ws.elm_at({5, 5}));
}

TEST(ContextCopy, CopyOfASelectionKeepsTheOffsetsFromItsTopLeft)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  auto& ws = *kit.ws;
  ASSERT_TRUE(place(ws, make_text("a"), 4, 2));
  ASSERT_TRUE(place(ws, make_text("b"), 6, 3));
  ASSERT_TRUE(place(ws, KindMark::create("m"), 5, 4));
  ctx.selected_range = CellRange::create({4, 2}, {7, 5});
  // The cursor on the selection's far corner, as when selecting.
  ctx.set_pos({7, 5});
  EXPECT_TRUE(ctx.get_check_copy());
  ctx.copy(nullptr, false);
  EXPECT_EQ(ctx.get_yank_pos(), (CellPos{4, 2}));
  ASSERT_TRUE(ctx.get_yank_elms());
  EXPECT_EQ(ctx.get_yank_elms()->size(), 2u) << "marks are not taken";

  ctx.selected_range = nullptr;
  ctx.set_pos({0, 0});
  EXPECT_TRUE(ctx.paste());
  EXPECT_EQ(names_at(ws, 0, 0), (Chain{"T:a"}));
  EXPECT_EQ(names_at(ws, 2, 1), (Chain{"T:b"}));
  EXPECT_TRUE(names_at(ws, 1, 2).empty());
  EXPECT_EQ(names_at(ws, 4, 2), (Chain{"T:a"})) << "a copy leaves the originals";
}

TEST(ContextCopy, CutAtTheCursorRemovesExactlyWhatItCopied)
{
  struct Case {
    const char* what;
    std::vector<std::shared_ptr<ModelElement>> chain;
    Chain copied;
    Chain left;
  };
  const Case cases[] = {
    {"a mark before a text", {KindMark::create("m"), make_text("t")}, {"T:t"}, {"M:m"}},
    {"two texts", {make_text("t1"), make_text("t2")}, {"T:t1", "T:t2"}, {}},
    {"a text before a mark", {make_text("t"), KindMark::create("m")}, {"T:t"}, {"M:m"}},
    {"marks only", {KindMark::create("m")}, {}, {"M:m"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    KindKit kit;
    auto& ctx = *kit.ctx;
    auto& ws = *kit.ws;
    for (const auto& elm : c.chain)
      ASSERT_TRUE(place(ws, elm, 3, 3));
    ctx.set_pos({3, 3});
    EXPECT_EQ(ctx.get_check_copy(), !c.copied.empty());

    ctx.copy(nullptr, true);
    EXPECT_EQ(names_at(ws, 3, 3), c.left);
    EXPECT_EQ(ctx.get_yank_pos(), (CellPos{3, 3}));
    // What the buffer holds, pasted one per row.
    ASSERT_TRUE(ctx.get_yank_elms());
    EXPECT_EQ(ctx.get_yank_elms()->size(), c.copied.size());
    ctx.set_pos({0, 10});
    EXPECT_TRUE(ctx.paste());
    Chain pasted = names_at(ws, 0, 10);
    EXPECT_EQ(pasted, c.copied);
  }
}

TEST(ContextCopy, PasteBeforeAnyCopyFailsAndAnEmptyCopyPastesNothing)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  const std::string empty = document_of(*kit.ws);
  EXPECT_FALSE(ctx.paste());
  EXPECT_FALSE(ctx.get_yank_elms());
  EXPECT_FALSE(ctx.get_check_copy());

  ctx.copy(nullptr, false);
  EXPECT_FALSE(ctx.get_has_yanked());
  ASSERT_TRUE(ctx.get_yank_elms());
  EXPECT_TRUE(ctx.paste());
  EXPECT_EQ(document_of(*kit.ws), empty);
}

TEST(ContextCopy, CutAndPasteKeysAreUndoneAndRedone)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  auto& ws = *kit.ws;
  ASSERT_TRUE(place(ws, KindMark::create("m"), 1, 1));
  ASSERT_TRUE(place(ws, make_text("t"), 1, 1));
  const std::string start = document_of(ws);

  ctx.set_pos({1, 1});
  ASSERT_TRUE(press_keys(ctx, "c"));
  ctx.set_pos({4, 4});
  ASSERT_TRUE(press_keys(ctx, "p"));
  const std::string end = document_of(ws);
  EXPECT_EQ(names_at(ws, 1, 1), (Chain{"M:m"}));
  EXPECT_EQ(names_at(ws, 4, 4), (Chain{"T:t"}));

  ASSERT_TRUE(press_keys(ctx, "uu"));
  EXPECT_EQ(document_of(ws), start);
  ctx.get_action_proc()->redo();
  ctx.get_action_proc()->redo();
  EXPECT_EQ(document_of(ws), end);
}

TEST(ContextCopy, RemoveTakesTheElementWithItsChildren)
{
  KindKit kit;
  auto& ctx = *kit.ctx;
  auto& ws = *kit.ws;
  const auto parent = make_text("p");
  ASSERT_TRUE(place(ws, parent, 2, 2));
  const auto child = make_text("c");
  child->set_parent(parent);
  ASSERT_TRUE(place(ws, child, 3, 2));
  ASSERT_EQ(parent->get_children().size(), 1u);

  EXPECT_TRUE(ctx.remove(parent));
  EXPECT_TRUE(names_at(ws, 2, 2).empty());
  EXPECT_TRUE(names_at(ws, 3, 2).empty());
  ASSERT_EQ(ctx.get_yank_elms()->size(), 1u);
  EXPECT_EQ(ctx.get_yank_elms()->front()->subs.size(), 1u) << "the child travels with its parent";

  ctx.set_pos({0, 5});
  EXPECT_TRUE(ctx.paste());
  EXPECT_EQ(names_at(ws, 0, 5), (Chain{"T:p"}));
  EXPECT_EQ(names_at(ws, 1, 5), (Chain{"T:c"}));
}

// A kind that pastes its marks itself.
class HookContext : public KindContext {
public:
  HookContext(Key key, std::shared_ptr<ModelWorkspace> ws, std::shared_ptr<Log> log)
    : KindContext(key, std::move(ws), std::move(log), {}, "seq")
  {
  }

  bool special_paste(ElementPtr& copy) override
  {
    const auto mark = std::dynamic_pointer_cast<KindMark>(copy);
    if (!mark)
      return KindContext::special_paste(copy);
    log->push_back("special_paste " + mark->name);
    copy = KindMark::create(mark->name + "'");
    return true;
  }
};

TEST(ContextCopy, KindsHookPastesTheCopiesItTakes)
{
  const auto log = std::make_shared<Log>();
  const auto ws = ModelWorkspace::create<KindWorkspace>();
  const auto ctx = CtrlContext::create<HookContext>(ws, log);
  const auto mark = KindMark::create("m");
  ASSERT_TRUE(place(*ws, mark, 1, 1));
  ctx->copy(mark, false);
  ctx->set_pos({2, 2});
  EXPECT_TRUE(ctx->paste());
  EXPECT_EQ(*log, (Log{"special_paste m"}));
  EXPECT_TRUE(names_at(*ws, 2, 2).empty()) << "the hook pasted it, the workspace did not";
  ASSERT_EQ(ctx->get_yank_elms()->size(), 1u);
  EXPECT_EQ(std::dynamic_pointer_cast<KindMark>(ctx->get_yank_elms()->front())->name, "m'")
    << "the buffer keeps what the hook left";
}

} // namespace
} // namespace velkaro::test

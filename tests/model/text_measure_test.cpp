// Measuring texts: what a batch measures on worker threads is what a plain
// layout gives, the measurements follow forget() and changes of the shared
// context, a text element holds its text without a layout until one is
// asked for, and a document whose texts are measured on opening lays out as
// one whose texts were measured before.

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <pango/pangocairo.h>
#include <pangomm/context.h>
#include <pangomm/fontdescription.h>
#include <pangomm/layout.h>

#include "model/element_cells.h"
#include "model/grid.h"
#include "model/text_element.h"
#include "model/text_measure.h"
#include "model/text_measure_batch.h"
#include "model/workspace.h"
#include "model/document_for_test.h"
#include "support/test_env.h"

namespace velkaro {
namespace {

// Strings whose shaping goes beyond one glyph per byte: kerning, ligatures,
// combining marks, other scripts and directions, emoji (of a font or the
// missing-glyph box), tabs, line and paragraph breaks, spaces at the ends.
const std::vector<std::string>& measure_table()
{
  static const std::vector<std::string> table = {
      "",
      "a",
      "AVAWAY To Ty Yo",
      "Hello, world",
      "two\nlines",
      "three\nshort\nlines",
      "crlf\r\nline",
      "para\u2029graph",
      "tab\tand\t\ttabs",
      "\tleading tab",
      "\u00fcn\u00efc\u00f6d\u00e9 \u00c5ngstr\u00f6m",
      "\u65e5\u672c\u8a9e\u306e\u30c6\u30ad\u30b9\u30c8",
      "emoji \U0001F600 \U0001F44D\U0001F3FD \U0001F1EF\U0001F1F5",
      "\u05e9\u05dc\u05d5\u05dd \u05e2\u05d5\u05dc\u05dd",
      "\u0645\u0631\u062d\u0628\u0627 mixed",
      "e\u0301 combining a\u0308",
      "\ufb01 fi ffi ligatures",
      "  spaces at both ends  ",
      "zero\u200bwidth\u00a0space",
      std::string(300, 'x'),
  };
  return table;
}

// The ink extents of a new plain layout holding text, on a context made as
// the shared one is: what drawing the text would show.
Pango::Rectangle measure_plainly(const std::string& text)
{
  auto context = Glib::wrap(pango_font_map_create_context(pango_cairo_font_map_get_default()));
  context->set_font_description(Pango::FontDescription("Sans 16px"));
  auto layout = Pango::Layout::create(context);
  layout->set_text(text);
  return layout->get_pixel_ink_extents();
}

void expect_same_ink(const Pango::Rectangle& got, const Pango::Rectangle& want)
{
  EXPECT_EQ(got.get_x(), want.get_x());
  EXPECT_EQ(got.get_y(), want.get_y());
  EXPECT_EQ(got.get_width(), want.get_width());
  EXPECT_EQ(got.get_height(), want.get_height());
}

// Every string of the table measured by a batch of workers (the calling
// thread leaving them all the work) equals a plain layout's measurement, in
// chunks of any size, each string measured once however often it comes.
TEST(ModelTextMeasureBatch, WorkersMeasureWhatAPlainLayoutGives)
{
  const auto& table = measure_table();
  struct Case {
    size_t workers, chunk;
  };
  for (const Case c : {Case{1, 1}, Case{2, 3}, Case{3, 64}}) {
    SCOPED_TRACE(testing::Message() << c.workers << " workers, chunks of " << c.chunk);
    ModelTextMeasure::forget();
    ModelTextMeasureBatch batch(c.workers, c.chunk);
    EXPECT_TRUE(ModelTextMeasureBatch::get_is_open());
    for (int round = 0; round < 2; ++round)
      for (const std::string& text : table)
        ModelTextMeasureBatch::expect(text);
    batch.finish(false);
    EXPECT_FALSE(ModelTextMeasureBatch::get_is_open());
    EXPECT_EQ(batch.get_workers_started(), c.workers);
    EXPECT_EQ(batch.get_measured_by_workers(), table.size());
    for (const std::string& text : table) {
      SCOPED_TRACE(text);
      ASSERT_TRUE(ModelTextMeasure::get_is_measured(text));
      expect_same_ink(ModelTextMeasure::get_pixel_ink_extents(text), measure_plainly(text));
    }
  }
}

// Without workers (none could start), finish() measures everything on the
// calling thread; what is measured already is not queued.
TEST(ModelTextMeasureBatch, WithoutWorkersFinishMeasuresEverything)
{
  const auto& table = measure_table();
  ModelTextMeasure::forget();
  (void)ModelTextMeasure::get_pixel_ink_extents(table[2]);
  ModelTextMeasureBatch batch(0, 4);
  for (const std::string& text : table)
    ModelTextMeasureBatch::expect(text);
  for (const std::string& text : table)
    EXPECT_EQ(ModelTextMeasure::get_is_measured(text), text == table[2]) << text;
  batch.finish();
  EXPECT_EQ(batch.get_workers_started(), 0u);
  EXPECT_EQ(batch.get_measured_by_workers(), 0u);
  for (const std::string& text : table) {
    SCOPED_TRACE(text);
    ASSERT_TRUE(ModelTextMeasure::get_is_measured(text));
    expect_same_ink(ModelTextMeasure::get_pixel_ink_extents(text), measure_plainly(text));
  }
}

// The calling thread helps: whatever share each side took, the result is
// the same measurements; a second finish() does nothing.
TEST(ModelTextMeasureBatch, HelpingGivesTheSameMeasurements)
{
  ModelTextMeasure::forget();
  std::vector<std::string> texts;
  for (int i = 0; i < 500; ++i)
    texts.push_back(measure_table()[static_cast<size_t>(i) % measure_table().size()] + " " +
                    std::to_string(i));
  {
    ModelTextMeasureBatch batch(2, 8);
    for (const std::string& text : texts)
      ModelTextMeasureBatch::expect(text);
    batch.finish();
    EXPECT_LE(batch.get_measured_by_workers(), texts.size());
    const size_t by_workers = batch.get_measured_by_workers();
    batch.finish();
    EXPECT_EQ(batch.get_measured_by_workers(), by_workers);
  }
  for (size_t i = 0; i < texts.size(); i += 7) {
    SCOPED_TRACE(texts[i]);
    ASSERT_TRUE(ModelTextMeasure::get_is_measured(texts[i]));
    expect_same_ink(ModelTextMeasure::get_pixel_ink_extents(texts[i]), measure_plainly(texts[i]));
  }
}

// One batch is open at a time: one made meanwhile does nothing, and what
// its texts need goes to the open one. A batch destroyed without finish()
// joins its workers and keeps what they measured.
TEST(ModelTextMeasureBatch, OnlyTheFirstOpenBatchQueues)
{
  ModelTextMeasure::forget();
  {
    ModelTextMeasureBatch outer(1, 1);
    {
      ModelTextMeasureBatch inner(1, 1);
      ModelTextMeasureBatch::expect("inner one");
      inner.finish();
      EXPECT_EQ(inner.get_workers_started(), 0u);
      EXPECT_TRUE(ModelTextMeasureBatch::get_is_open());
    }
    ModelTextMeasureBatch::expect("outer one");
  }
  EXPECT_FALSE(ModelTextMeasureBatch::get_is_open());
  for (const std::string text : {"inner one", "outer one"}) {
    ASSERT_TRUE(ModelTextMeasure::get_is_measured(text)) << text;
    expect_same_ink(ModelTextMeasure::get_pixel_ink_extents(text), measure_plainly(text));
  }
  // No batch open: nothing is queued or measured.
  ModelTextMeasureBatch::expect("nobody's");
  EXPECT_FALSE(ModelTextMeasure::get_is_measured("nobody's"));
}

// Measurements taken while the shared context changed are not kept: the
// next use measures again on the context as it is.
TEST(ModelTextMeasureBatch, MeasurementsOfAChangedContextAreDropped)
{
  ModelTextMeasure::forget();
  ModelTextMeasureBatch batch(2, 1);
  for (const std::string& text : measure_table())
    ModelTextMeasureBatch::expect(text);
  pango_context_changed(ModelTextMeasure::get_context()->gobj());
  batch.finish(false);
  for (const std::string& text : measure_table())
    EXPECT_FALSE(ModelTextMeasure::get_is_measured(text)) << text;
  // keep() holds to the same rule, and never replaces a measurement.
  const guint now = ModelTextMeasure::get_serial();
  ModelTextMeasure::keep("kept", Pango::Rectangle(1, 2, 3, 4), now - 1);
  EXPECT_FALSE(ModelTextMeasure::get_is_measured("kept"));
  ModelTextMeasure::keep("kept", Pango::Rectangle(1, 2, 3, 4), now);
  ModelTextMeasure::keep("kept", Pango::Rectangle(5, 6, 7, 8), now);
  EXPECT_EQ(ModelTextMeasure::get_pixel_ink_extents("kept").get_width(), 3);
  ModelTextMeasure::forget();
}

// A claimed string counts as not measured: measuring it here takes the
// claim over, and then keep() no longer replaces it; a claim that keep()
// answers is kept. forget() drops claims with measurements.
TEST(ModelTextMeasure, ClaimsAreAnsweredOnce)
{
  ModelTextMeasure::forget();
  const guint serial = ModelTextMeasure::get_serial();
  EXPECT_TRUE(ModelTextMeasure::claim("claimed"));
  EXPECT_FALSE(ModelTextMeasure::claim("claimed"));
  EXPECT_FALSE(ModelTextMeasure::get_is_measured("claimed"));
  const Pango::Rectangle here = ModelTextMeasure::get_pixel_ink_extents("claimed");
  expect_same_ink(here, measure_plainly("claimed"));
  EXPECT_TRUE(ModelTextMeasure::get_is_measured("claimed"));
  ModelTextMeasure::keep("claimed", Pango::Rectangle(1, 2, 3, 4), serial);
  expect_same_ink(ModelTextMeasure::get_pixel_ink_extents("claimed"), here);

  EXPECT_TRUE(ModelTextMeasure::claim("answered"));
  ModelTextMeasure::keep("answered", Pango::Rectangle(1, 2, 3, 4), serial);
  EXPECT_TRUE(ModelTextMeasure::get_is_measured("answered"));
  EXPECT_EQ(ModelTextMeasure::get_pixel_ink_extents("answered").get_height(), 4);
  EXPECT_FALSE(ModelTextMeasure::claim("answered"));

  EXPECT_TRUE(ModelTextMeasure::claim("dropped"));
  ModelTextMeasure::forget();
  EXPECT_FALSE(ModelTextMeasure::get_is_measured("answered"));
  EXPECT_TRUE(ModelTextMeasure::claim("dropped"));
  ModelTextMeasure::forget();
}

// forget() drops every measurement; measuring again gives the same, and a
// batch queues the forgotten strings again.
TEST(ModelTextMeasure, ForgetDropsEveryMeasurement)
{
  const auto& table = measure_table();
  std::vector<Pango::Rectangle> first;
  for (const std::string& text : table)
    first.push_back(ModelTextMeasure::get_pixel_ink_extents(text));
  ModelTextMeasure::forget();
  for (const std::string& text : table)
    EXPECT_FALSE(ModelTextMeasure::get_is_measured(text)) << text;
  ModelTextMeasureBatch batch(2, 2);
  for (const std::string& text : table)
    ModelTextMeasureBatch::expect(text);
  batch.finish(false);
  EXPECT_EQ(batch.get_measured_by_workers(), table.size());
  for (size_t i = 0; i < table.size(); ++i) {
    SCOPED_TRACE(table[i]);
    expect_same_ink(ModelTextMeasure::get_pixel_ink_extents(table[i]), first[i]);
  }
}

// A text element keeps its text without a layout until one is asked for,
// and then holds exactly what a layout given the same text holds: text
// that is not UTF-8 is given to a layout at once, which replaces the bad
// bytes (Pango warns of them); a NUL ends the text. Measured before or after its layout is made,
// a text gives the same rectangle.
TEST(ModelTextElement, TextWithoutALayoutIsWhatTheLayoutWouldHold)
{
  for (const std::string& text : {std::string("plain"), std::string("caf\u00e9\n\u65e5\u672c"),
                                 std::string("bad \xFF byte"), std::string("cut \xC3"),
                                 std::string("before\0after", 12), std::string()}) {
    SCOPED_TRACE(text);
    auto context = Glib::wrap(pango_font_map_create_context(pango_cairo_font_map_get_default()));
    auto layout = Pango::Layout::create(context);
    pango_layout_set_text(layout->gobj(), text.c_str(), static_cast<int>(std::strlen(text.c_str())));
    const std::string held = pango_layout_get_text(layout->gobj());

    const auto t = ModelTextElement::create();
    t->set_cursor_index(100);
    t->set_text(text);
    EXPECT_EQ(t->get_text(), held);
    EXPECT_EQ(t->get_cursor_index(), 0);
    t->set_cursor_index(100);
    EXPECT_EQ(t->get_cursor_index(), static_cast<int32_t>(held.size()));
    const Rectangle before = t->get_rect();
    const auto copy = std::dynamic_pointer_cast<ModelTextElement>(t->dup());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->get_text(), held);

    const auto own = t->get_pango_layout();
    ASSERT_TRUE(own);
    EXPECT_EQ(pango_layout_get_text(own->gobj()), held);
    EXPECT_EQ(t->get_text(), held);
    const Rectangle after = t->get_rect();
    EXPECT_EQ(after.width, before.width);
    EXPECT_EQ(after.height, before.height);
    const Pango::Rectangle ink = measure_plainly(held);
    EXPECT_EQ(after.width, ink.get_x() + ink.get_width());
    EXPECT_EQ(after.height, ink.get_y() + ink.get_height());

    // The layout now holds the text: changes go to it, the copy keeps its own.
    t->set_text("changed");
    EXPECT_EQ(pango_layout_get_text(own->gobj()), std::string("changed"));
    EXPECT_EQ(copy->get_text(), held);
    EXPECT_EQ(std::string(pango_layout_get_text(copy->get_pango_layout()->gobj())), held);
  }
}

// A text without a layout keeps its measurement only while the kept
// measurements stand: after forget() it is measured again, and after a
// change of the shared context it measures what the context now gives.
// A text read while a batch is open takes a kept measurement at once.
TEST(ModelTextElement, AKeptMeasurementFollowsTheSharedContext)
{
  const auto t = ModelTextElement::create();
  t->set_text("Hello, world");
  const Rectangle small = t->get_rect();
  ModelTextMeasure::forget();
  EXPECT_EQ(t->get_rect().width, small.width);
  EXPECT_TRUE(ModelTextMeasure::get_is_measured("Hello, world"));

  const auto context = ModelTextMeasure::get_context();
  const Pango::FontDescription font = context->get_font_description();
  context->set_font_description(Pango::FontDescription("Sans 32px"));
  const Rectangle big = t->get_rect();
  context->set_font_description(font);
  EXPECT_GT(big.width, small.width * 1.5);
  EXPECT_EQ(t->get_rect().width, small.width);
  EXPECT_EQ(t->get_rect().height, small.height);

  ModelTextMeasureBatch batch(0, 1);
  const auto read = ModelTextElement::create();
  read->set_text("Hello, world");
  EXPECT_FALSE(ModelTextMeasure::claim("Hello, world"));
  ModelTextMeasure::forget();
  EXPECT_EQ(read->get_rect().width, small.width);
  EXPECT_TRUE(ModelTextMeasure::get_is_measured("Hello, world"));
}

// Within a Steady scope the shared context is asked once, at the first
// look: a change after it is seen only once the outermost scope has ended.
TEST(ModelTextElement, ASteadyScopeTakesTheContextAsAtItsFirstLook)
{
  const auto t = ModelTextElement::create();
  t->set_text("Hello, world");
  const Rectangle small = t->get_rect();
  const auto context = ModelTextMeasure::get_context();
  const Pango::FontDescription font = context->get_font_description();
  {
    const ModelTextMeasure::Steady steady;
    EXPECT_EQ(t->get_rect().width, small.width);
    context->set_font_description(Pango::FontDescription("Sans 32px"));
    {
      const ModelTextMeasure::Steady nested;
      EXPECT_EQ(t->get_rect().width, small.width);
    }
    EXPECT_EQ(t->get_rect().width, small.width);
  }
  EXPECT_GT(t->get_rect().width, small.width * 1.5);
  context->set_font_description(font);
  EXPECT_EQ(t->get_rect().width, small.width);
}

// A layout given to the holder replaces a text kept without one.
TEST(ModelTextElement, AGivenLayoutReplacesTheKeptText)
{
  const auto t = ModelTextElement::create();
  t->set_text("kept");
  auto layout = Pango::Layout::create(ModelTextMeasure::get_context());
  layout->set_text("given");
  t->set_pango_layout(layout);
  EXPECT_EQ(t->get_text(), "given");
  EXPECT_EQ(t->get_pango_layout(), layout);
  t->set_pango_layout({});
  EXPECT_EQ(t->get_text(), "");
  t->set_text("again");
  EXPECT_EQ(std::string(pango_layout_get_text(t->get_pango_layout()->gobj())), "again");
}

// The rectangles of every text of a workspace, chain by chain.
std::vector<Rectangle> text_rects_of(ModelWorkspace& ws)
{
  std::vector<Rectangle> rects;
  ws.get_cells()->foreach([&rects](int32_t, int32_t, const ModelElement::ElementPtr& head) {
    head->foreach([&rects](const ModelElement::ElementPtr& e) { rects.push_back(e->get_rect()); });
    return true;
  });
  return rects;
}

// A document of many texts (more than the workers' chunks) opened with
// nothing measured lays out exactly as when every string was measured
// before, each text measuring what its own plain layout gives; it writes
// back as it was read.
TEST(ModelWorkspace, FirstOpenLaysOutAsAnOpenOfMeasuredTexts)
{
  test::TempDir dir;
  const std::string path = dir.file("texts.xml");
  const auto& table = measure_table();
  {
    const auto ws = ModelWorkspace::create();
    for (int i = 0; i < 600; ++i) {
      const auto t = ModelTextElement::create();
      // Some strings come many times over.
      const std::string& base = table[static_cast<size_t>(i) % table.size()];
      t->set_text(i % 4 == 0 ? base : base + " " + std::to_string(i));
      t->align = static_cast<ModelAlign>(i % 3);
      test::put(*ws, t, i % 40, i / 40);
    }
    ASSERT_TRUE(ws->save(path)) << ws->get_last_error();
  }
  ModelTextMeasure::forget();
  const auto first = ModelWorkspace::create();
  ASSERT_TRUE(first->load(path)) << first->get_last_error();
  const auto again = ModelWorkspace::create();
  ASSERT_TRUE(again->load(path)) << again->get_last_error();

  const std::vector<Rectangle> rects = text_rects_of(*first);
  ASSERT_EQ(rects.size(), 600u);
  const std::vector<Rectangle> again_rects = text_rects_of(*again);
  ASSERT_EQ(again_rects.size(), rects.size());
  for (size_t i = 0; i < rects.size(); ++i) {
    EXPECT_EQ(rects[i].x, again_rects[i].x) << i;
    EXPECT_EQ(rects[i].y, again_rects[i].y) << i;
    EXPECT_EQ(rects[i].width, again_rects[i].width) << i;
    EXPECT_EQ(rects[i].height, again_rects[i].height) << i;
  }
  for (int32_t x = 0; x < 40; ++x)
    EXPECT_EQ(first->grid->h->get_size(x), again->grid->h->get_size(x)) << x;
  for (int32_t y = 0; y < 15; ++y)
    EXPECT_EQ(first->grid->v->get_size(y), again->grid->v->get_size(y)) << y;

  size_t checked = 0;
  first->get_cells()->foreach([&](int32_t, int32_t, const ModelElement::ElementPtr& head) {
    head->foreach([&](const ModelElement::ElementPtr& e) {
      auto* t = dynamic_cast<ModelTextElement*>(e.get());
      ASSERT_NE(t, nullptr);
      const Pango::Rectangle ink = measure_plainly(t->get_text());
      const Rectangle r = t->get_rect();
      EXPECT_EQ(r.width, ink.get_x() + ink.get_width()) << t->get_text();
      EXPECT_EQ(r.height, ink.get_y() + ink.get_height()) << t->get_text();
      ++checked;
    });
    return true;
  });
  EXPECT_EQ(checked, 600u);

  const auto contents = [](const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  };
  const std::string back = dir.file("back.xml");
  ASSERT_TRUE(first->save(back)) << first->get_last_error();
  EXPECT_TRUE(contents(back) == contents(path));
}

} // namespace
} // namespace velkaro

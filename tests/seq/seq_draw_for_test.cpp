#include "seq/seq_draw_for_test.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "common/cell_range.h"
#include "common/text_join.h"
#include "model/grid.h"
#include "seq/exporting_cnavas.h"
#include "view/color_map.h"
#include "view/drawer_context.h"
#include "view/pixels_for_test.h"

namespace velkaro::test {

SeqDrawContext::SeqDrawContext(Key key, std::shared_ptr<ModelWorkspace> ws) : CtrlContext(key, std::move(ws), "seq")
{
  set_modes({std::make_shared<DrawPlainMode>(*this), std::make_shared<StillRangeMode>(*this)});
}

SeqDrawKit::SeqDrawKit() : ctx(CtrlContext::create<SeqDrawContext>(ws))
{
  // Away from every fixture.
  ctx->set_pos({40, 40});
}

void SeqDrawKit::finish()
{
  ws->clear_in_process();
  ws->update_layout_all();
}

Rectangle SeqDrawKit::up_to(int32_t x, int32_t y) const
{
  const Rectangle r = cell(x, y);
  return {0, 0, r.get_right(), r.get_bottom()};
}

namespace {

// The sequence exporter's drawer list, in reach.
class SeqDrawersOfExport : public SeqExportingCnavas {
public:
  using SeqExportingCnavas::new_drawers;
  using SeqExportingCnavas::SeqExportingCnavas;
};

} // namespace

Cairo::RefPtr<Cairo::ImageSurface> SeqDrawKit::draw_with_editor(const Rectangle& rect)
{
  const auto dc = ViewDrawerContext::create_make_surface(rect);
  dc->color_map = ViewColorMap::create_light();
  const auto exporter = ViewExportingCnavas::create<SeqDrawersOfExport>(ctx, rect);
  for (const auto& drawer : exporter->new_drawers())
    drawer->draw_for(dc, ctx);
  dc->surface->flush();
  return dc->surface;
}

Cairo::RefPtr<Cairo::ImageSurface> SeqDrawKit::export_png(const Rectangle& rect, const TempDir& dir,
                                                          const std::string& name)
{
  const std::string path = dir.file(name);
  const auto exporter = ViewExportingCnavas::create<SeqExportingCnavas>(ctx, rect);
  EXPECT_TRUE(exporter->export_png(path)) << exporter->get_last_error();
  keep_png(path, name);
  return Cairo::ImageSurface::create_from_png(path);
}

// --- builders ------------------------------------------------------------------

std::shared_ptr<SeqLifeHead> named_life_line(SeqWorkspace& ws, int32_t x, int32_t y, int cells,
                                             const std::string& name, bool stop)
{
  auto head = SeqLifeHead::create();
  put(ws, head, x, y);
  put(ws, SeqTextElement::create_with_text(head, name), x, y);
  for (int i = 1; i <= cells; ++i) {
    auto ll = SeqLifeLine::create_with_head(head);
    ll->has_stop = stop && i == cells;
    put(ws, ll, x, y + i);
  }
  return head;
}

void box(SeqWorkspace& ws, int32_t x, int32_t y0, int32_t y1, int32_t level)
{
  for (int32_t y = y0; y <= y1; ++y)
    put(ws, SeqExecSpec::create(level, y == y0), x, y);
}

std::shared_ptr<SeqMessage> message(SeqWorkspace& ws, int32_t x0, int32_t x1, int32_t y, SeqMsgTypeTypes kind,
                                    const std::vector<std::string>& texts, int32_t point)
{
  const int32_t right = x1 < x0 ? -1 : 1;
  auto msg = SeqMessage::create(at<SeqLifeLine>(ws, x0, y), right);
  put(ws, msg, x0, y);
  std::size_t i = 0;
  for (int32_t x = x0 + right; x0 != x1 && x != x1 + right; x += right, ++i) {
    auto line = SeqMsgLine::create_with_msg(msg);
    if (x == x1)
      line->point = point;
    put(ws, line, x, y);
    if (i < texts.size() && !texts[i].empty())
      put(ws, SeqTextElement::create_with_text(line, texts[i]), x, y);
  }
  auto type = SeqMsgType::create_with(msg, 0);
  type->msg_type = kind;
  put(ws, type, x0, y);
  return msg;
}

std::shared_ptr<SeqFragment> fragment(SeqWorkspace& ws, int32_t sx, int32_t sy, int32_t ex, int32_t ey,
                                      const std::string& text)
{
  auto fm = SeqFragment::create();
  put(ws, fm, sx, sy);
  put(ws, SeqTextElement::create_with_text(fm, text), sx, sy);
  // One edge: count cells from (x, y) down (dir 1) or right (dir 0).
  const auto edge = [&](int32_t x, int32_t y, int32_t count, int32_t dir, bool topleft) {
    for (int32_t i = 0; i < count; ++i) {
      auto fl = SeqFragLine::create_with_frag(fm, dir, topleft);
      fl->is_start = i == 0;
      fl->is_end = i == count - 1;
      put(ws, fl, dir == 1 ? x : x + i, dir == 1 ? y + i : y);
    }
  };
  edge(sx, sy + 1, ey - sy, 1, true);
  edge(ex, sy, ey - sy + 1, 1, false);
  edge(sx + 1, sy, ex - sx - 1, 0, true);
  edge(sx + 1, ey, ex - sx - 1, 0, false);
  return fm;
}

void separator(SeqWorkspace& ws, int32_t sx, int32_t y, int32_t ex, const std::string& text, int32_t text_x)
{
  auto sp = SeqSeparator::create_with_fl(at<SeqFragLine>(ws, sx, y, 1));
  put(ws, sp, sx, y);
  if (text_x == sx && !text.empty())
    put(ws, SeqTextElement::create_with_text(sp, text), sx, y);
  for (int32_t x = sx + 1; x <= ex; ++x) {
    auto line = SeqSepLine::create_with_sp(sp);
    put(ws, line, x, y);
    if (text_x == x && !text.empty())
      put(ws, SeqTextElement::create_with_text(line, text), x, y);
  }
}

// --- probes --------------------------------------------------------------------

std::string check_run(const Cairo::RefPtr<Cairo::ImageSurface>& image, bool vertical, double at, double from,
                      double to, const Stretch& run)
{
  std::string errors;
  int dashes_judged = 0;
  const double period = run.on + run.off;
  for (int j = static_cast<int>(std::ceil(from)); j + 1 <= to; ++j) {
    bool want_line = run.kind == Stretch::solid;
    if (run.kind == Stretch::dashed) {
      const double start = run.backwards ? run.origin - (j + 1) : j - run.origin;
      const double phase = std::fmod(std::fmod(start, period) + period, period);
      if (phase + 1 <= run.on + 1e-9) {
        want_line = true;
        ++dashes_judged;
      } else if (phase >= run.on - 1e-9 && phase + 1 <= period + 1e-9) {
        want_line = false;
      } else {
        continue;
      }
    }
    const double c = vertical ? vline(image, at, j + 0.5) : hline(image, j + 0.5, at);
    if (want_line ? !drawn(c) : !blank(c))
      errors += text_join({" ", std::to_string(j), want_line ? ":missing" : ":ink"});
  }
  if (run.kind == Stretch::dashed && dashes_judged == 0)
    errors += " no dash judged";
  return errors;
}

void keep_png(const std::string& path, const std::string& name)
{
  const char* dir = std::getenv("VELKARO_TEST_PNG_DIR");
  if (!dir || !*dir)
    return;
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  std::filesystem::copy_file(path, std::filesystem::path(dir) / name,
                             std::filesystem::copy_options::overwrite_existing, ec);
}

} // namespace velkaro::test

#pragma once
// SeqMessageDrawer: draws the messages. In the cell of its anchor a message
// draws the start of its line from the edge of the sender's execution
// execution specifications (or, without lines, the loop of a self message); every
// line cell draws its piece of the line near the cell's bottom, the tip
// cell the arrowhead (filled for a synchronous message, an open V
// otherwise) ending at the edge of the receiver's execution specifications
// or at the level its point names. A reply is dashed, its phase counted from
// the sender's life-line centre through every cell. A filled dot marks a
// start (found message) or a tip (lost message) in a cell without a life
// line. A line cell's text is drawn above the line.
//
// Antialiasing: each dot is drawn antialiased; at zoom 1 antialiasing is
// off after it (as the canvas draws at zoom 1), at any other zoom the
// antialiasing in force before the dot comes back. Drawing a part of a
// drawing (an exporter's band, ViewDrawerContext::whole), the drawer turns
// antialiasing off where the whole drawing would have: past the first dot
// of the whole (in its walks' order, wherever that dot lies), also for
// the drawers after it. So the image does not depend on where the parts
// are cut.
//
// Alike elements repeated in one cell (a hostile file may hold thousands
// of messages or lines in one chain) draw the same shapes over each other:
// where the drawer context settles repeats, a visit that would draw just
// what the visits before it drew, after ViewDrawerContext::SETTLED_AFTER of
// them, is left out; the pixels are the same. The walk's last visit is
// drawn even then, for the style it leaves to what follows.
//
// Installed by the sequence canvas (also in its working pass) and the
// sequence exporter.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <tuple>

#include "common/cell_pos.h"
#include "common/rectangle.h"
#include "seq/doc/msg_type.h"
#include "seq/drawer_geometry.h"
#include "view/ws_drawer.h"

namespace velkaro {

class SeqExecSpec;
class SeqLifeLine;
class SeqMessage;
class SeqMsgLine;

class SeqMessageDrawer : public ViewWsDrawer {
public:
  void draw() override;
  bool get_for_working() const override { return true; }

  // +1 for a message going right, else -1.
  int32_t get_dir() const { return m_right == 1 ? 1 : -1; }
  // The y of the line, and of a self message's loop, in the visited cell.
  double get_liney() const;
  double get_abovey() const;

  // The line in the message's own cell, starting start from the centre.
  void outl(double start);
  // Draws the arrowhead (back: pointing towards the sender, a self
  // message's) and returns the tip's x relative to the cell's centre.
  double arrow(bool back);
  // The reply dashes' phase at the edge where line's cell is entered.
  double offset(const SeqMsgLine& line) const;

private:
  // The anchor cell of the visited message, and a visited line cell.
  void draw_message();
  void draw_msg_line();
  // The life line of the visited cell and its level-0 execution specification.
  void find_life_line();
  // The first level from step outwards (step being 1 or -1) that holds no
  // execution specification in the visited cell's life line.
  int32_t first_free_level(int32_t step) const;
  // The life line in elm's chain (seek), found once per draw for all the
  // elements of one chain: every message of a long chain would otherwise
  // search it.
  std::shared_ptr<SeqLifeLine> life_line_of(const ModelElement& elm);
  // line.get_is_tip(), and the type of the visited message, found once per
  // draw for all the lines of one message in one cell: each asks every
  // line of the message (every child), and a long chain holds thousands.
  // The lines of a message in one cell share their neighbours.
  bool is_tip(const SeqMsgLine& line);
  SeqMsgTypeTypes msg_type();
  // A filled dot of the dots' radius centred at (x, y).
  void dot(double x, double y);

  // Where the drawing stands: the walk (0 messages, 1 lines, 2 both done),
  // then the row and the column of the visited cell.
  using WalkPlace = std::tuple<int, int32_t, int32_t>;
  // The place of the first dot of the whole drawing this part belongs to,
  // worked out once for all its parts; none for a context drawing the
  // whole, or at a zoom after which a dot leaves nothing behind.
  std::optional<WalkPlace> first_dot_of_whole();
  std::optional<WalkPlace> find_first_dot(const cairo_rectangle_int_t& whole);
  // Before drawing at place: once the whole drawing's first dot lies
  // before it, antialiasing is off as the dot left it.
  void catch_up(const WalkPlace& place);

  // What a visit draws with: two visits with equal values draw the same
  // shapes in the same style at the same place. The style is the cairo
  // state the visit starts from, which the walk sets for each visit;
  // drawn is false when it cannot be read (a source that is not a colour),
  // and such a visit is never left out.
  struct Drawn {
    int walk = 0;
    CellPos cell;
    Rectangle rect;
    const ModelElement* text = nullptr;
    int32_t right = 0;
    SeqMsgTypeTypes type = SeqMsgTypeTypes::SYNCHRONOUS;
    bool only = false;
    bool tip = false;
    bool life_line = false;
    bool boxes = false;
    int32_t level_out = 0;
    int32_t level_in = 0;
    int32_t point = 0;
    double offset = 0.0;
    cairo_antialias_t antialias = CAIRO_ANTIALIAS_DEFAULT;
    double width = 0.0;
    double rgba[4] = {0, 0, 0, 0};
    int dashes = 0;
    bool readable = true;
    bool operator==(const Drawn&) const = default;
  };
  // The values the visited message or line (walk 0 or 1) draws with.
  Drawn drawn(int walk);
  // Whether the visit may be left out as settled (see the header); noted
  // as the walk's last visit when it is.
  bool settled(const Drawn& d);
  // Draws the walk's last visit (walk 0 or 1) if it was left out.
  void draw_left_out(int walk);
  struct LeftOut {
    CellPos start_cell;
    CellPos now_cell;
    Rectangle now_rect;
    ElementPtr now_elm;
  };
  std::optional<Drawn> m_last_drawn;
  int m_alike = 0;
  std::optional<LeftOut> m_left_out;

  std::shared_ptr<SeqMsgLine> m_ml;
  std::shared_ptr<SeqMessage> m_msg;
  std::shared_ptr<SeqLifeLine> m_ll;
  std::shared_ptr<SeqExecSpec> m_es;
  int32_t m_right = 1;
  double m_radius = seq_geom::DOT_RADIUS;
  std::optional<WalkPlace> m_first_dot;
  bool m_past_first_dot = false;
  // For one draw: life_line_of() and the level-0 execution specification
  // by anchor cell, first_free_level() by life line and step.
  std::map<std::pair<int32_t, int32_t>, std::pair<std::shared_ptr<SeqLifeLine>, std::shared_ptr<SeqExecSpec>>>
      m_found;
  mutable std::map<std::pair<const SeqLifeLine*, int32_t>, int32_t> m_free_level;
  // For one draw: is_tip() by message, cell and role, msg_type() by message.
  std::map<std::tuple<const SeqMessage*, int32_t, int32_t, int32_t>, bool> m_tip;
  std::map<const SeqMessage*, SeqMsgTypeTypes> m_msg_type;
};

} // namespace velkaro

#include "seq_diagram.h"

#include <algorithm>
#include <array>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <glib.h>

#include "common/cell_range.h"
#include "seq/doc/exec_spec.h"
#include "seq/doc/msg_type.h"
#include "seq/doc/text_element.h"
#include "seq/doc/workspace.h"

namespace velkaro {
namespace {

using Cols = SeqDiagramColumns;

// A message of the plan: from life line to life line, in a row.
struct PlannedMessage {
  int32_t from;
  int32_t to;
  SeqMsgTypeTypes kind;
  int32_t row;
  std::string text;
  // The box a call opens (index into the plan's boxes), or -1.
  int box;
};

// A box of execution specifications on life line ll from row top to bottom.
struct PlannedBox {
  int32_t ll;
  int32_t top;
  int32_t bottom;
};

// An "alt" block: its frame rows, its loop's and its separator's.
struct PlannedBlock {
  int32_t alt_top = 0;
  int32_t alt_bottom = 0;
  int32_t loop_top = 0;
  int32_t loop_bottom = 0;
  int32_t separator = 0;
};

struct Plan {
  std::vector<PlannedMessage> messages;
  std::vector<PlannedBox> boxes;
  std::vector<PlannedBlock> blocks;
  int32_t rows = 0;
};

// A message in a block: its place among the block's ten.
constexpr int BLOCK_EVERY = 20;
constexpr int BLOCK_MESSAGES = 10;
constexpr int LOOP_MESSAGES = 3;
constexpr int ELSE_AFTER = 5;
constexpr size_t MAX_DEPTH = 3;
// Of the calls from a busy life line, the share (in %) it makes to itself.
constexpr unsigned SELF_CALLS = 20;

const std::array<const char*, Cols::LIFE_LINES> NAMES = {"Client", "Gateway", "Orders", "Billing",
                                                         "Stock",  "Shipping", "Mailer", "Database"};
const std::array<const char*, 10> CALLS = {"getOrder", "checkStock", "reserve", "charge", "ship",
                                           "lookup",   "validate",   "update",  "price",  "audit"};

// The plan of n messages: which life lines talk, in which rows, and where
// the frames go. The generator is seeded once, so it always gives the same.
Plan make_plan(int n)
{
  Plan plan;
  std::mt19937 rng(28);
  struct Call {
    int32_t caller;
    int32_t callee;
    int box;
  };
  std::vector<Call> stack;
  const auto other_than = [&rng](int32_t s) {
    auto t = static_cast<int32_t>(rng() % (Cols::LIFE_LINES - 1));
    return t >= s ? t + 1 : t;
  };
  int32_t y = 1;
  PlannedBlock* block = nullptr;
  int block_start = 0;
  for (int i = 0; i < n; ++i) {
    if (i % BLOCK_EVERY == 0 && i + BLOCK_MESSAGES <= n) {
      plan.blocks.push_back({});
      block = &plan.blocks.back();
      block_start = i;
      block->alt_top = y++;
      block->loop_top = y++;
    }
    const int in_block = block ? i - block_start : -1;
    if (in_block == LOOP_MESSAGES)
      block->loop_bottom = y++;
    if (in_block == ELSE_AFTER)
      block->separator = y++;
    const int32_t row = y++;

    // Calls and replies balance: a reply with nobody waiting becomes a
    // call, a call beyond the deepest nesting (or one that could not be
    // answered before the end) a reply.
    const int left = n - i;
    const unsigned r = rng() % 100;
    SeqMsgTypeTypes kind = r < 40 ? SeqMsgTypeTypes::SYNCHRONOUS
                                  : (r < 60 ? SeqMsgTypeTypes::ASYNCHRONOUS : SeqMsgTypeTypes::REPLY);
    if (kind == SeqMsgTypeTypes::REPLY && stack.empty())
      kind = SeqMsgTypeTypes::SYNCHRONOUS;
    if (kind == SeqMsgTypeTypes::SYNCHRONOUS && (stack.size() >= MAX_DEPTH || left - 1 < int(stack.size()) + 1))
      kind = stack.empty() ? SeqMsgTypeTypes::ASYNCHRONOUS : SeqMsgTypeTypes::REPLY;
    if (left <= int(stack.size()))
      kind = SeqMsgTypeTypes::REPLY;

    const int32_t sender = stack.empty() ? 0 : stack.back().callee;
    PlannedMessage m{sender, 0, kind, row, {}, -1};
    const std::string number = std::to_string(i + 1);
    if (kind == SeqMsgTypeTypes::SYNCHRONOUS) {
      // Now and then a busy life line calls itself: its box nests.
      m.to = !stack.empty() && rng() % 100 < SELF_CALLS ? sender : other_than(sender);
      m.box = static_cast<int>(plan.boxes.size());
      plan.boxes.push_back({m.to, row, row});
      stack.push_back({sender, m.to, m.box});
      m.text = std::string(CALLS[rng() % CALLS.size()]) + "(" + number + ")";
    } else if (kind == SeqMsgTypeTypes::ASYNCHRONOUS) {
      m.to = other_than(sender);
      m.text = "publish(event " + number + ")";
    } else {
      const Call call = stack.back();
      stack.pop_back();
      m.from = call.callee;
      m.to = call.caller;
      plan.boxes[call.box].bottom = row;
      m.text = "result " + number;
    }
    plan.messages.push_back(std::move(m));

    if (in_block == BLOCK_MESSAGES - 1) {
      block->alt_bottom = y++;
      block = nullptr;
    }
  }
  // The life lines go one row beyond the last message.
  plan.rows = y;
  return plan;
}

// The text the last add_text() stored at pos gets value, as typing would
// give it.
void type_text(SeqWorkspace& ws, const CellPos& pos, const std::string& value)
{
  const auto chain = ws.elm_at(pos);
  std::shared_ptr<SeqTextElement> text;
  for (auto e = chain; e; e = e->get_next())
    if (const auto t = std::dynamic_pointer_cast<SeqTextElement>(e); t && t->get_text().empty())
      text = t;
  if (!text) {
    g_warning("seq_generate_diagram: no text to type into at %s", pos.to_string().c_str());
    return;
  }
  text->set_text(value);
  ws.may_updated(text);
}

void add_text(SeqWorkspace& ws, const CellPos& pos, const std::string& value, SeqDiagramFigures& figures)
{
  if (!ws.add_text(pos)) {
    g_warning("seq_generate_diagram: no room for a text at %s", pos.to_string().c_str());
    return;
  }
  type_text(ws, pos, value);
  ++figures.texts;
}

void add_fragment(SeqWorkspace& ws, int32_t left, int32_t top, int32_t right, int32_t bottom,
                  const std::string& label, SeqDiagramFigures& figures)
{
  if (!ws.insert_frag(CellRange{{left, top}, {right, bottom}})) {
    g_warning("seq_generate_diagram: no room for \"%s\" at row %d", label.c_str(), top);
    return;
  }
  type_text(ws, {left, top}, label);
  ++figures.texts;
}

void add_message(SeqWorkspace& ws, const PlannedMessage& m, const Plan& plan, SeqDiagramFigures& figures)
{
  const int32_t x0 = Cols::life_line(m.from);
  const int32_t x1 = Cols::life_line(m.to);
  const CellPos pos{x0, m.row};
  // The range mode's range: as far as the receiver, as many rows down as
  // the kind's number.
  const CellRange reach{pos, {x1, m.row + static_cast<int32_t>(m.kind)}};
  // A self message loops out on the right, but on the last life line, whose
  // right-hand column belongs to the frames.
  int32_t right = x1 < x0 || (x1 == x0 && m.from == Cols::LIFE_LINES - 1) ? -1 : 1;
  if (!ws.insert_message(pos, right, &reach, ANY_ROLE)) {
    g_warning("seq_generate_diagram: no room for message \"%s\"", m.text.c_str());
    return;
  }
  ++figures.messages;
  figures.synchronous += m.kind == SeqMsgTypeTypes::SYNCHRONOUS;
  figures.asynchronous += m.kind == SeqMsgTypeTypes::ASYNCHRONOUS;
  figures.replies += m.kind == SeqMsgTypeTypes::REPLY;
  add_text(ws, {x0 + right, m.row}, m.text, figures);
  if (m.box < 0)
    return;
  const PlannedBox& box = plan.boxes[static_cast<size_t>(m.box)];
  const CellPos top{x1, box.top};
  const CellRange run{top, {x1, box.bottom}};
  const auto es = ws.insert_execspec(top, 1, &run, true);
  if (!es) {
    g_warning("seq_generate_diagram: no room for the box of \"%s\"", m.text.c_str());
    return;
  }
  ++figures.boxes;
  figures.deepest = std::max(figures.deepest, es->get_role());
}

} // namespace

SeqDiagramFigures seq_generate_diagram(SeqWorkspace& ws, int messages)
{
  const Plan plan = make_plan(std::max(messages, 1));
  SeqDiagramFigures figures;
  figures.rows = plan.rows;
  for (int32_t k = 0; k < Cols::LIFE_LINES; ++k) {
    const CellPos head{Cols::life_line(k), 0};
    const CellRange length{head, {head.x, plan.rows}};
    if (!ws.add_lifeline(head, &length)) {
      g_warning("seq_generate_diagram: no room for life line %d", k);
      continue;
    }
    type_text(ws, head, NAMES[static_cast<size_t>(k)]);
    ++figures.texts;
  }
  for (const PlannedBlock& b : plan.blocks) {
    add_fragment(ws, Cols::ALT_LEFT, b.alt_top, Cols::ALT_RIGHT, b.alt_bottom, "alt [in stock]", figures);
    add_fragment(ws, Cols::LOOP_LEFT, b.loop_top, Cols::LOOP_RIGHT, b.loop_bottom, "loop [each item]", figures);
    if (ws.insert_separator({Cols::ALT_LEFT, b.separator}))
      add_text(ws, {Cols::life_line(0) + 1, b.separator}, "[else]", figures);
    else
      g_warning("seq_generate_diagram: no room for the separator in row %d", b.separator);
    ++figures.alts;
  }
  for (const PlannedMessage& m : plan.messages)
    add_message(ws, m, plan, figures);
  ws.clear_in_process();
  return figures;
}

} // namespace velkaro

// Undo and redo by script: seeded random sequence operations, with rows and
// columns and blocks of cells opened and removed in between, each action in
// its own record.
// Undoing them all gives back the first document and redoing them all the
// last; after each action every element sits where its cell map says, no
// element names a parent that has left the document or does not list it
// among its children, and the document
// reads back from its written form unchanged; after each action, undo and
// redo the covering index, the positions and the grid equal a full
// recomputation from the cells. A failure names its seed and
// step so that it can be replayed.

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/serializing_reader.h"
#include "model/structures_for_test.h"
#include "model/serializing_writer.h"
#include "seq/doc/seq_for_test.h"

namespace velkaro::test {
namespace {

constexpr int32_t SPAN = 10;

class RandomSeqEditor {
public:
  RandomSeqEditor(unsigned seed, SeqWorkspace& ws) : m_rng(seed), m_ws(ws) {}

  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }

  // One random operation; what it was, for messages.
  std::string edit()
  {
    switch (pick(21)) {
    case 0:
    case 1: return add_lifeline();
    case 2: return set_stop();
    case 3: return mod_lifeline();
    case 4: return insert_execspec();
    case 5: return mod_es();
    case 6: return rm_es();
    case 7:
    case 8: return insert_message();
    case 9: return mod_msgline();
    case 10: return insert_frag();
    case 11: return mod_frag();
    case 12: return insert_separator();
    case 13: return add_text();
    case 14: return line(true);
    case 15: return line(false);
    case 16: return insert_separator();
    case 17: return insert_frag();
    case 18: return block(true);
    case 19: return block(false);
    default: return remove_some();
    }
  }

private:
  template <class T>
  std::vector<std::shared_ptr<T>> all() const
  {
    std::vector<std::shared_ptr<T>> found;
    m_ws.get_cells()->foreach([&found](int32_t, int32_t, const ElementPtr& head) {
      for (auto& e : head->extract<T>(ANY_ROLE))
        found.push_back(std::move(e));
      return true;
    });
    return found;
  }

  template <class T>
  std::shared_ptr<T> any() 
  {
    const auto found = all<T>();
    return found.empty() ? nullptr : found[pick(static_cast<int>(found.size()))];
  }

  CellPos any_pos() { return {pick(SPAN), pick(SPAN)}; }
  CellRange range_from(const CellPos& p) { return CellRange{p, {p.x + pick(7) - 3, p.y + pick(7) - 3}}; }
  CellPos anchor(const ElementPtr& e) const { return m_ws.anchor_of(e); }

  std::string add_lifeline()
  {
    const CellPos p{pick(SPAN), pick(3)};
    if (pick(2)) {
      const CellRange r = range_from(p);
      m_ws.add_lifeline(p, &r);
      return "add_lifeline with a range at " + p.to_string();
    }
    m_ws.add_lifeline(p);
    return "add_lifeline at " + p.to_string();
  }

  std::string set_stop()
  {
    if (const auto ll = any<SeqLifeLine>())
      m_ws.set_stop(ll, pick(2) == 0);
    return "set_stop";
  }

  std::string mod_lifeline()
  {
    const auto ll = any<SeqLifeLine>();
    if (!ll)
      return "mod_lifeline (none)";
    const auto last = std::dynamic_pointer_cast<SeqLifeLine>(ll->get_bottom());
    const CellPos p = anchor(last ? ElementPtr(last) : ElementPtr(ll));
    m_ws.mod_lifeline(p, range_from(p));
    return "mod_lifeline at " + p.to_string();
  }

  std::string insert_execspec()
  {
    const auto ll = any<SeqLifeLine>();
    if (!ll)
      return "insert_execspec (none)";
    const CellPos p = anchor(ll);
    const int32_t step = pick(2) ? 1 : -1;
    if (pick(2)) {
      const CellRange r = range_from(p);
      m_ws.insert_execspec(p, step, &r, true);
    } else {
      m_ws.insert_execspec(p, step, nullptr, true);
    }
    return "insert_execspec at " + p.to_string();
  }

  std::string mod_es()
  {
    const auto es = any<SeqExecSpec>();
    if (!es)
      return "mod_es (none)";
    const auto end = pick(2) ? es->get_top_es() : es->get_bottom_es();
    const CellPos p = anchor(end);
    m_ws.mod_es(end, CellRange{p, {p.x + pick(3) - 1, p.y + pick(7) - 3}});
    return "mod_es at " + p.to_string();
  }

  std::string rm_es()
  {
    if (const auto es = any<SeqExecSpec>())
      m_ws.rm_es(es);
    return "rm_es";
  }

  std::string insert_message()
  {
    const CellPos p = any_pos();
    int32_t right = pick(2) ? 1 : -1;
    const int32_t point = pick(3) ? ANY_ROLE : pick(5) - 2;
    if (pick(4)) {
      const CellRange r = range_from(p);
      m_ws.insert_message(p, right, &r, point);
    } else {
      m_ws.insert_message(p, right, nullptr, point);
    }
    return "insert_message at " + p.to_string();
  }

  std::string mod_msgline()
  {
    const auto msg = any<SeqMessage>();
    if (!msg)
      return "mod_msgline (none)";
    const ElementPtr tip = msg->get_tip();
    const CellPos p = anchor(tip);
    m_ws.mod_msgline(tip, range_from(p), pick(3) ? ANY_ROLE : pick(5) - 2);
    return "mod_msgline at " + p.to_string();
  }

  std::string insert_frag()
  {
    const CellPos p = any_pos();
    m_ws.insert_frag(CellRange{p, {p.x + pick(6), p.y + pick(6)}});
    return "insert_frag at " + p.to_string();
  }

  std::string mod_frag()
  {
    const auto fm = any<SeqFragment>();
    const auto corner = fm ? fm->get_bottom_right() : nullptr;
    if (!corner)
      return "mod_frag (none)";
    fm->set_in_process(true);
    const CellPos p = anchor(corner);
    m_ws.mod_frag(corner, range_from(p));
    m_ws.clear_in_process();
    return "mod_frag at " + p.to_string();
  }

  std::string insert_separator()
  {
    std::vector<std::shared_ptr<SeqFragLine>> left_edge;
    for (const auto& fl : all<SeqFragLine>())
      if (fl->get_dir() == 1 && fl->is_topleft)
        left_edge.push_back(fl);
    if (left_edge.empty())
      return "insert_separator (none)";
    const auto fl = left_edge[pick(static_cast<int>(left_edge.size()))];
    ElementPtr copy;
    if (const auto sp = any<SeqSeparator>(); sp && pick(2))
      copy = sp->copy_all(*m_ws.get_cells(), false);
    const CellPos p = anchor(fl);
    m_ws.insert_separator(p, copy);
    return "insert_separator at " + p.to_string();
  }

  std::string add_text()
  {
    const CellPos p = any_pos();
    m_ws.add_text(p);
    return "add_text at " + p.to_string();
  }

  std::string line(bool insert)
  {
    const CellDir dir = pick(2) ? CellDir::h : CellDir::v;
    const int32_t index = pick(SPAN);
    if (insert)
      m_ws.insert_line(dir, index);
    else
      m_ws.remove_line(dir, index);
    return std::string(insert ? "insert" : "remove") + " line " + cell_dir_to_string(dir) + " " +
           std::to_string(index);
  }

  // What the select-cell mode's "i", "a" and "dd" do. A refused block
  // changes nothing.
  std::string block(bool open)
  {
    const CellPos p = any_pos();
    CellRange r{p, {p.x + pick(3), p.y + pick(3)}};
    const CellDir axis = pick(2) ? CellDir::h : CellDir::v;
    const std::string before = document_of(m_ws);
    const bool done = open ? m_ws.insert_range(r, axis, pick(2) == 0) : m_ws.remove_range(r, axis);
    std::string what = std::string(open ? "open" : "remove") + " block " + r.to_string() + " " +
                       cell_dir_to_string(axis);
    if (!done) {
      EXPECT_EQ(document_of(m_ws), before) << what << " was refused";
      what += " (refused)";
    }
    return what;
  }

  // What the modes' deletions and cuts do.
  std::string remove_some()
  {
    std::vector<ElementPtr> stored;
    m_ws.get_cells()->foreach([&stored](int32_t, int32_t, const ElementPtr& head) {
      head->foreach([&stored](const ElementPtr& e) { stored.push_back(e); });
      return true;
    });
    if (stored.empty())
      return "remove (none)";
    const ElementPtr e = stored[pick(static_cast<int>(stored.size()))];
    if (pick(2))
      m_ws.cut(e, false);
    else
      m_ws.remove_all(e->get_is_cuttable() ? e : e->get_parent(), false);
    return std::string("remove a ") + e->get_type_name();
  }

  std::mt19937 m_rng;
  SeqWorkspace& m_ws;
};

void expect_consistent(SeqWorkspace& ws, const std::string& where)
{
  const auto cells = ws.get_cells();
  cells->foreach([&](int32_t x, int32_t y, const ElementPtr& head) {
    for (ElementPtr e = head; e; e = e->get_next()) {
      EXPECT_TRUE(e->stored) << where;
      EXPECT_EQ(e->pos, (CellPos{x, y})) << where;
      // Nothing names a parent that has left the document.
      if (const ElementPtr parent = e->get_parent()) {
        EXPECT_TRUE(parent->stored && ws.anchor_of(parent).get_is_valid())
            << where << ": a " << e->get_type_name() << " at " << CellPos{x, y}.to_string()
            << " names a " << parent->get_type_name() << " that is gone";
      }
    }
    return true;
  });
}

// What the workspace wrote (written, its document as it is now) reads back
// into a fresh workspace that writes it the same.
void expect_reads_back(const WrittenDocument& written, const std::string& where)
{
  ASSERT_TRUE(written.wrote) << where;
  ASSERT_TRUE(written.finished) << where << ": " << written.error;
  const auto fresh = test::new_ws();
  const auto reader = SerializingReader::create_memory_for_copy(written.text);
  ASSERT_TRUE(fresh->read(*reader)) << where << ": " << reader->get_error();
  ASSERT_EQ(document_of(*fresh), written.text) << where;
}

void run_script(unsigned seed, int steps)
{
  const auto ws = test::new_ws();
  RandomSeqEditor editor(seed, *ws);
  std::vector<std::string> docs{document_of(*ws)};
  std::vector<std::shared_ptr<ModelWorkspaceDiff>> records;
  for (int step = 0; step < steps; ++step) {
    std::string what;
    records.push_back(test::record_edit(*ws, [&] { what = editor.edit(); }));
    ws->clear_in_process();
    // Written once: the document kept for undo is the one read back.
    const WrittenDocument written = write_document(*ws);
    EXPECT_TRUE(written.finished) << written.error;
    docs.push_back(written.text);
    const std::string where = "seed " + std::to_string(seed) + ", step " + std::to_string(step) + " (" + what + ")";
    expect_consistent(*ws, where);
    test::expect_structures_and_links(*ws, where);
    expect_reads_back(written, where);
    if (::testing::Test::HasFailure())
      return;
  }
  for (int step = steps - 1; step >= 0; --step) {
    ws->patch(*records[step]->reverse());
    ASSERT_EQ(document_of(*ws), docs[step]) << "seed " << seed << ": undo of step " << step;
    test::expect_structures_and_links(*ws, "seed " + std::to_string(seed) + ", undo of step " + std::to_string(step));
    if (::testing::Test::HasFailure())
      return;
  }
  for (int step = 0; step < steps; ++step) {
    ws->patch(*records[step]);
    ASSERT_EQ(document_of(*ws), docs[step + 1]) << "seed " << seed << ": redo of step " << step;
    test::expect_structures_and_links(*ws, "seed " + std::to_string(seed) + ", redo of step " + std::to_string(step));
    if (::testing::Test::HasFailure())
      return;
  }
}

TEST(SeqWorkspaceUndoScript, RandomOperationsUndoBackToTheStart)
{
  for (unsigned seed = 1; seed <= 30; ++seed)
    run_script(seed, 120);
}

} // namespace
} // namespace velkaro::test

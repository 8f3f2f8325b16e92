// Undo and redo by script: random edits from fixed seeds, each action
// recorded in its own record; undoing all of them in reverse order must give
// back the first document, redoing all of them the last; after each action
// the document also reads back from its written form unchanged. After every
// edit, undo and redo, the covering index, the positions and the grid equal
// a full recomputation from the cells. A failure names its seed and step so
// that it can be replayed.

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/element_cells.h"
#include "model/serializing_reader.h"
#include "model/serializing_writer.h"
#include "model/structures_for_test.h"
#include "model/text_element.h"
#include "model/workspace_for_test.h"

namespace velkaro {
namespace {

using test::Box;
using test::document_of;
using test::TestWorkspace;
using ElementPtr = std::shared_ptr<ModelElement>;

class RandomEditor {
public:
  RandomEditor(unsigned seed, TestWorkspace& ws) : m_rng(seed), m_ws(ws) {}

  // One random edit. Line operations only when lines is set, block
  // operations and pastes only when blocks is.
  void edit(bool lines, bool blocks = false)
  {
    std::vector<int> kinds = {0, 1, 2, 3, 4, 5, 6, 7, 8};
    if (lines)
      kinds.insert(kinds.end(), {9, 10});
    if (blocks)
      kinds.insert(kinds.end(), {11, 12, 13, 14});
    switch (kinds[pick(static_cast<int>(kinds.size()))]) {
    case 0:
    case 1: store_new_box(); break;
    case 2: store_new_text(); break;
    case 3: if (auto e = any_stored()) m_ws.remove(e); break;
    case 4: if (auto e = any_stored()) m_ws.replace(e, new_box()); break;
    case 5: if (auto e = any_stored()) m_ws.cut(e, pick(4) == 0); break;
    case 6: resize(); break;
    case 7: if (auto e = any_stored()) m_ws.remove_all(e, pick(3) == 0); break;
    case 8: store_again(); break;
    case 9: m_ws.insert_line(pick(2) ? CellDir::h : CellDir::v, pick(10)); break;
    case 10: m_ws.remove_line(pick(2) ? CellDir::h : CellDir::v, pick(10)); break;
    case 11: m_ws.move_range(any_range(), any_dir(), pick(5) - 2); break;
    case 12: { CellRange r = any_range(); m_ws.insert_range(r, any_dir(), pick(2) == 0); break; }
    case 13: { CellRange r = any_range(); m_ws.remove_range(r, any_dir()); break; }
    default: paste(); break;
    }
  }

  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }

private:
  std::vector<ElementPtr> stored() const
  {
    std::vector<ElementPtr> all;
    m_ws.get_cells()->foreach([&all](int32_t, int32_t, const ElementPtr& head) {
      head->foreach([&all](const ElementPtr& e) { all.push_back(e); });
      return true;
    });
    return all;
  }

  ElementPtr any_stored()
  {
    const auto all = stored();
    return all.empty() ? nullptr : all[pick(static_cast<int>(all.size()))];
  }

  std::shared_ptr<Box> new_box()
  {
    auto b = Box::create("b" + std::to_string(m_count++), pick(3) - 1, pick(5) == 0);
    if (pick(3) == 0)
      b->set_parent(any_stored());
    if (pick(4) == 0) {
      b->dh = pick(3) - 1;
      b->dv = pick(3) - 1;
    }
    m_made.push_back(b);
    return b;
  }

  void store_at_random(const ElementPtr& e)
  {
    m_ws.move_hv(1 + pick(8), 1 + pick(8));
    m_ws.store(e);
  }

  void store_new_box() { store_at_random(new_box()); }

  void store_new_text()
  {
    auto t = ModelTextElement::create();
    t->set_text("t" + std::to_string(m_count++));
    if (pick(2) == 0)
      t->set_parent(any_stored());
    m_made.push_back(t);
    store_at_random(t);
  }

  void resize()
  {
    const auto e = any_stored();
    if (!e)
      return;
    const CellPos at = pick(2) ? m_ws.anchor_of(e) : CellPos{-1, -1};
    m_ws.resize_hv(e, pick(3), pick(3), at);
  }

  // Stores an element that an earlier edit removed.
  void store_again()
  {
    std::vector<ElementPtr> loose;
    for (const auto& e : m_made)
      if (!e->stored && e->get_is_single())
        loose.push_back(e);
    if (!loose.empty())
      store_at_random(loose[pick(static_cast<int>(loose.size()))]);
  }

  CellDir any_dir() { return pick(2) ? CellDir::h : CellDir::v; }
  CellRange any_range()
  {
    const int32_t x = pick(9), y = pick(9);
    return CellRange{{x, y}, {x + pick(4), y + pick(4)}};
  }

  // Pastes a copy kept from an earlier paste, or a new copy of a stored
  // element, consuming it or keeping a fresh copy for later.
  void paste()
  {
    if (!m_kept || pick(3) == 0) {
      const auto e = any_stored();
      if (!e)
        return;
      m_kept = e->copy_all(*m_ws.get_cells(), false);
    }
    m_ws.paste(m_kept, {1 + pick(8), 1 + pick(8)}, pick(2) == 0);
  }

  std::mt19937 m_rng;
  TestWorkspace& m_ws;
  ElementPtr m_kept;
  int m_count = 0;
  std::vector<ElementPtr> m_made;
};

// Every stored element knows its cell, its map and that it is stored, and
// no chain is a ring.
void expect_consistent(ModelWorkspace& ws, const std::string& where)
{
  const auto cells = ws.get_cells();
  cells->foreach([&](int32_t x, int32_t y, const ElementPtr& head) {
    int n = 0;
    for (ElementPtr e = head; e; e = e->get_next()) {
      EXPECT_TRUE(e->stored) << where;
      EXPECT_EQ(e->pos, (CellPos{x, y})) << where;
      EXPECT_EQ(e->get_cells(), cells) << where;
      EXPECT_LT(++n, 1000) << where << ": a ring";
      if (n >= 1000)
        break;
    }
    EXPECT_EQ(head->get_prev(), nullptr) << where;
    return true;
  });
}

// True when some stored element's parent has left the document (it lives on
// in an undo record): the written form cannot hold that link, and a text's
// role follows it.
bool has_orphans(ModelWorkspace& ws)
{
  bool found = false;
  ws.get_cells()->foreach([&found](int32_t, int32_t, const ElementPtr& head) {
    head->foreach([&found](const ElementPtr& e) {
      if (const auto parent = e->get_parent(); parent && !parent->stored)
        found = true;
    });
    return !found;
  });
  return found;
}

// What ws wrote (written, its document as it is now) reads back into a
// fresh workspace that writes it the same.
void expect_reads_back(ModelWorkspace& ws, const test::WrittenDocument& written, const std::string& where)
{
  if (has_orphans(ws))
    return;
  ASSERT_TRUE(written.wrote) << where;
  ASSERT_TRUE(written.finished) << where << ": " << written.error;
  const auto fresh = ModelWorkspace::create<TestWorkspace>();
  const auto reader = SerializingReader::create_memory_for_copy(written.text);
  ASSERT_TRUE(fresh->read(*reader)) << where << ": " << reader->get_error();
  ASSERT_EQ(document_of(*fresh), written.text) << where;
}

void run_script(unsigned seed, int steps, bool lines, int max_edits, bool blocks = false)
{
  const auto ws = ModelWorkspace::create<TestWorkspace>();
  ws->grow = true;
  RandomEditor editor(seed, *ws);
  std::vector<std::string> docs{document_of(*ws)};
  std::vector<std::shared_ptr<ModelWorkspaceDiff>> records;
  const std::string name = "seed " + std::to_string(seed);
  for (int step = 0; step < steps; ++step) {
    const auto d = ws->new_diff();
    ws->set_diff(d);
    for (int n = 1 + editor.pick(max_edits); n > 0; --n) {
      editor.edit(lines, blocks);
      test::expect_structures(*ws, name + ", step " + std::to_string(step) + ", edit " + std::to_string(n));
    }
    ws->set_diff(nullptr);
    records.push_back(d);
    // Written once: the document kept for undo is the one read back.
    const test::WrittenDocument written = test::write_document(*ws);
    EXPECT_TRUE(written.finished) << written.error;
    docs.push_back(written.text);
    expect_consistent(*ws, name + ", step " + std::to_string(step));
    expect_reads_back(*ws, written, name + ", step " + std::to_string(step));
  }
  for (int step = steps - 1; step >= 0; --step) {
    ws->patch(*records[step]->reverse());
    ASSERT_EQ(document_of(*ws), docs[step]) << name << ": undo of step " << step;
    test::expect_structures(*ws, name + ", undo of step " + std::to_string(step));
  }
  expect_consistent(*ws, name + ", after undo");
  for (int step = 0; step < steps; ++step) {
    ws->patch(*records[step]);
    ASSERT_EQ(document_of(*ws), docs[step + 1]) << name << ": redo of step " << step;
    test::expect_structures(*ws, name + ", redo of step " + std::to_string(step));
  }
  expect_consistent(*ws, name + ", after redo");
}

TEST(ModelWorkspaceUndoScript, OneEditPerActionWithLines)
{
  for (unsigned seed = 1; seed <= 12; ++seed)
    run_script(seed, 300, true, 1);
}

// Several edits per action: elements stored and removed again, moved from
// chain to chain, resized twice, within one record.
TEST(ModelWorkspaceUndoScript, SeveralEditsPerAction)
{
  for (unsigned seed = 101; seed <= 112; ++seed)
    run_script(seed, 200, false, 5);
}

// Block moves, insertions and removals and pastes among the other edits.
// (A record holds one inserted and one removed line: several edits per
// action go without line operations.)
TEST(ModelWorkspaceUndoScript, BlocksAndPastes)
{
  for (unsigned seed = 201; seed <= 212; ++seed)
    run_script(seed, 200, true, 1, true);
  for (unsigned seed = 301; seed <= 312; ++seed)
    run_script(seed, 150, false, 4, true);
}

} // namespace
} // namespace velkaro

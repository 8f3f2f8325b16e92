#include "view/random_scripts_for_test.h"

#include <iterator>

#include <gtest/gtest.h>

#include "view/bars_for_test.h"

namespace velkaro::test {

RandomScript::RandomScript(int seed, EditorKit& kit, const RandomAlphabet& alphabet)
  : m_seed(seed), m_kit(kit), m_alphabet(alphabet), m_random(static_cast<std::mt19937::result_type>(seed))
{
}

void RandomScript::event()
{
  const std::string& keys = m_alphabet.keys[draw(m_alphabet.keys.size())];
  if (keys == "MOUSE") {
    m_text += pointer_event();
  } else if (keys == "TYPE") {
    const std::string& typed = m_alphabet.typed[draw(m_alphabet.typed.size())];
    m_text += "[type " + typed + "]";
    m_kit.keys(typed);
  } else {
    m_text += keys;
    m_kit.keys(keys);
  }
}

void RandomScript::pause_now_and_then()
{
  if (m_random() % 6 == 0)
    run_main_loop_for(8);
}

std::string RandomScript::where() const { return "seed " + std::to_string(m_seed) + ": " + m_text; }

namespace {

// The events on one cell a script sends, with the word its text gives each.
struct CellEvent {
  const char* word;
  void (EditorKit::*send)(const CellPos& cell);
};
constexpr CellEvent CELL_EVENTS[] = {
  {"press", &EditorKit::press},
  {"release", &EditorKit::release},
  {"double", &EditorKit::double_press},
  {"drag", &EditorKit::drag_to},
  {"right", &EditorKit::right_press},
};

} // namespace

// One pointer event on a cell near the document (or, with presses
// anywhere, at a point anywhere around it); what it was.
std::string RandomScript::pointer_event()
{
  const CellPos cell{static_cast<int32_t>(m_random() % static_cast<uint32_t>(m_alphabet.columns)),
                     static_cast<int32_t>(m_random() % static_cast<uint32_t>(m_alphabet.rows))};
  const size_t kind = m_random() % (std::size(CELL_EVENTS) + (m_alphabet.presses_anywhere ? 2 : 1));
  if (kind < std::size(CELL_EVENTS)) {
    (m_kit.*CELL_EVENTS[kind].send)(cell);
    return std::string("[") + CELL_EVENTS[kind].word + " " + cell.to_string() + "]";
  }
  if (m_alphabet.presses_anywhere && kind == std::size(CELL_EVENTS)) {
    const double x = static_cast<double>(m_random() % 600) - 100.0;
    const double y = static_cast<double>(m_random() % 600) - 100.0;
    m_kit.button(GDK_BUTTON_PRESS, GDK_BUTTON_PRIMARY, x, y);
    return "[press at " + std::to_string(int(x)) + "," + std::to_string(int(y)) + "]";
  }
  m_kit.press(cell);
  m_kit.drag_to({cell.x + 2, cell.y + 2});
  m_kit.release({cell.x + 2, cell.y + 2});
  return "[drag from " + cell.to_string() + "]";
}

void expect_history_round_trip(EditorKit& kit, const std::string& start, const DocumentCheck& check,
                               const std::function<void()>& at_start)
{
  kit.context().change_to_cell_mode();
  run_main_loop_for(8);
  const std::string end = kit.doc();
  const size_t steps = kit.undo_steps();
  for (size_t i = steps; i > 0; --i) {
    kit.undo(1);
    check("undo, " + std::to_string(i) + " steps left");
  }
  EXPECT_EQ(kit.doc(), start);
  if (at_start)
    at_start();
  for (size_t i = 1; i <= steps; ++i) {
    kit.redo(1);
    check("redo of step " + std::to_string(i));
  }
  EXPECT_EQ(kit.doc(), end);
}

} // namespace velkaro::test

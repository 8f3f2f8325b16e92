#pragma once
// Seeded random scripts over a diagram kind's editor kit, for the tests that
// drive a kind's modes with random input: the events a script draws from
// the kind's alphabet, and the check that the history the script left
// undoes back to the start and redoes to its end. Each kind keeps its own
// alphabet, its own document and its own checks.

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "view/editor_kit_for_test.h"

namespace velkaro::test {

// What a kind's scripts draw from.
struct RandomAlphabet {
  // Key patterns, each as likely as its copies make it. "MOUSE" stands for
  // a pointer event; "TYPE" for one of typed, which an insert mode types
  // and any other mode takes as keys.
  std::vector<std::string> keys;
  std::vector<std::string> typed;
  // Pointer events land on the cells (0..columns-1, 0..rows-1).
  int32_t columns = 10;
  int32_t rows = 10;
  // Some pointer events are presses at points anywhere around the
  // document, off the cells too.
  bool presses_anywhere = false;
};

// One seeded script on kit. Its text names every event so far, for the
// trace of a failure.
class RandomScript {
public:
  RandomScript(int seed, EditorKit& kit, const RandomAlphabet& alphabet);

  // Sends one event drawn from the alphabet.
  void event();
  // One event in six (drawn), lets the main loop run a while, as long
  // presses and timers fire between a user's events.
  void pause_now_and_then();
  // An index below n, drawn.
  size_t draw(size_t n) { return m_random() % n; }
  // Adds what an event the caller sent was to the text.
  void note(const std::string& what) { m_text += what; }
  // "seed <seed>: <the events so far>".
  std::string where() const;

private:
  std::string pointer_event();

  int m_seed;
  EditorKit& m_kit;
  const RandomAlphabet& m_alphabet;
  std::mt19937 m_random;
  std::string m_text;
};

// Checks the document after a step; where names the step.
using DocumentCheck = std::function<void(const std::string& where)>;

// Back in the cell mode after a script, undoes every step the history holds
// one at a time, checking the document after each, and expects the
// document start; at_start then checks more. Redoes them all, checking after
// each, and expects the document as the script left it.
void expect_history_round_trip(EditorKit& kit, const std::string& start, const DocumentCheck& check,
                               const std::function<void()>& at_start = {});

} // namespace velkaro::test

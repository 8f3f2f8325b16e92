#pragma once
// ModelElementCells: the elements of a document at their anchor cells. The
// value at a cell is the head of the chain anchored there (the chain's other
// elements hang on it). The map also gives the opposite view, which elements
// cover each cell (get_expanded()), writes and reads itself as the
// "element_cells" layer of a document, makes elements from their XML names
// (bear(), which each diagram kind overrides) and copies a whole map.
//
// Always made through create() (elements keep a weak link to their map).
// Reading adds to what the map holds. A document is untrusted: a "cell"
// outside the grid, an element reaching outside it and an integer that does
// not fit in 32 bits stop the read with an error in the reader that names
// the line, and so do elements covering more than MAX_READ_COVER cells in
// all (get_expanded() holds an entry per covered cell, so a few elements as
// large as the grid would exhaust it; lookups go through the covering index
// below, which holds an entry per covered line); broken parent references
// are dropped with a warning.
//
// Cost. An edit changes only what it touches: nothing here walks the whole
// document after a keystroke. The covering index (below) holds one entry
// per covered line, not per covered cell, so a huge element costs little,
// and stack_at() (what covers a cell; the workspace's exp_at() uses it),
// covering() (what covers a line, in the order the expanded cells visit
// it), covered_from() (the line checks) and find() (where an element
// stands, for get_pos() and for parent references when writing) answer
// from it in time of one line. get_expanded() still builds the per-cell
// covering map from scratch for whoever asks for all of it; nothing in the
// model does, and the drawers ask expanded_for() for the cells they show.
//
// Dry runs (CtrlContext::do_test) work on scratch cells that mirror the
// document (mirror(), below), so a trial costs what it touches. Children
// are copied only when asked for because a sequence life head names every
// cell of its life line as a child: copying families whole made every
// trial on a sequence diagram copy nearly all of it. A copy takes the copy
// of its source's own parent (the mirror keeps which copy is whose), never
// what now stands where the reference points, which the trial may have
// changed. clear_in_process() on a mirror clears the copies there are and
// every copy made later, without copying the rest.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "model/cells.h"
#include "model/element.h"
#include "model/expanded_cells.h"
#include "model/iserializable.h"

namespace velkaro {

class ModelElementCells : public ModelCells<ModelElement>,
                          public ISerializable,
                          public std::enable_shared_from_this<ModelElementCells> {
public:
  using ElementPtr = std::shared_ptr<ModelElement>;

  static std::shared_ptr<ModelElementCells> create() { return std::make_shared<ModelElementCells>(); }

  // Every change drops the expanded cells. A change the map was not told
  // about in detail (a call from outside, a chain changed behind its back)
  // also drops the covering index, which is built again on demand.
  void updated() override;
  // Empties the map and drops the expanded cells and the covering index;
  // a mirrored source is forgotten.
  void clear() override;
  // Stores the chain head and brings the covering index up to date for
  // that cell (the whole chain there is looked at again).
  void set(int32_t x, int32_t y, ElementPtr value) override;
  ElementPtr remove(int32_t x, int32_t y) override;
  // The line operations keep the covering index up to date too.
  void insert_row(int32_t index, int32_t count, const CellFunc& moved) override;
  void insert_col(int32_t index, int32_t count, const CellFunc& moved) override;
  void remove_row(int32_t index, int32_t count, const CellFunc& removed,
                  const CellFunc& moved) override;
  void remove_col(int32_t index, int32_t count, const CellFunc& removed,
                  const CellFunc& moved) override;
  // The anchor cell of target's chain: target's own pos when the chain there
  // holds it, else the cell whose head is the first element of its chain;
  // (-1, -1) when the map does not hold it.
  CellPos get_pos(const ElementPtr& target) const override;

  // The covering map built from scratch: anchor cells in visiting order,
  // each chain from its head; an element is added at every cell it covers,
  // columns outer, rows inner, in the directions of its extension.
  std::shared_ptr<ModelExpandedCells> expand() const;
  // The cached covering map, built on demand; stays valid (and unchanged)
  // for as long as the caller holds it, also after a change of this map.
  std::shared_ptr<ModelExpandedCells> get_expanded();
  // A new covering map of the cells of range only: there, the same stacks
  // as get_expanded(), made from the covering index in time of what the
  // range holds (the rows it spans and the elements covering them).
  std::shared_ptr<ModelExpandedCells> expand_part(const CellRange& range) const;
  // A covering map holding at least the cells of range: the cached one of
  // get_expanded() when it is built or when range spans most of the rows
  // used (an export), else expand_part(range) (a page on screen).
  std::shared_ptr<ModelExpandedCells> expanded_for(const CellRange& range);

  // "element_cells" with one "cell" (attributes "h", "v") per anchor cell,
  // each holding its chain from the head. True.
  // The most cells the elements of one read may cover in all.
  static constexpr int64_t MAX_READ_COVER = int64_t{1} << 22;

  bool write(SerializingWriter& writer) override;
  // A new element for the XML name. Base: a ModelTextElement for any name.
  virtual ElementPtr bear(const std::string& name);
  // Reads the "element_cells" at or after the reader's node into this map,
  // then resolves the parent references of every element of the map. A
  // reader without "element_cells" reads nothing. False when the reader
  // failed; what was read before the failure stays in the map.
  bool read(SerializingReader& reader) override;

  // Brings the pos of every element up to date.
  void update_pos();
  // Brings the pos of the elements that line operations moved since the
  // last update_pos() or update_moved_pos() up to date: the same result as
  // update_pos() when nothing else made a pos stale, without walking the
  // whole map.
  void update_moved_pos();

  // --- The covering index: for every column and row, the elements that
  // cover a cell of it, and for every element of a chain its anchor cell
  // and its number in the chain. Built on first use from the chains and
  // then kept exact by every change made through the map (set, remove and
  // the line operations), so that a lookup costs what one line holds, not
  // what the document holds. A change made behind the map's back (a chain
  // linked or unlinked without set() or remove() of its cell) must be
  // followed by set() of that cell or by updated(). An element kind that
  // changes the extension (dh, dv) of a stored element in place calls
  // respan() for it.

  // The elements covering (x, y) in the order of the expanded cells
  // (anchor cells rows first, then chain order); null when none covers it.
  // A new stack each time, equal to get_expanded()->get(x, y).
  std::shared_ptr<ModelExpStack> stack_at(int32_t x, int32_t y) const;
  // One element covering a line with the first cell of the line where a
  // walk along it meets the element.
  struct Met {
    ElementPtr elm;
    int32_t x;
    int32_t y;
  };
  // The elements covering column (h) or row (v) index, each once, in the
  // order of ModelExpandedCells::foreach_col() / foreach_row().
  std::vector<Met> covering(CellDir dir, int32_t index) const;
  // Whether some element anchored at or after line first of the axis
  // covers line index of that axis.
  bool covered_from(CellDir dir, int32_t index, int32_t first) const;
  // Where elm stands: its anchor cell and its number in the chain there;
  // nothing when no chain of this map holds it.
  std::optional<ModelElementElmPos> find(const ModelElement& elm) const;
  // Takes a new extension of the stored elm into the covering index.
  void respan(const ModelElement& elm);
  // Element number index of the chain at (h, v), or null.
  ElementPtr element_at(const ModelElementElmPos& at) const;
  // The size column (h) or row (v) index needs: the largest of
  // (width of get_rect() + 10) / columns covered (heights for a row) over
  // the elements covering it, 0 when none does. With fresh every rectangle
  // is asked for; otherwise the needs measured since each element was last
  // indexed or laid out (forget_need()) are taken as they were. Without
  // fresh it costs a logarithm of the line and the measuring of what waits
  // there, whatever the line holds: each line keeps its largest need as its
  // elements come, go and are measured.
  double line_need(CellDir dir, int32_t index, bool fresh) const;
  // elm was laid out: its rectangle is asked for again next time. Costs a
  // logarithm of each line elm covers.
  void forget_need(const ModelElement& elm) const;

  // --- Scratch cells that mirror another map: after mirror(source), this
  // map behaves as a copy of source made by copy(), but each chain is
  // copied only when something first looks at its cell, with the chains
  // holding the parents of its elements (and theirs), so that parent links
  // are those of a whole copy. The children of a copy are copied the first
  // time its list of children is asked for (or changes), and the list is
  // then put in the order a whole copy gives it (the order of the map).
  // Whole-map walks copy everything. clear() ends the mirror. source must
  // not change while it is mirrored.
  void mirror(const std::shared_ptr<ModelElementCells>& source);
  // Clears the in-process flag of every element. A mirror clears the flags
  // of the copies made so far and of every copy it makes from now on, as
  // if the whole map had been copied and cleared, without copying it.
  void clear_in_process();
  // Replaces this map's contents with copies of from's elements, made
  // through the in-memory XML form. False when reading the copy failed.
  bool copy(ModelElementCells& from);

private:
  friend class ModelElement;
  // Reads the chain of the "cell" element the reader stands on into (h, v);
  // covered counts the cells its elements cover, and the read fails when it
  // passes MAX_READ_COVER.
  void read_each_elms(SerializingReader& reader, int32_t h, int32_t v, int64_t& covered);
  // reconnect_in_cells() for every element of every chain, in visiting and
  // chain order, with the parent references resolved against the complete
  // map; of each ring of parents the references close, the one of the
  // element met last is dropped.
  void reconnect_all();
  // Drops, from each ring of parents that the resolved references (choices,
  // one per element of elms) and the other elements' parent links would
  // make, the reference of the last element of the ring in elms.
  static void break_rings(const std::vector<ElementPtr>& elms,
                          std::vector<std::optional<ModelElement::ParentChoice>>& choices);

  // What the covering index holds for one element of a chain.
  struct Placed {
    ModelElement* elm;
    CellPos anchor;
    int32_t index;
    int32_t dh;
    int32_t dv;
    // The width and height its lines need for it, as last measured; valid
    // while measured, which each indexing and forget_need() clear.
    double need_w = 0.0;
    double need_h = 0.0;
    bool measured = false;
    // Set anew each time it becomes unmeasured: what its lines' waiting
    // lists must name for an entry to stand.
    uint64_t stamp = 0;
  };
  // One column or row of the index. Its elements in the order of the
  // expanded cells, and its running need: how many of its measured
  // elements need each size (so the largest is the last key, whatever comes
  // and goes, in time of a logarithm), and the elements not measured since
  // they came or were forgotten, to be measured when the line's need is
  // next asked for. An entry of waiting stands only while its element's
  // stamp is the one it holds and the element is still unmeasured, so an
  // element forgotten twice or measured through another line is measured
  // once, and an element gone leaves nothing behind that counts.
  struct Waiting {
    const ModelElement* elm;
    uint64_t stamp;
  };
  struct Line {
    std::vector<Placed*> elms;
    std::map<double, int32_t> needs;
    std::vector<Waiting> waiting;
  };
  using Lines = std::map<int32_t, Line>;
  // Anchor rows, anchor columns, then numbers in the chain: the order of
  // the expanded cells.
  static bool before(const Placed* a, const Placed* b);

  void touch(int64_t x0, int64_t y0, int64_t x1, int64_t y1) const override;
  void ensure_index() const;
  void drop_index() const;
  void index_elm(ModelElement& elm, const CellPos& anchor, int32_t index) const;
  void unindex(const ModelElement& elm) const;
  void add_to_lines(Placed* p) const;
  void remove_from_lines(Placed* p) const;
  // The chain at (x, y) changed: the index takes it as it now stands.
  void reindex_cell(int32_t x, int32_t y) const;
  // Elements of the index covering any line lo..hi of the axis.
  std::vector<Placed*> covering_lines(CellDir dir, int64_t lo, int64_t hi) const;
  // The line operations: shift (count > 0 opens lines at index; count < 0
  // closes lines index + count .. index - 1 before the shift) with the
  // index kept, around the base operation run by op.
  void line_op(CellDir dir, int32_t index, int32_t count, const std::function<void()>& op);
  // Moves the anchors of the chains anchored from line from on by delta
  // (their lines already moved in the map), recording them as moved.
  void shift_anchors(CellDir dir, int64_t from, int32_t delta);
  // Moves the index's lines from first_moved on by delta and drops those
  // from index up to first_moved.
  void shift_lines(CellDir dir, int32_t index, int64_t first_moved, int32_t delta) const;
  // Fills the cells from the mirrored source as touch() asks.
  void fill_from_source(int64_t x0, int64_t y0, int64_t x1, int64_t y1) const;
  // Fills the chains of the source that cover (x, y), or a line.
  void fill_covering(int32_t x, int32_t y) const;
  void fill_line(CellDir dir, int32_t index) const;
  // The index's elements covering line index of dir (a column for h, a row
  // otherwise), that line filled from the source first; null when none does.
  Line* indexed_line(CellDir dir, int32_t index) const;
  // The running needs (element_cells_needs.cpp). p's current needs join or
  // leave those of every line it covers; measure() asks p's rectangle and
  // keeps the lines in step; settle() measures what waits in a line.
  void enter_needs(const Placed& p) const;
  // p joins one line: its need counted when measured, else waiting there.
  void join_needs(Line& line, const Placed& p, double need) const;
  void leave_needs(const Placed& p) const;
  void measure(Placed& p) const;
  void settle(Line& line) const;
  // Whether w still names an unmeasured element as placed now.
  bool stands(const Waiting& w) const;
  // p joins the lines' waiting lists, unmeasured, under a new stamp.
  void await(Placed& p) const;
  // Calls each(line, need) for every line of the index p covers, with p's
  // need along the line's axis.
  template <typename Each>
  void each_line_of(const Placed& p, Each each) const;
  // Copies the source chains at cells, with every chain holding a parent
  // of an element copied, and links the copies as a whole copy would.
  void fill_families(const std::vector<CellPos>& cells) const;
  // Copies the chains holding the children of the source of copy (an
  // element this map copied), then orders copy's children as the map does.
  void fill_children(const ModelElement& copy) const;
  // The parent a copy takes: the copy of its source's parent.
  ModelElement::ParentChoice parent_of_copy(const ModelElement& copy) const;
  // A fill is in progress: the copies it links join their parents' lists
  // as they come.
  bool get_is_filling() const { return m_filling > 0; }

  // Changes told in detail are in progress: updated() keeps the index.
  mutable int m_known = 0;
  mutable bool m_indexed = false;
  mutable std::unordered_map<const ModelElement*, Placed> m_placed;
  mutable uint64_t m_stamps = 0;
  mutable Lines m_cols;
  mutable Lines m_rows_cover;
  // Elements moved by line operations whose pos is not yet brought up to
  // date; m_moved_all when a change without details may have moved any.
  std::vector<ElementPtr> m_moved;
  bool m_moved_all = false;
  // The mirrored source and the anchor cells already copied from it.
  mutable std::shared_ptr<ModelElementCells> m_source;
  mutable std::unordered_set<int64_t> m_filled;
  // The source element of each copy a fill made, and the copy of each.
  mutable std::unordered_map<const ModelElement*, std::weak_ptr<const ModelElement>> m_origin;
  mutable std::unordered_map<const ModelElement*, std::weak_ptr<ModelElement>> m_copy_of;
  mutable int m_filling = 0;
  // clear_in_process() ran on the mirror: copies start out of process.
  bool m_settled = false;
  // While the parent references of a read are resolved: every chain of the
  // map as a vector, by cell, so that a reference into a long chain does
  // not walk it.
  std::unordered_map<int64_t, std::vector<ElementPtr>> m_chains;

  std::shared_ptr<ModelExpandedCells> m_expanded;
};

} // namespace velkaro

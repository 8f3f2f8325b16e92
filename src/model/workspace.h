#pragma once
// ModelWorkspace: the document. The elements of one diagram stored at their
// anchor cells, a second set of scratch cells for trial edits, the grid's
// line sizes, a working position (the cursor), the document's file path, a
// modified flag and, while a controller action runs, the open difference
// record into which every change is written for undo.
//
// Creation is two-step: create<T>() constructs the workspace (or a diagram
// kind's subclass T) and then calls the virtual init(), which a kind
// overrides to install its own grid and cells. (A constructor cannot do it:
// virtual calls made there do not reach the subclass.) Constructors take a
// Key that only create() can make, so no workspace exists uninitialised.
//
// Recording. Only four operations write into the open record: store(), the
// removal of a stored element (remove(), replace(), remove_all(), cut() and
// resize() go through it), and the bare line operations insert_line_() and
// remove_line_(). Everything else records by calling them. (They also write
// into the records that the block operations keep to take themselves back.)
//
// Notification. signal_updated() is the document's change signal. The
// workspace connects its own handler first, at construction, so modified is
// already set when any other observer runs. The bare line operations,
// add_text(), paste() and patch() emit it through signal_update(), the
// block operations once when they changed the document; store, remove,
// replace, cut and resize do not.
//
// Steps. The controller runs every change of the document as a step of its
// undo history (an action executed, undone or redone) between begin_step()
// and end_step(). While a step is open, signal_update() only notes the
// change; when the outermost step closes having changed the document (its
// record is not empty, or signal_update() ran), modified is set and
// signal_updated() is emitted once. So whoever makes a change in a step, it
// marks the document modified and observers are told once per step.
//
// Temp mode (is_tmp): get_cells() gives the scratch cells tmp_cells, so every
// lookup and edit works on them; nothing is recorded, signal_updated() is not
// emitted, and no line of the grid changes size or moves. The workspace never
// clears tmp_cells by itself.
//
// Grid bounds. Nothing is stored outside the cells 0..CellPos::MAX, and a
// line operation that would move an element out of that range is refused.
//
// Files. save() writes the whole document to a temporary file beside the
// target (ModelFileReplacement: unnamed while it is written, where the file
// system allows), flushes it to disk and only then renames it over the
// target, so that a failure at any step leaves the old file as it was, and
// clears what saves of the same file left when they were killed. load() reads into
// a new empty document of the same kind (read_new()) and takes its parts only
// when the whole file was read; otherwise the document is untouched. Both
// report why they failed through get_last_error().
// read_new() and take_document() are the two halves of load(), which the
// controller calls apart (CtrlContext::new_context()) to read before it
// changes anything; take_document() is virtual for a kind holding state of
// its own besides the cells and the grid (the class workspace takes its
// router, connectors and terminals too).
//
// Block operations (move_range(), insert_range(), remove_range()) place
// every element they take or change nothing. Each runs inside
// all_or_nothing(): when an element finds no room at its new place, what
// the operation did is patched back without recording, the open record
// holds again what it held, the step's note of a change is reset, the
// cursor is put back and the operation returns false. So a refused block
// leaves no trace (the select-cell mode then records no step and keeps its
// selection); one that succeeds announces itself once.
//
// Line sizes. After every operation outside temp mode the grid is what
// laying it out afresh from the document would give: every line some
// element covers has the size its covering elements need, every other line
// the minimum. Store and removal mark the lines of the whole chain at the
// cell (a kind may size an element by its chain mates: a life line by the
// boxes on it) and of the element that came or went; a line insertion or
// removal marks the lines of the elements stretching across it, before and
// after. Marked lines are laid out once, through the virtual
// update_layout(), when the outermost operation ends (LayoutBatch) or
// before signal_updated() is emitted, so observers always see a laid-out
// grid and a row removal of a hundred elements lays each line out once.
// There update_layout() takes each element's need as the covering index
// kept it since the element's last layout, and lays out a line's elements
// only when the line's size changed, besides the elements that came or
// stretch across a changed line. After a text edit (may_updated()) it
// measures the chain at the cell again and lays out that chain, and
// everything on a line whose size changed: the other elements' boxes stay
// as they were, so typing walks no line whose size stays. Called from
// outside otherwise, it measures every rectangle on both lines again and
// lays out everything there.
// - A store lays the element out only after its on_insert() ran, so a kind
//   may set there what its box depends on (a sequence text takes its
//   alignments from its parent).
// - An element sized by elements of other cells is the kind's to name: its
//   chain_changed(), called at every store and removal, calls relayout()
//   for it (SeqWorkspace names the life line of the cell above, whose box
//   ends or goes on, and the life line a message starts from).
// - An element whose rectangle changes while it is stored (a text edited)
//   must have its lines laid out (may_updated()), as the text modes and
//   text undo and redo do; one whose extension (dh, dv) changes in place
//   must also be re-spanned in the covering index
//   (ModelElementCells::respan()). resize() goes through a copy and needs
//   neither.
// - update_layout_all(), which a read runs, sizes only lines where chains
//   are anchored.
//
// Positions. An element's pos is its anchor cell. Line operations note the
// elements they move, and update_moved_pos() brings exactly those up to
// date after a line change and after a patch, without walking the document.
//
// Undo replays in place: patch() opens a recorded inserted line first and
// closes a recorded removed line last, so element changes are replayed in
// the coordinates they were recorded in (fill hooks may take elements from
// beyond a new line, and undo still puts them back where they were).
//
// Ownership: the workspace owns its grid, both cell maps and the open
// record. Elements link back to it without ownership.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include <sigc++/signal.h>

#include "common/cell_pos.h"
#include "common/directions.h"
#include "model/iserializable.h"

namespace velkaro {

struct CellRange;
struct CellRangeIndex;
class ModelElement;
class ModelElementCells;
class ModelExpStack;
class ModelGrid;
class ModelWorkspaceDiff;

class ModelWorkspace : public ISerializable, public std::enable_shared_from_this<ModelWorkspace> {
protected:
  // The constructors' pass: only create() makes one.
  class Key {
    friend class ModelWorkspace;
    Key() = default;
  };

public:
  using ElementPtr = std::shared_ptr<ModelElement>;

  // A new T (ModelWorkspace or a kind's subclass, constructed from a Key and
  // args), initialised by init(): an empty document, modified false, file
  // path empty, cursor (-1, -1).
  template <class T = ModelWorkspace, class... Args>
  static std::shared_ptr<T> create(Args&&... args)
  {
    // A document is read into a new empty one of its kind first
    // (read_new()), made as this one is.
    std::function<std::shared_ptr<ModelWorkspace>()> make_empty = [... kept = std::decay_t<Args>(args)] {
      return std::shared_ptr<ModelWorkspace>(create<T>(kept...));
    };
    auto ws = std::make_shared<T>(Key{}, std::forward<Args>(args)...);
    ws->m_make_empty = std::move(make_empty);
    ws->init();
    return ws;
  }

  explicit ModelWorkspace(Key key);
  ~ModelWorkspace() override;
  ModelWorkspace(const ModelWorkspace&) = delete;
  ModelWorkspace& operator=(const ModelWorkspace&) = delete;

  // --- Public fields.

  // The pixel edges of columns and rows; set by init().
  std::shared_ptr<ModelGrid> grid;
  // The scratch cells used in temp mode; set by init().
  std::shared_ptr<ModelElementCells> tmp_cells;
  bool is_tmp = false;
  // The document changed since it was created, loaded or saved.
  bool modified = false;
  // The working position of the operations below; most of them move it and
  // leave it where their work ended. Not the controller's cursor cell.
  CellPos cursor{-1, -1};

  // Temp mode for as long as it lives; then is_tmp is as it was before. A
  // view draws what a trial edit left in the scratch cells inside one.
  class TempMode {
  public:
    explicit TempMode(ModelWorkspace& ws) : m_ws(ws), m_was_tmp(ws.is_tmp) { m_ws.is_tmp = true; }
    ~TempMode() { m_ws.is_tmp = m_was_tmp; }
    TempMode(const TempMode&) = delete;
    TempMode& operator=(const TempMode&) = delete;

  private:
    ModelWorkspace& m_ws;
    bool m_was_tmp;
  };
  // Temp mode until the result goes.
  [[nodiscard]] TempMode scoped_temp_mode() { return TempMode(*this); }

  // --- Signals.

  // The document changed; redraw or recompute what depends on it.
  sigc::signal<void()>& signal_updated() { return m_signal_updated; }
  // Emitted with "cells", "diff" or "file-path" after the setter ran.
  sigc::signal<void(const char*)>& signal_notify() { return m_signal_notify; }
  // Emits signal_updated() unless in temp mode; while a step is open, only
  // notes that the step changed the document.
  void signal_update();

  // Opens a step (steps nest).
  void begin_step();
  // Closes the step opened last; changed tells that it left a non-empty
  // record. When the outermost step closes and it or a step inside it
  // changed the document or called signal_update(), signal_updated() is
  // emitted once (which sets modified). Nothing is noted or emitted in
  // temp mode.
  void end_step(bool changed);

  // --- Virtual operations with the base behaviour.

  // A new empty record. Base: a ModelWorkspaceDiff.
  virtual std::shared_ptr<ModelWorkspaceDiff> new_diff();
  // Called whenever elm was stored in or removed from the chain at pos
  // (also in temp mode), after the cells changed and before the lines are
  // laid out. The chain's own elements are measured again anyway; a kind
  // that sizes an element by elements of other cells calls relayout() for
  // it here. Base: nothing.
  virtual void chain_changed(const CellPos& pos, const ModelElement& elm);
  // A new element for free text. Base: a ModelTextElement.
  virtual ElementPtr make_text();
  // Whether a range cut takes elm. Base: elm is a ModelTextElement or
  // derives from it, whatever slide and axis.
  virtual bool range_cut_target(const ModelElement& elm, bool slide, CellDir axis);
  // Called by line insertion with the cursor on an empty cell above (left
  // of, right of) elm, so that a kind can let elm grow into it. Base: nothing.
  virtual void fill_upper(const ElementPtr& elm);
  virtual void fill_right(const ElementPtr& elm);
  virtual void fill_left(const ElementPtr& elm);
  // Opens line index (h: a column, v: a row) with the bare insertion, then
  // calls the fill hooks: fill_upper() for each element covering row
  // index + 1, the cursor at (its column, index); for a column, fill_left()
  // for each element covering column index + 1 and then fill_right() for
  // each covering column index - 1, the cursor at (index, its row). Each
  // element is met once, at the first cell of the line where it is met.
  // False, with nothing changed, when the insertion is refused.
  virtual bool insert_line(CellDir dir, int32_t index);
  // The elements that go when the row of the chain headed by head is
  // removed. Base: the whole chain from head on.
  virtual std::vector<ElementPtr> remove_row_elms(const ElementPtr& head);
  // Removes what stands on a line, then the line itself (bare removal).
  // Rows: remove_row_elms() of each chain anchored in the row; columns:
  // every element anchored in the column. All are collected first; then
  // each one that may not be cut alone and has role 0 (rows) or 1 (columns)
  // is cut with its parent's family, every other one is removed with its
  // descendants. False, with nothing changed, when the removal is refused.
  virtual bool remove_line(CellDir dir, int32_t index);
  // Sizes column pos.x and row pos.y from the elements covering them (the
  // rectangles of their last layout), then lays out every element covering
  // the column and every one covering the row (an element covering both
  // twice); while laying out what an operation or a text edit changed, only
  // the elements whose boxes may have changed (see "Line sizes" above).
  // Nothing in temp mode.
  virtual void update_layout(const CellPos& pos);
  // Applies a record: its inserted line (bare insertion), every element
  // recorded as removed that is still stored, every element recorded as
  // added (cursor on its cell; an element recorded as removed goes back to
  // its former place in its chain, an added one to the chain's end), its
  // removed line (full removal); then positions are brought up to date and
  // signal_update() runs. Undo is patch(*d.reverse()), redo patch(d).
  virtual void patch(const ModelWorkspaceDiff& diff);
  // "workspace" holding the "element_cells" of get_cells(). True; the
  // writer keeps its own failures.
  bool write(SerializingWriter& writer) override;
  // Reads the "element_cells" of the first "workspace" element into
  // get_cells(), then update_layout_all(). An empty input (a file that does
  // not exist) reads as an empty document. False when the reader failed or
  // the document holds no "workspace" element (the reader then carries the
  // message).
  bool read(SerializingReader& reader) override;
  // Resets to an empty document: a new grid, new document cells and
  // scratch cells, no open record, empty file path, modified false. The
  // cursor and is_tmp keep their values; signal_updated() is not emitted
  // (the setters notify "cells" and "diff"). A kind's
  // override runs this first, then installs its own grid and cells.
  virtual void init();
  // The scratch cells in temp mode, else the document cells.
  virtual std::shared_ptr<ModelElementCells> get_cells() const;
  // Takes cells as the document cells (also in temp mode); notifies "cells".
  virtual void set_cells(const std::shared_ptr<ModelElementCells>& cells);

  // --- Open record.

  // The open record; null when none is open or in temp mode.
  std::shared_ptr<ModelWorkspaceDiff> get_diff() const;
  // Opens diff as the record (null closes it); notifies "diff".
  void set_diff(const std::shared_ptr<ModelWorkspaceDiff>& diff);

  // --- File path.

  // "" for a document never saved or loaded.
  const std::string& get_file_path() const { return m_file_path; }
  // Stores "" for "", otherwise the path made absolute; notifies "file-path".
  void set_file_path(const std::string& path);

  // --- Cursor (no bounds checks, nothing emitted).

  void move_to(const CellPos& pos) { cursor = pos; }
  void move_hv(int32_t h, int32_t v) { cursor = {h, v}; }
  void move_h(int32_t dh) { cursor.x += dh; }
  void move_v(int32_t dv) { cursor.y += dv; }

  // --- Lookups in get_cells().

  // The chain head anchored at pos, or null.
  ElementPtr elm_at(const CellPos& pos) const;
  // The elements covering pos, or null.
  std::shared_ptr<ModelExpStack> exp_at(const CellPos& pos) const;
  // The same at the cursor.
  ElementPtr get_c_elm() const { return elm_at(cursor); }
  std::shared_ptr<ModelExpStack> get_c_exp() const { return exp_at(cursor); }
  // The class name of the chain head at the cursor; "" when there is none.
  std::string get_c_etype() const;
  // The anchor cell of elm in get_cells(); (-1, -1) when it is not stored.
  CellPos anchor_of(const ElementPtr& elm) const;

  // --- Edits of single elements. None emits signal_updated().

  // Stores elm at the cursor: the head of a new chain in an empty cell, else
  // appended to the chain there. Refused (critical message, false, nothing
  // changed) when elm is in a chain already, heads a stored chain, or would
  // cover a cell outside the grid.
  bool store(const ElementPtr& elm);
  // Puts newe where olde was: newe takes olde's role, olde is removed, and
  // newe is appended to what remains of the chain at olde's anchor cell.
  // Refused like store(), before anything changes, also when olde is not
  // stored.
  void replace(const ElementPtr& olde, const ElementPtr& newe);
  // Removes elm from its anchor cell and returns that cell; (-1, -1), with
  // nothing changed, when elm is not stored.
  CellPos remove(const ElementPtr& elm);
  // Removes elm's stored descendants and, unless keep, elm itself. The
  // result is elm's former (keep: current) anchor cell; nothing for a null
  // elm.
  std::optional<CellPos> remove_all(const ElementPtr& elm, bool keep);
  // Removes elm for a cut. When elm may not be cut alone and force is off,
  // its parent goes with all its stored descendants instead (nothing
  // happens to an element without a parent; the result is then nothing).
  // Otherwise elm's lower neighbours are cut first, the lowest first, then
  // elm goes with its descendants; the result is elm's former anchor cell.
  std::optional<CellPos> cut(const ElementPtr& elm, bool force);
  // resize_hv() with the extensions from p to the far corner of range, p
  // being newpos when valid, else elm's anchor cell.
  ElementPtr resize(const ElementPtr& elm, const CellRange& range, const CellPos& newpos);
  // Gives elm the extension (dh, dv) by storing a deep copy of it that has
  // it. newpos, when valid, must be elm's anchor cell; callers that keep the
  // anchor pass (-1, -1). When the copy fits there, elm is removed with its
  // stored descendants; the copy takes elm's parent, may pick another one
  // and is stored, and copies of the descendants, each naming the copy of
  // its own parent, are stored where they stood (each appended to its
  // chain): the result is the copy. Otherwise elm goes back to the end of
  // its chain and is the result. A negative extension changes nothing.
  ElementPtr resize_hv(const ElementPtr& elm, int32_t dh, int32_t dv, const CellPos& newpos);
  // Clears the in-process flag of every stored element (the field itself,
  // not through the element's setter).
  void clear_in_process();

  // range.end[d] - pos[d] when not 0, else range.start[d] - pos[d]; the
  // corners taken as stored.
  static int32_t deltahv(CellDir d, const CellPos& pos, const CellRange& range);
  static int32_t deltah(const CellPos& pos, const CellRange& range)
  {
    return deltahv(CellDir::h, pos, range);
  }
  static int32_t deltav(const CellPos& pos, const CellRange& range)
  {
    return deltahv(CellDir::v, pos, range);
  }

  // --- Placement and free text.

  // Whether elm (with the copies it carries) may be stored at the cursor.
  // The cursor is the same afterwards.
  bool could_store(const ElementPtr& elm);
  // The elements in the way of elm (and the copies it carries) at the
  // cursor; one may occur more than once. The cursor is the same afterwards.
  std::vector<ElementPtr> obstacles(const ElementPtr& elm);
  // True as soon as one of elms, tried in order, could be stored at the
  // cursor.
  bool could_store_ary(const std::vector<ElementPtr>& elms);
  // Places a new make_text() element at pos when it may go there: it picks
  // its parent, is stored, and signal_update() runs; true. False otherwise,
  // with only the cursor moved to pos.
  bool add_text(const CellPos& pos);

  // --- Lines.

  // The bare line changes: the cells and the grid (not in temp mode) open
  // or close line index, the line is recorded, and signal_update() runs.
  // A removal first removes each element still anchored on the line,
  // recording it. Refused (false, nothing changed) for an index outside
  // 0..CellPos::MAX and when an element would be moved out of the grid.
  bool insert_line_(CellDir dir, int32_t index);
  bool remove_line_(CellDir dir, int32_t index);
  bool insert_col(int32_t index) { return insert_line(CellDir::h, index); }
  bool insert_row(int32_t index) { return insert_line(CellDir::v, index); }
  bool remove_col(int32_t index) { return remove_line(CellDir::h, index); }
  bool remove_row(int32_t index) { return remove_line(CellDir::v, index); }

  // --- Layout.

  // Sizes every column and every row in which a chain is anchored from the
  // elements covering it, then lays out every stored element at its anchor
  // cell. Also in temp mode. Lines covered only by elements anchored
  // elsewhere keep their size.
  void update_layout_all();
  // update_layout() at elm's anchor cell, after elm's rectangle changed
  // while stored (a text edited): what changed is taken to be the chain
  // there, whose elements may size themselves by elm.
  void may_updated(const ElementPtr& elm);
  // elm's box may have changed with elements elsewhere (a kind sizes it by
  // them): its lines are sized from what it needs now and it is laid out
  // again when the outermost operation ends (at once outside one). Nothing
  // for an element not stored and in temp mode.
  void relayout(const ElementPtr& elm);

  // --- Copy and paste. Copies are what ModelElement::copy_all() makes: each
  // carries its origpos and, in its subs, copies of its children.

  // Stores copy with its subs, each at its origpos + delta, each first
  // picking its parent from the chain there. Nothing is emitted. False when
  // a store was refused (the others are still stored).
  bool store_copy(const ElementPtr& copy, const CellPos& delta);
  // Pastes copy with its subs so that copy lands on target. Whatever stands
  // in the way is cut first (a part that may not go alone takes its
  // parent's family). With consume the copy itself goes into the document
  // and copy becomes null. Without it, the document gets a copy of it and
  // copy is replaced by a fresh copy whose origpos is target, so that it
  // can be pasted again; the scratch cells are used on the way and left
  // empty (in temp mode, where the scratch cells hold the document being
  // tried, the copy itself goes in and copy becomes a copy of it). Then
  // signal_update(); true.
  // A copy is never stored on what stands in its way: the paste is refused
  // (false, copy kept, nothing emitted) when the copy would reach outside
  // the grid, when something in the way may not be cut (a part without a
  // parent; nothing is cut then), or when cutting did not make room (the
  // cuts stay, written into the open record like every other change).
  bool paste(ElementPtr& copy, const CellPos& target, bool consume);
  // Pastes every copy of elms at (its origpos - yank_pos) + to, in order;
  // then yank_pos := to and elms := what each paste left in its variable
  // (null for a consumed one, the copy itself for a refused one). False
  // when a paste was refused.
  bool paste_elms(std::vector<ElementPtr>& elms, CellPos& yank_pos, const CellPos& to,
                  bool consume);

  // --- Blocks. The axis names the lines concerned: with h the block's
  // columns, whose cells move along y (down and up); with v its rows, whose
  // cells move along x.

  // Normalises range in place and gives the block from it (include) or
  // from just after it to the last used row (h) or column (v) of the
  // anchor cells, across the range's columns (h) or rows (v). Null when
  // nothing is used that far.
  std::shared_ptr<CellRange> make_end_range(CellRange& range, CellDir axis, bool include);
  // Takes the range-cut targets anchored in range (taken as it stands),
  // each element of each chain in cell-map order: an element that is a
  // descendant of one already taken is left out, and one already taken
  // that descends from the new one is dropped. Returns deep copies of what
  // was taken (with slide, a copy without a parent takes the original's
  // parent), made before anything is removed; with remove, the elements
  // taken then go with their descendants. yank_pos becomes the
  // component-wise minimum of itself and the anchor cells taken.
  std::vector<ElementPtr> range_cut(CellPos& yank_pos, const CellRange& range, bool remove,
                                    bool slide, CellDir axis);
  //
  // The three operations below are all or nothing: each either places
  // every element it takes or changes nothing. A refused one returns false
  // and leaves the document, the open record and the positions, lines and
  // layout as they were, and announces nothing, so the caller records no
  // step. One that succeeds announces its change once (signal_update()).

  // Moves the range-cut targets of range n cells along the axis (negative
  // n: up or left) by cutting them and pasting them back, shifted, with
  // whatever blocks them cut. Refused when a moved element cannot be
  // pasted at its new place.
  bool move_range(const CellRange& range, CellDir axis, int32_t n);
  // Normalises range and opens empty cells of its size at it (insert) or
  // just after it, moving the rest of the used cells along the axis, then
  // calls the fill hooks once per empty cell for the elements bordering the
  // new cells: fill_upper() for those just below (h); fill_left() for those
  // just right and fill_right() for those just left (v); nearest cell first.
  // True, with nothing done, when nothing is used at or after the new cells;
  // refused when a moved element cannot be pasted at its new place.
  bool insert_range(CellRange& range, CellDir axis, bool insert);
  // Normalises range, cuts its range-cut targets and moves what lies after
  // it back by its size. Refused when a moved element cannot be pasted at
  // its new place (the cut is then undone too).
  bool remove_range(CellRange& range, CellDir axis);

  // --- Files.

  // Writes the document to path (nothing: the current file path). On
  // success the file path becomes path (absolute), modified is cleared and
  // the result is true. On failure (no path, an unwritable directory or
  // file, a failed write, flush or rename) the result is false, the target
  // file, the file path and modified are as they were, no temporary file is
  // left behind, and get_last_error() tells why.
  bool save(const std::optional<std::string>& path = std::nullopt);
  // Replaces the document with the one in the file at path: read_new(),
  // then take_document(). A path where no file exists gives an empty
  // document bearing that path. On success the file path becomes path
  // (absolute), modified is false, signal_updated() is not emitted (the
  // cells and the file path are notified) and the result is true. A file
  // that cannot be read or parsed, that the reader refuses, or that holds no
  // "workspace", fails: the result is false, the document (its elements,
  // grid, record, file path and modified) is untouched, and
  // get_last_error() tells why. An empty path fails the same way.
  bool load(const std::string& path);
  // Reads the file at path into a new empty document of this one's kind
  // (made as create<T>() made this one) and returns it; this document is
  // not touched. Null when the file is refused (see load()); then
  // get_last_error() of this document tells why, else it is cleared.
  std::shared_ptr<ModelWorkspace> read_new(const std::string& path);
  // A new empty document of this one's kind.
  std::shared_ptr<ModelWorkspace> create_empty() const;
  // Takes doc's document as its own: its grid, cells, scratch cells and
  // file path (notified "cells" and "file-path"); no open record, modified
  // false. doc is left an empty document. The cursor and is_tmp stay. A
  // kind whose read() fills state of its own besides the cells and the grid
  // takes it over in its override, after this one.
  virtual void take_document(ModelWorkspace& doc);
  // Why the latest save() or load() failed; "" after one succeeded.
  const std::string& get_last_error() const { return m_last_error; }

protected:
  // Moves the reader to the first "workspace" element, at or after its
  // current node; true there. False without an error for an input without
  // any node (a file that does not exist). False with the reader failed for
  // a broken document and for one without a workspace, whose message names
  // its root element instead.
  static bool skip_to_workspace(SerializingReader& reader);
  // Moves the complete temporary file over target (a rename in one
  // directory) and flushes the directory. False with error set when the
  // rename failed; the temporary file is then removed by the caller.
  // Tests override it to interrupt a save.
  virtual bool replace_file(const std::string& temp, const std::string& target,
                            std::string& error);

private:
  // elm is linked in the chain anchored at pos of cells.
  bool holds(const CellPos& pos, const ModelElement& elm) const;
  // Why store() refuses elm at the cursor, or nullptr.
  const char* refuse_store(const ModelElement& elm) const;
  // store() with elm linked in before element number index of the chain
  // (index -1: appended).
  bool store_at(const ElementPtr& elm, int32_t index);
  // Puts head into cell pos (null empties it) and lays out the columns and
  // rows that the chain covers and those that changed, the element just
  // stored or removed there, covers.
  void set_elm(const CellPos& pos, const ElementPtr& head, const ModelElement& changed);
  // Removes elm from the chain at pos, recording it; nothing unless elm is
  // stored there.
  void remove_on(const CellPos& pos, const ElementPtr& elm);
  void remove_all_in(const ElementPtr& elm, std::vector<const ModelElement*>& busy);
  // Whether moving every line from index + 1 (delta -1) or from index
  // (delta 1) on by delta keeps every element inside the grid; when not, a
  // debug message says the line is not opened (removed).
  bool line_shift_fits(CellDir dir, int32_t index, int32_t delta) const;
  // Calls hook for every element covering line index of the axis, with the
  // cursor moved to the cell at which it is met, then set across to at.
  using FillHook = void (ModelWorkspace::*)(const ElementPtr&);
  void fill_line(CellDir dir, int32_t index, int32_t at, FillHook hook);
  // For insert_range(): calls hook n times for each element covering line
  // index of the axis within the interval across it, the cursor stepped by
  // step along the line's axis from the cell where it is met.
  void fill_block(CellDir dir, int32_t index, const CellRangeIndex& across, int32_t n,
                  int32_t step, FillHook hook);
  // move_range() without the guard of all_or_nothing(): false when an
  // element found no room (the others may have moved).
  bool move_block(const CellRange& range, CellDir axis, int32_t n);
  // Runs op as one change that either happens whole or not at all: when op
  // returns false, everything it stored, removed or moved is put back as
  // it was (the reverse of what it recorded), the open record and the
  // records of enclosing calls hold again what they held before, and the
  // step's note of a change is as before op ran. op runs as a step of its
  // own, so a change is announced once, after it. The result is op's.
  bool all_or_nothing(const std::function<bool()>& op);
  // Writes a store, a removal or a bare line change into the open record
  // and into the records of the all_or_nothing() calls in progress.
  void record_add(const CellPos& pos, const ElementPtr& elm);
  void record_rm(const CellPos& pos, const ElementPtr& elm);
  void record_line(bool inserted, CellDir dir, int32_t index);
  // Cuts what stands in the way of copy at target; false when room cannot
  // be made. Nothing is cut when an obstacle may not be cut.
  bool make_room(const ElementPtr& copy, const CellPos& target);
  // The non-consuming paste: a copy of copy goes into the document at its
  // origpos + delta; copy becomes a fresh copy whose origpos is the target.
  void paste_keeping(ElementPtr& copy, const CellPos& delta);
  bool fail_file(std::string message);
  bool write_file(const std::string& target, std::string& error);

  // Layout waits for the end of the outermost operation in progress, so
  // that an operation storing or removing many elements lays each line
  // out once: LayoutBatch marks such an operation; the lines whose
  // coverings changed are laid out when the last batch ends.
  class LayoutBatch {
  public:
    explicit LayoutBatch(ModelWorkspace& ws) : m_ws(ws) { ++m_ws.m_batches; }
    ~LayoutBatch()
    {
      if (--m_ws.m_batches == 0)
        m_ws.flush_layout();
    }
    LayoutBatch(const LayoutBatch&) = delete;
    LayoutBatch& operator=(const LayoutBatch&) = delete;

  private:
    ModelWorkspace& m_ws;
  };
  friend class LayoutBatch;
  // Marks the columns and rows elm covers from anchor for layout.
  void mark_lines(const ModelElement& elm, const CellPos& anchor);
  // Lays out the marked lines: update_layout() at pairs of a marked column
  // and a marked row (-1 standing for none), each line once.
  void flush_layout();
  // Moves the marked lines of an axis with a line opened (delta 1) or
  // closed (delta -1) at index.
  void shift_marks(CellDir dir, int32_t index, int32_t delta);
  // The elements that may stretch across a line change at index of the
  // axis, with their anchors and the lines they cover along it.
  struct Across {
    ElementPtr elm;
    int64_t lo;
    int64_t hi;
  };
  std::vector<Across> elements_across(CellDir dir, int32_t index, bool removing) const;
  // After a line change: marks the lines the elements across cover now and
  // those they covered before, moved with the change.
  void mark_across(CellDir dir, int32_t index, int32_t delta, const std::vector<Across>& across);

  // Elements whose boxes may have changed, by address.
  using FreshElements = std::unordered_map<const ModelElement*, std::weak_ptr<const ModelElement>>;
  // Lays out what covers the line dir index: everything when all, else only
  // the elements of fresh that cover it.
  void lay_out_line(CellDir dir, int32_t index, bool all, const FreshElements& fresh);

  int m_batches = 0;
  std::set<int32_t> m_marked_cols;
  std::set<int32_t> m_marked_rows;
  // While the marked lines are laid out: update_layout() takes the needs
  // measured before and lays out a line's elements only when its size
  // changed, besides the elements in m_fresh, which came, moved across a
  // line change or changed since the last layout.
  bool m_flushing = false;
  // While may_updated() runs: update_layout() takes the chain at its cell
  // as all that changed.
  bool m_chain_edited = false;
  FreshElements m_fresh;

  std::shared_ptr<ModelElementCells> m_cells;
  std::shared_ptr<ModelWorkspaceDiff> m_diff;
  // The records of the all_or_nothing() calls in progress, outermost first.
  std::vector<std::shared_ptr<ModelWorkspaceDiff>> m_trials;
  std::string m_file_path;
  std::string m_last_error;
  // Set by create(): a new empty document of this kind.
  std::function<std::shared_ptr<ModelWorkspace>()> m_make_empty;
  sigc::signal<void()> m_signal_updated;
  sigc::signal<void(const char*)> m_signal_notify;
  int m_step_depth = 0;
  bool m_step_changed = false;
};

} // namespace velkaro

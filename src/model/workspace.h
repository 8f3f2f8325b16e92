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
// remove_line_(). Everything else records by calling them.
//
// Notification. signal_updated() is the document's change signal. The
// workspace connects its own handler first, at construction, so modified is
// already set when any other observer runs. The bare line operations,
// add_text() and patch() emit it; store, remove, replace, cut and resize do
// not: their callers emit it through signal_update() when done.
//
// Temp mode (is_tmp): get_cells() gives the scratch cells tmp_cells, so every
// lookup and edit works on them; nothing is recorded, signal_updated() is not
// emitted, and no line of the grid changes size or moves. The workspace never
// clears tmp_cells by itself.
//
// Grid bounds. Nothing is stored outside the cells 0..CellPos::MAX, and a
// line operation that would move an element out of that range is refused.
//
// Ownership: the workspace owns its grid, both cell maps and the open
// record. Elements link back to it without ownership.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <sigc++/signal.h>

#include "common/cell_pos.h"
#include "common/directions.h"
#include "model/iserializable.h"

namespace velkaro {

struct CellRange;
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
    auto ws = std::make_shared<T>(Key{}, std::forward<Args>(args)...);
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

  // --- Signals.

  // The document changed; redraw or recompute what depends on it.
  sigc::signal<void()>& signal_updated() { return m_signal_updated; }
  // Emitted with "cells", "diff" or "file-path" after the setter ran.
  sigc::signal<void(const char*)>& signal_notify() { return m_signal_notify; }
  // Emits signal_updated() unless in temp mode.
  void signal_update();

  // --- Virtual operations with the base behaviour.

  // A new empty record. Base: a ModelWorkspaceDiff.
  virtual std::shared_ptr<ModelWorkspaceDiff> new_diff();
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
  // Lays out the lines of cell pos after a change. Base: nothing.
  virtual void update_layout(const CellPos& pos);
  // Applies a record: its removed line (full removal), its inserted line
  // (bare insertion), every element recorded as removed that is still
  // stored, every element recorded as added (cursor on its cell; an element
  // recorded as removed goes back to its former place in its chain, an
  // added one to the chain's end); then positions are brought up to date
  // and signal_update() runs. Undo is patch(*d.reverse()), redo patch(d).
  virtual void patch(const ModelWorkspaceDiff& diff);
  // "workspace" holding the "element_cells" of get_cells(). True.
  bool write(SerializingWriter& writer) override;
  // Base: reads nothing and reports failure.
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
  // anchor pass (-1, -1). When the copy fits there, elm is removed and the
  // copy, after picking its parent, is stored: the result is the copy.
  // Otherwise elm goes back to the end of its chain and is the result. A
  // negative extension changes nothing.
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

private:
  // elm is linked in the chain anchored at pos of cells.
  bool holds(const CellPos& pos, const ModelElement& elm) const;
  // Why store() refuses elm at the cursor, or nullptr.
  const char* refuse_store(const ModelElement& elm) const;
  // store() with elm linked in before element number index of the chain
  // (index -1: appended).
  bool store_at(const ElementPtr& elm, int32_t index);
  // Puts head into cell pos (null empties it) and lays out the columns and
  // rows the chain covers, along a diagonal.
  void set_elm(const CellPos& pos, const ElementPtr& head);
  // Removes elm from the chain at pos, recording it; nothing unless elm is
  // stored there.
  void remove_on(const CellPos& pos, const ElementPtr& elm);
  void remove_all_in(const ElementPtr& elm, std::vector<const ModelElement*>& busy);
  // Whether moving every line from index + 1 (delta -1) or from index
  // (delta 1) on by delta keeps every element inside the grid.
  bool line_shift_fits(CellDir dir, int32_t index, int32_t delta) const;
  // Calls hook for every element covering line index of the axis, with the
  // cursor moved to the cell at which it is met, then set across to at.
  using FillHook = void (ModelWorkspace::*)(const ElementPtr&);
  void fill_line(CellDir dir, int32_t index, int32_t at, FillHook hook);

  std::shared_ptr<ModelElementCells> m_cells;
  std::shared_ptr<ModelWorkspaceDiff> m_diff;
  std::string m_file_path;
  sigc::signal<void()> m_signal_updated;
  sigc::signal<void(const char*)> m_signal_notify;
};

} // namespace velkaro

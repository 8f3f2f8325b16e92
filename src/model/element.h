#pragma once
// ModelElement: the abstract base of every diagram element.
//
// Chains. The elements anchored at one cell form a chain: the cell map holds
// the head, each element owns the next one (std::shared_ptr) and knows the
// previous one through an observer pointer that is cleared when that element
// dies. Dropping the head releases the whole chain.
//
// Ownership follows containment only: the cell map owns the chain heads,
// each element its next, a copy the copies it carries (subs); undo records,
// the copy buffer and the modes hold what they keep.
//
// Parent and children are relations, not owners, in both directions: an
// element names its parent through a std::weak_ptr and the parent lists its
// children the same way, in the order they joined. (A child often follows
// its parent in the same chain, and a carried copy names the copy that
// carries it: a counted parent link would make both a cycle that is never
// freed.) A child whose parent nobody holds any more reports no parent.
// A child joins the list when it is inserted into a cell map and leaves it
// when it is removed; a removed element still names its parent, so
// inserting it again puts it back at the end of the list. A listed child
// names the element as its parent, except in a duplicate (dup()), which
// lists the same children as its source.
//
// Cost of the children lists: a list holds each child once. An element
// remembers the parent whose list it joined last and has not left
// (m_listed_by), so a new element joins without a search; the list is
// searched only for an element that joined some list before, or for a list
// that dup() copied, and dead entries are dropped when the list has doubled
// since they last were. So a life head of thousands of cells takes each new
// cell in constant time, and loading or mirroring a long life line is
// linear in its length. Deep copies and the release of long chains and of
// long lines of ancestors run in loops, never by recursion.
//
// The cell map (cells) and the workspace (ws) are weak links too, so an
// element never keeps its document alive.
//
// Elements are always owned by std::shared_ptr (each kind has a create()
// factory); operations that hand out the element itself use
// shared_from_this().
//
// Every concrete kind overrides get_type_name() with its class name (the
// element order compares these names byte by byte) and new_instance() with
// a fresh element of its own class (the base dup() builds on it).

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <typeinfo>
#include <unordered_map>
#include <vector>

#include <sigc++/signal.h>

#include "common/any.h"
#include "common/cell_pos.h"
#include "common/rectangle.h"
#include "model/iserializable.h"

namespace velkaro {

struct CellRange;
class ModelElementCells;
class ModelWorkspace;
class SerializingReader;
class SerializingWriter;

// Element number index of the chain anchored at cell (h, v); the form of a
// parent reference in documents.
struct ModelElementElmPos {
  int32_t h = 0;
  int32_t v = 0;
  int32_t index = 0;

  bool operator==(const ModelElementElmPos&) const = default;
};

class ModelElement : public ISerializable, public std::enable_shared_from_this<ModelElement> {
public:
  using ElementPtr = std::shared_ptr<ModelElement>;
  using ElementFunc = std::function<void(const ElementPtr& elm)>;

  ~ModelElement() override;
  ModelElement(const ModelElement&) = delete;
  ModelElement& operator=(const ModelElement&) = delete;

  // The class name compared at run time ("ModelTextElement", "SeqMessage").
  virtual const char* get_type_name() const = 0;
  // A new element of the same class with every field at its initial value.
  virtual ElementPtr new_instance() const = 0;

  // --- Plain fields, read and written directly by the workspace and modes.

  // The element has the keyboard focus of its diagram kind.
  bool focus = false;
  // The cursor treats every cell the element covers as one unit. Only the
  // text element's constructors set it.
  bool mono = false;
  // Extension in cells: the element covers columns pos.x .. pos.x + dh and
  // rows pos.y .. pos.y + dv; negative values extend left / up.
  int32_t dh = 0;
  int32_t dv = 0;
  // The anchor cell of the element's chain, once known.
  CellPos pos{-1, -1};
  // In a cell map: set by inserted() and read_in_cells(), cleared by remove().
  bool stored = false;
  // Where the latest placement test put the element.
  CellPos wpos{0, 0};
  // Being placed, resized or offered by a selection; see get_is_in_process().
  bool in_process = true;
  // The XML element name that the default vwrite() writes.
  std::string tag = "unknown";
  // The element's own anchor cell as read from a copy ("h", "v"): the origin
  // against which a paste shifts the copy and its carried children.
  CellPos origpos{0, 0};
  // Copies of the children, carried by a copy that copy_all() made.
  std::vector<ElementPtr> subs;

  // --- Links without ownership.

  std::shared_ptr<ModelElementCells> get_cells() const { return m_cells.lock(); }
  void set_cells(ModelElementCells& cells);
  // The parent link itself; kinds read it through get_parent().
  void set_parent(const ElementPtr& parent) { relink_parent(parent); }
  std::shared_ptr<ModelWorkspace> get_ws() const { return m_ws.lock(); }
  void set_ws(const std::shared_ptr<ModelWorkspace>& ws) { m_ws = ws; }

  ElementPtr get_next() const { return m_next; }
  // Null for the head.
  ElementPtr get_prev() const;

  // The live children, in the order they joined.
  std::vector<ElementPtr> get_children() const;

  // Emitted with "role" or "is-top" when set_role() or set_is_top() runs.
  sigc::signal<void(const char*)>& signal_notify() { return m_signal_notify; }

  // --- Virtual operations. Kinds override what they need.

  // Chooses the parent before the workspace stores the element at its
  // cursor; head is the chain stored there, or null. Base: nothing.
  virtual void pick_parent(ModelWorkspace& ws, const ElementPtr& head);
  // Adds to obstacles the elements in the way at cell pos. Base: none.
  virtual void each_pos_obstacles(std::vector<ElementPtr>& obstacles, const CellPos& pos);
  // The elements in the way at wpos: each_pos_obstacles() for every cell the
  // element would cover, row by row in the direction of the extension,
  // columns inside rows. The walk moves the cursor of the element's
  // workspace from cell to cell (so that a kind may look around it there)
  // and leaves it at (wpos.x, wpos.y + get_mheight() * get_extvdir());
  // whoever tests through the workspace gets it back. An element without a
  // workspace walks a cursor of its own.
  virtual std::vector<ElementPtr> obstacles();
  // True when obstacles() is empty.
  virtual bool can_store();
  virtual void set_in_process(bool b) { in_process = b; }
  // Places the element's content in box (pixels, relative to the top-left
  // corner of the element's anchor cell). Base: nothing.
  virtual void layout(const Rectangle& box);
  // The content of the default vwrite(). Base: nothing.
  virtual void write_in_top();
  // Writes the whole XML element. Base: write_base(tag, write_in_top).
  virtual void vwrite();
  // Keeps the writer for the write and calls vwrite(); true.
  bool write(SerializingWriter& writer) override;
  // Called for each start element inside the element's XML element, with
  // the reader standing on it. Base: ignores it.
  virtual void read_val(const std::string& name);
  // Reads the kind's own attributes and text. Base: nothing.
  virtual void read_in_top();
  // Keeps the reader for the read and reads the common attributes, then
  // read_in_top() and read_val() for the content. False when the reader
  // failed.
  bool read(SerializingReader& reader) override;
  // Runs after the parent reference was resolved. Base: nothing.
  virtual void reconnect();
  virtual void on_remove();
  virtual void on_insert();
  // A shallow duplicate: a new_instance() sharing the cells, parent,
  // position, stored flag, role, focus and children (a list of its own of
  // the same elements) of this element; extension 0, mono false, no chain
  // links, in process.
  virtual ElementPtr dup() const;
  virtual bool get_resizable() const { return false; }
  // pos + (dh, dv).
  virtual CellPos get_endpos() const;
  // Base: the parent link, or null when nobody holds the parent any more.
  virtual ElementPtr get_parent() const { return m_parent.lock(); }
  virtual bool get_flip() const { return false; }
  virtual bool get_is_cuttable() const { return true; }
  // The nearest sibling before (after) the element in the element order.
  virtual ElementPtr get_upper() const { return upper_(true); }
  virtual ElementPtr get_lower() const { return upper_(false); }
  virtual bool get_is_bottom() const { return get_lower() == nullptr; }
  virtual bool get_is_top() const { return get_upper() == nullptr; }
  // Base: stores nothing, only notifies "is-top".
  virtual void set_is_top(bool b);
  // Follows get_lower() (get_upper()) until get_is_bottom() (get_is_top())
  // holds. Siblings that point at each other end the walk at the last
  // element before one would be met again.
  virtual ElementPtr get_bottom() const;
  virtual ElementPtr get_top() const;
  // The element or one of its ancestors is in process.
  virtual bool get_is_in_process() const;
  // Base: (0, 0, 0, 0).
  virtual Rectangle get_rect();
  virtual int32_t get_role() const { return m_role; }
  // Base: stores the role and notifies "role".
  virtual void set_role(int32_t role);

  // --- Chain.

  ElementPtr get_first() const;
  ElementPtr get_last() const;
  // The number of elements before this one.
  int32_t get_index() const;
  bool get_is_single() const { return !m_prev && !m_next; }
  bool has_stack() const { return m_prev || m_next; }
  // Element number n from the head; null when n is negative or at or past
  // the end of the chain.
  ElementPtr nth(int32_t n) const;
  // Appends elm, with the chain it heads, after the tail of this chain.
  // Refused (critical message) when elm is in this chain already or is not
  // the head of its own chain. Returns this element.
  ElementPtr add(const ElementPtr& elm);
  // Links elm, with the chain it heads, in before element number index of
  // this chain: 0 or less makes elm the head, an index at or past the end
  // appends it. Refused like add(). Returns the chain's head.
  ElementPtr insert_at(const ElementPtr& elm, int32_t index);
  // Unlinks the element from its chain. Returns the head of what remains:
  // the chain's head when the element had a previous one, else its former
  // next; null when it was alone.
  ElementPtr remove_();
  // Moves the element to the head of its chain; returns it.
  ElementPtr to_first();
  // Calls fn for this element and each one after it. The following element
  // is held before fn runs, so fn may remove the element it is given.
  void foreach(const ElementFunc& fn);
  // elm is one of the elements of this chain (identity).
  bool has_elm(const ModelElement& elm) const;
  // The first element of the chain, from the head, with that role.
  ElementPtr to_role(int32_t role) const;

  // The elements of the chain, from the head, that are a T (or derive from
  // it) with that role; ANY_ROLE accepts every role.
  template <class T>
  std::vector<std::shared_ptr<T>> extract(int32_t role) const;
  template <class T>
  bool has(int32_t role) const { return seek<T>(role) != nullptr; }
  template <class T>
  std::shared_ptr<T> seek(int32_t role) const;
  // The element at the far end of a role direction: starting at role d (-1
  // for a negative dir, else 1), while the chain holds a T with that role it
  // is kept and the role moves on by d. The last one kept; null when the
  // chain holds no T of role d.
  template <class T>
  std::shared_ptr<T> to_endrole(int32_t dir) const;
  // The role of to_endrole(), 0 when there is none.
  template <class T>
  int32_t endrole(int32_t dir) const;
  // For a role r other than 0: to_endrole() of the element's own type (its
  // class and the classes derived from it, see is_own_type()) in r's
  // direction is the element itself. For role 0: the chain holds no element
  // of the element's own type with role 1 or -1.
  bool get_is_endrole() const;

  // --- Cell-map membership.

  // Records that the element was stored in cells at pos (or, for an invalid
  // pos, where cells report it); runs on_insert() and joins the parent's
  // children. Returns the element.
  ElementPtr inserted(ModelElementCells& cells, const CellPos& pos);
  // Takes the element out: leaves the parent's children, runs on_remove()
  // and unlinks it from its chain. Returns the new head of what remains.
  ElementPtr remove(ModelElementCells& cells);
  // pos := where cells report the element.
  void update_pos(ModelElementCells& cells);

  // --- Parent and children.

  bool get_is_parent() const;
  ElementPtr get_a_child() const;
  // The first child whose class is exactly T (not a subclass) with that role
  // (ANY_ROLE accepts every role).
  template <class T>
  std::shared_ptr<T> a_child_of(int32_t role) const;
  // elm is a child or, at any depth, a descendant.
  bool contains(const ModelElement& elm) const;
  // Calls fn for every other child of the parent with exactly this class and
  // role, in the parent's list order; nothing without a parent.
  void each_siblings(const ElementFunc& fn) const;

  // --- Derived values.

  // |dh| + 1 and |dv| + 1 (saturated at the largest int).
  int32_t get_mwidth() const;
  int32_t get_mheight() const;
  // -1 for a negative extension, else 1.
  int32_t get_exthdir() const { return dh < 0 ? -1 : 1; }
  int32_t get_extvdir() const { return dv < 0 ? -1 : 1; }
  bool get_is_multi() const { return dh != 0 || dv != 0; }
  CellPos get_deltapos() const { return {dh, dv}; }
  // From pos to get_endpos(), corners as they come.
  std::shared_ptr<CellRange> get_range() const;

  // --- Placement.

  // Whether the element and the copies of children it carries (subs) may
  // be stored with the element at pos of ws: sets ws, cells (ws's cells in
  // use) and wpos, asks can_store(), then each carried copy at its origpos
  // moved by pos - origpos.
  bool could_store(ModelWorkspace& ws, const CellPos& pos);
  // The elements in the way of storing the element and the copies it
  // carries with the element at pos of ws: sets ws, cells and wpos like
  // could_store(), then gathers the obstacles of each carried copy at its
  // origpos moved by pos - origpos, then obstacles(). An element may occur
  // more than once. The workspace cursor is left where the last walk ended.
  std::vector<ElementPtr> get_obstacles(ModelWorkspace& ws, const CellPos& pos);
  // The chain head stored at wpos in the element's workspace, or null.
  ElementPtr get_c_elm() const;
  // Lays the element out for cell (x, y) of ws, where a layout pass met it:
  // layout() with the box of its cells. A one-cell element gets the size of
  // cell (x, y) at (0, 0). An element covering several cells gets the grid
  // rectangle of all the cells it covers, placed relative to the top-left
  // corner of its anchor cell (pos): for one extending left or up, x or y
  // is negative, while the width and height are always those of the
  // covered cells.
  void layout_for(ModelWorkspace& ws, int32_t x, int32_t y);

  // --- Order among siblings.

  // Negative, 0 or positive. Up-left positions come first; two positions
  // that lie up-right of each other give 1 in either order; at one cell the
  // type names decide byte by byte, then the roles.
  static int elmcmp(const ModelElement& elm1, const ModelElement& elm2);

  // --- XML form.

  // Sets the cells and the writer, then vwrite(); true.
  bool write_in_cells(ModelElementCells& cells, SerializingWriter& writer);
  // Writes the XML element name with the common attributes role, width,
  // height, pi, ph, pv (no parent reference for a parent that has left the
  // map the element is in), then runs content.
  void write_base(const std::string& name, const std::function<void()>& content);
  // Writes the XML element name: in for-copy mode first "h" and "v" of the
  // element's own anchor cell, then content.
  void write_element(const std::string& name, const std::function<void()>& content);
  // elm located from this element's cells: its index, and the anchor cell
  // the cells report for it ((0, 0) without cells).
  ModelElementElmPos elm2pos(const ModelElement& elm) const;
  // An empty element name with "index", "h", "v" of elm2pos(elm).
  void writepos(const std::string& name, const ModelElement& elm);
  // Sets the cells and the reader, reads the element, then stored := true.
  // False when the reader failed.
  bool read_in_cells(ModelElementCells& cells, SerializingReader& reader);
  // "index", "h", "v" of the current element, absent ones as 0.
  ModelElementElmPos readpos();
  // The element a parent reference names (pp's -1 parts become the
  // element's own cell), as the cells hold it: never a copy of it. Null when
  // the cell holds no chain or the index is outside it.
  ElementPtr pos2elm(ModelElementElmPos& pp) const;
  // Finishes a read or a copy: resolves the parent reference unless
  // keep_parent, reconnect(), inserted() at the element's own cell, and
  // in_process := false. A reference naming nothing, the element itself or
  // one of its descendants is dropped with a warning naming the element.
  // (The cell map's read resolves all its elements together, looking for
  // rings of parents once for the whole map.)
  void reconnect_in_cells(ModelElementCells& cells, bool keep_parent);

  // --- Copies.

  // A new element made by writing this one to memory in for-copy mode and
  // reading it back through the cells' factory: stored, in process, its
  // parent reference unresolved.
  ElementPtr copy_() const;
  // copy_(), then the parent reference resolved against cells.
  ElementPtr copy(ModelElementCells& cells);
  // A deep copy carrying copies of all children in its subs. The copy of a
  // child (sub) takes the latest copy of its parent as parent; the top copy
  // (sub false) has none. The copy is remembered as this element's latest
  // copy, through which the copies of its children find it; a parent
  // reference resolved later (copy(), a read) names the element itself,
  // whatever copies of it exist. The link does not own (an element
  // standing in a chain behind its own latest copy would otherwise keep
  // that copy, and through the chain itself, alive for ever).
  ElementPtr copy_all(ModelElementCells& cells, bool sub);
  ElementPtr get_latest_copy() const { return m_latest_copy.lock(); }

protected:
  ModelElement() = default;

  // The writer (reader) of the write (read) in progress; null otherwise.
  SerializingWriter* get_writer() const { return m_writer; }
  SerializingReader* get_reader() const { return m_reader; }

  // Whether other's class is this element's class or derives from it: the
  // type that get_is_endrole() looks for. C++ cannot compare two dynamic
  // classes that way, so each element class that others derive from
  // overrides it with is_own_type_of<ItsClass>(other). Base: exactly the
  // same class.
  virtual bool is_own_type(const ModelElement& other) const;
  // For the override in class T: other is a T or derives from it. In a
  // subclass of T that does not override is_own_type() in turn, exactly the
  // same class, as in the base.
  template <class T>
  bool is_own_type_of(const ModelElement& other) const
  {
    if (typeid(*this) != typeid(T))
      return ModelElement::is_own_type(other);
    return dynamic_cast<const T*>(&other) != nullptr;
  }

private:
  // "pi", "ph", "pv" naming parent from this element's cell; nothing when
  // the element is in its map and the parent is not.
  void write_parent_reference(SerializingWriter& writer, const ModelElement& parent) const;
  friend class ModelElementCells;

  // A parent reference resolved: the element it names, or none.
  struct ParentChoice {
    ModelElementElmPos ref;
    ElementPtr candidate;
    // Why candidate cannot be taken; "" when it can.
    std::string why;
  };

  std::shared_ptr<ModelElement> self() const;
  ElementPtr upper_(bool up) const;
  // What a walk along a chain finds stays true until a chain is linked or
  // unlinked, a role is set, an element gains or loses its parent (a
  // kind's role may follow that) or an element dies, anywhere: each of
  // these starts a new generation. A long chain asks its head, its
  // elements' indices and its first element of a type and role for every
  // element it holds; remembered per generation, a walk serves them all.
  static uint64_t chain_generation();
  static void chains_changed();
  // The head, remembering it and the index of this element and of every
  // element walked past on the way.
  const ModelElement* first_() const;
  // The first element of the chain from the head that is accepted by is
  // (an element of the type named type) with that role (ANY_ROLE: any);
  // the chain's head remembers the first of each role of a type after one
  // walk.
  const ModelElement* seek_(const std::type_info& type, int32_t role,
                            bool (*is)(const ModelElement&)) const;
  // set_parent() and the reads and copies that set the link directly.
  void relink_parent(std::weak_ptr<ModelElement> parent);
  // The first element of the chain, from the head, accepted by pred with
  // that role (ANY_ROLE: any); all of them when all is set.
  std::vector<ElementPtr> extract_if(const std::function<bool(const ModelElement&)>& pred,
                                     int32_t role, bool all) const;
  ElementPtr to_endrole_if(const std::function<bool(const ModelElement&)>& pred,
                           int32_t dir) const;
  ElementPtr walk_to_end(bool up) const;
  bool read_common(SerializingReader& reader);
  bool read_extension(SerializingReader& reader);
  // pos2elm(); fresh tells that the element is a copy that no chain holds
  // yet, so that its own cell is its origpos without searching the map.
  ElementPtr pos2elm_(ModelElementElmPos& pp, bool fresh) const;
  // The parent reference read last, resolved against the element's cells.
  // Rings of parents are not looked for here.
  ParentChoice resolve_reference(bool fresh) const;
  // candidate is one of the element's descendants (or the element itself).
  bool closes_ring(const ModelElement& candidate) const;
  // reconnect_in_cells() with the parent reference already resolved (when
  // choice is given); inserted() at the cell at, or where the cells report
  // the element when at is not valid.
  void finish_reconnect(ModelElementCells& cells, std::optional<ParentChoice> choice,
                        const CellPos& at);
  void reconnect_in_cells_(ModelElementCells& cells, bool keep_parent, bool fresh);
  void join_parent();
  void leave_parent();
  void prune_children();
  // A copy in scratch cells that mirror a document gets its children
  // copied the first time its list is looked at (see ModelElementCells).
  void complete_children() const;

  std::weak_ptr<ModelElement> m_parent;
  std::weak_ptr<ModelElementCells> m_cells;
  std::weak_ptr<ModelWorkspace> m_ws;
  std::vector<std::weak_ptr<ModelElement>> m_children;
  // The size of m_children when it was last rid of dead children.
  size_t m_pruned_size = 0;
  // m_children was copied from another element's list (dup()).
  bool m_children_copied = false;
  // The parent whose list this element joined last and has not left: it
  // is in that list. m_ever_listed: it joined some list once.
  std::weak_ptr<ModelElement> m_listed_by;
  bool m_ever_listed = false;
  // Copied into mirroring scratch cells, its children not yet.
  mutable bool m_children_pending = false;
  SerializingWriter* m_writer = nullptr;
  SerializingReader* m_reader = nullptr;
  ElementPtr m_next;
  // Cleared by the previous element when it dies.
  ModelElement* m_prev = nullptr;
  std::optional<ModelElementElmPos> m_parent_pos;
  std::weak_ptr<ModelElement> m_latest_copy;
  int32_t m_role = 0;
  sigc::signal<void(const char*)> m_signal_notify;
  // first_(): the head and the element's index, valid in m_first_generation.
  mutable const ModelElement* m_first_memo = nullptr;
  mutable int32_t m_index_memo = 0;
  mutable uint64_t m_first_generation = 0;
  // seek_() on the head: per type, the first element of each role and the
  // first of any role (null: none), valid in m_seek_generation.
  struct SeekMemo {
    const std::type_info* type = nullptr;
    const ModelElement* any = nullptr;
    std::unordered_map<int32_t, const ModelElement*> by_role;
  };
  mutable std::vector<SeekMemo> m_seek_memo;
  mutable uint64_t m_seek_generation = 0;
};

// ---------------------------------------------------------------------------

template <class T>
std::vector<std::shared_ptr<T>> ModelElement::extract(int32_t role) const
{
  std::vector<std::shared_ptr<T>> result;
  for (const auto& e : extract_if([](const ModelElement& e) { return dynamic_cast<const T*>(&e); },
                                  role, true))
    result.push_back(std::dynamic_pointer_cast<T>(e));
  return result;
}

template <class T>
std::shared_ptr<T> ModelElement::seek(int32_t role) const
{
  const ModelElement* found = seek_(
      typeid(T), role, [](const ModelElement& e) { return dynamic_cast<const T*>(&e) != nullptr; });
  return found ? std::dynamic_pointer_cast<T>(found->self()) : nullptr;
}

template <class T>
std::shared_ptr<T> ModelElement::to_endrole(int32_t dir) const
{
  // Level by level, each a lookup in the chain's remembered roles.
  const int64_t step = dir < 0 ? -1 : 1;
  std::shared_ptr<T> last;
  for (int64_t role = step; std::abs(role) <= std::numeric_limits<int32_t>::max(); role += step) {
    auto found = seek<T>(static_cast<int32_t>(role));
    if (!found)
      break;
    last = std::move(found);
  }
  return last;
}

template <class T>
int32_t ModelElement::endrole(int32_t dir) const
{
  const auto e = to_endrole<T>(dir);
  return e ? e->get_role() : 0;
}

template <class T>
std::shared_ptr<T> ModelElement::a_child_of(int32_t role) const
{
  for (const auto& child : get_children()) {
    const ModelElement& c = *child;
    if (typeid(c) == typeid(T) && (role == ANY_ROLE || c.get_role() == role))
      return std::static_pointer_cast<T>(child);
  }
  return nullptr;
}

} // namespace velkaro

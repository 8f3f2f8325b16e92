#include "document_check.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <sstream>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

#include "common/point.h"
#include "common/rectangle.h"
#include "model/element.h"
#include "model/element_cells.h"
#include "model/exp_stack.h"
#include "model/grid.h"
#include "model/serializing_writer.h"
#include "model/workspace.h"

namespace velkaro::fuzz {

namespace {

using ElementPtr = std::shared_ptr<ModelElement>;

// A file in memory, named through /proc so that load() opens it as any file.
class MemoryFile {
public:
  MemoryFile() : m_fd(memfd_create("velkaro-document", MFD_CLOEXEC)) {}
  ~MemoryFile()
  {
    if (m_fd >= 0)
      close(m_fd);
  }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  bool works() const { return m_fd >= 0; }
  std::string path() const { return "/proc/self/fd/" + std::to_string(m_fd); }

  bool set(std::string_view bytes)
  {
    if (!clear())
      return false;
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = pwrite(m_fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
      if (n <= 0)
        return false;
      done += static_cast<size_t>(n);
    }
    return true;
  }

  // Empty, with the offset a writer on a duplicate starts from at 0.
  bool clear() { return ftruncate(m_fd, 0) == 0 && lseek(m_fd, 0, SEEK_SET) == 0; }

  // A descriptor for a writer, which closes it.
  int writer_fd() const { return dup(m_fd); }

  std::string contents() const
  {
    std::string text;
    char buffer[65536];
    off_t at = 0;
    ssize_t n;
    while ((n = pread(m_fd, buffer, sizeof buffer, at)) > 0) {
      text.append(buffer, static_cast<size_t>(n));
      at += n;
    }
    return text;
  }

private:
  int m_fd;
};

// Every stored element with its anchor, chain by chain in map order.
struct Placed {
  CellPos at;
  ElementPtr elm;
};

std::vector<Placed> placed_elements(ModelWorkspace& ws)
{
  std::vector<Placed> all;
  ws.get_cells()->foreach([&](int32_t x, int32_t y, const ElementPtr& head) {
    for (auto e = head; e; e = e->get_next())
      all.push_back({{x, y}, e});
    return true;
  });
  return all;
}

std::string where(const Placed& p)
{
  return std::string("a ") + p.elm->get_type_name() + " in the cell " + p.at.to_string();
}

// "" when every element is stored at its anchor, inside the grid, covers
// its anchor and its far corner in the covering index and has a finite
// rectangle.
std::string placement_problem(ModelWorkspace& ws, const std::vector<Placed>& all)
{
  for (const Placed& p : all) {
    const ModelElement& e = *p.elm;
    if (!e.stored || e.pos != p.at || ws.anchor_of(p.elm) != p.at)
      return where(p) + " is not stored there";
    const int64_t far_x = int64_t{p.at.x} + e.dh;
    const int64_t far_y = int64_t{p.at.y} + e.dv;
    if (!p.at.get_is_valid() || far_x < 0 || far_x > CellPos::MAX || far_y < 0 || far_y > CellPos::MAX)
      return where(p) + " reaches outside the grid";
    const CellPos far{static_cast<int32_t>(far_x), static_cast<int32_t>(far_y)};
    for (const CellPos& c : {p.at, far}) {
      const auto stack = ws.exp_at(c);
      if (!stack || !stack->has_elm(e))
        return where(p) + " is not found covering " + c.to_string();
    }
    if (!finite(p.elm->get_rect()))
      return where(p) + " has a rectangle that is not finite";
  }
  return "";
}

// "" when every parent is stored, every parent lists its children and
// every child names its parent, and no element is its own ancestor.
std::string family_problem(ModelWorkspace& ws, const std::vector<Placed>& all)
{
  std::unordered_map<const ModelElement*, const Placed*> by_elm;
  for (const Placed& p : all)
    by_elm[p.elm.get()] = &p;
  std::unordered_set<const ModelElement*> listed; // children some parent lists
  for (const Placed& p : all)
    for (const ElementPtr& child : p.elm->get_children()) {
      if (child->get_parent() != p.elm)
        return where(p) + " lists a " + child->get_type_name() + " as a child that names another parent";
      if (!by_elm.count(child.get()))
        return where(p) + " lists a " + child->get_type_name() + " that is not in the document";
      listed.insert(child.get());
    }
  for (const Placed& p : all) {
    const ElementPtr parent = p.elm->get_parent();
    if (!parent)
      continue;
    if (!(parent->stored && ws.anchor_of(parent).get_is_valid()) || !by_elm.count(parent.get()))
      return where(p) + " names a " + parent->get_type_name() + " that is not in the document";
    if (!listed.count(p.elm.get()))
      return where(p) + " is not among the children of its " + parent->get_type_name();
  }
  // Each walk up stops at an element known to lead to no cycle.
  std::unordered_set<const ModelElement*> sound;
  for (const Placed& p : all) {
    std::unordered_set<const ModelElement*> walked;
    for (ElementPtr e = p.elm; e && !sound.count(e.get()); e = e->get_parent())
      if (!walked.insert(e.get()).second)
        return where(p) + " has a cycle among its ancestors";
    sound.insert(walked.begin(), walked.end());
  }
  return "";
}

// The document in the copy form, which names every element's cell.
std::string copy_text(ModelWorkspace& ws)
{
  const auto writer = SerializingWriter::create_memory_for_copy();
  (void)ws.write(*writer);
  if (!writer->finish())
    return "(cannot be written: " + writer->get_error() + ")\n";
  return writer->get_text();
}

// Where elm stands: its anchor and its place in the chain there.
std::string place_of(ModelWorkspace& ws, const ElementPtr& elm)
{
  return ws.anchor_of(elm).to_string() + "#" + std::to_string(elm->get_index());
}

// The copy form, the modified flag, the grid's listed lines, and every
// element's role, parent and rectangle (which the copy form of some kinds
// leaves out), then the kind's own state.
std::string state_text(ModelWorkspace& ws, const DocumentCheckKind& kind)
{
  std::ostringstream s;
  s.precision(17);
  s << copy_text(ws) << "\nmodified " << ws.modified << "\n";
  for (const auto* list : {ws.grid->h.get(), ws.grid->v.get()}) {
    s << "lines";
    for (const ModelGridGridData& d : list->get_entries())
      s << " " << d.index << ":" << d.edge;
    s << "\n";
  }
  for (const Placed& p : placed_elements(ws)) {
    const Rectangle r = p.elm->get_rect();
    const ElementPtr parent = p.elm->get_parent();
    s << place_of(ws, p.elm) << " " << p.elm->get_type_name() << " role " << p.elm->get_role() << " parent "
      << (parent ? place_of(ws, parent) : "-") << " [" << r.x << ", " << r.y << ", " << r.width << ", "
      << r.height << "]\n";
  }
  if (kind.state)
    s << kind.state(ws);
  return s.str();
}

// "" when a document just read obeys the common rules.
std::string common_problem(ModelWorkspace& ws)
{
  if (ws.modified)
    return "a document just read is marked modified";
  const auto all = placed_elements(ws);
  if (std::string problem = placement_problem(ws, all); !problem.empty())
    return problem;
  return family_problem(ws, all);
}

// Saves ws into file as a save does; "" or why it failed.
std::string save_into(ModelWorkspace& ws, MemoryFile& file)
{
  if (!file.clear())
    return std::string("the memory file cannot be emptied: ") + std::strerror(errno);
  const auto writer = SerializingWriter::create_on_descriptor(file.writer_fd(), "saved.xml");
  (void)ws.write(*writer);
  if (!writer->finish())
    return "an accepted document cannot be saved: " + writer->get_error();
  return "";
}

// The checks of an accepted document ws: its rules, then a save opened
// again in a fresh workspace. The kind's rules run on the first reading
// only: the second must come to the same state, for which they hold then.
std::string check_accepted(ModelWorkspace& ws, const DocumentCheckKind& kind)
{
  std::string problem = common_problem(ws);
  if (problem.empty() && kind.rules)
    problem = kind.rules(ws);
  if (!problem.empty())
    return "after reading: " + problem;
  MemoryFile saved;
  if (!saved.works())
    return std::string("no memory file: ") + std::strerror(errno);
  if (problem = save_into(ws, saved); !problem.empty())
    return problem;
  const std::string first_save = saved.contents();
  const auto again = kind.make();
  if (!again->load(saved.path()))
    return "a saved document cannot be opened again: " + again->get_last_error();
  if (problem = common_problem(*again); !problem.empty())
    return "after reading the saved document: " + problem;
  const std::string state = state_text(ws, kind);
  const std::string state_again = state_text(*again, kind);
  if (state_again != state)
    return "the saved document opens as another document: " + first_difference(state_again, state);
  if (problem = save_into(*again, saved); !problem.empty())
    return "second save: " + problem;
  if (saved.contents() != first_save)
    return "a saved document, opened and saved again, gives other bytes: " +
           first_difference(saved.contents(), first_save);
  return "";
}

} // namespace

bool finite(const Point& p)
{
  return std::isfinite(p.get_x()) && std::isfinite(p.get_y());
}

bool finite(const Rectangle& r)
{
  return std::isfinite(r.x) && std::isfinite(r.y) && std::isfinite(r.width) && std::isfinite(r.height);
}

std::string first_difference(const std::string& got, const std::string& want)
{
  size_t at = 0;
  while (at < got.size() && at < want.size() && got[at] == want[at])
    ++at;
  const size_t from = at < 40 ? 0 : at - 40;
  const auto piece = [from](const std::string& s) {
    std::string p = s.substr(from, 80);
    for (char& c : p)
      if (c == '\n')
        c = '|';
    return "\"" + p + "\"";
  };
  return "at byte " + std::to_string(at) + ", " + piece(got) + " where " + piece(want) + " was";
}

std::string check_document(std::string_view bytes, const DocumentCheckKind& kind)
{
  // Apart, so that a refused input that took the path would show.
  MemoryFile open_file;
  MemoryFile input;
  if (!open_file.works() || !input.works())
    return std::string("no memory file: ") + std::strerror(errno);
  const auto ws = kind.make();
  if (!open_file.set(kind.open_document) || !ws->load(open_file.path()))
    return "the document open before the input cannot be opened: " + ws->get_last_error();
  const std::string open_path = ws->get_file_path();
  const std::string before = state_text(*ws, kind);
  if (!input.set(bytes))
    return std::string("the input cannot be put in a memory file: ") + std::strerror(errno);

  if (!ws->load(input.path())) {
    if (ws->get_last_error().empty())
      return "a refused document gives no reason";
    if (const std::string after = state_text(*ws, kind); after != before || ws->get_file_path() != open_path)
      return "a refused document changes the open one (" + ws->get_last_error() +
             "): " + first_difference(after, before);
    return "";
  }
  return check_accepted(*ws, kind);
}

} // namespace velkaro::fuzz

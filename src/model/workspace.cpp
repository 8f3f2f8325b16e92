// The workspace object: creation, its properties and signal, the virtual
// operations' simple defaults, lookups, and the document's XML frame.

#include "model/workspace.h"

#include <gio/gio.h>

#include "common/c_resource.h"
#include "common/check.h"
#include "model/element.h"
#include "model/element_cells.h"
#include "model/exp_stack.h"
#include "model/grid.h"
#include "model/text_element.h"
#include "model/workspace_diff.h"

namespace velkaro {

ModelWorkspace::ModelWorkspace(Key key)
{
  (void)key;
  // Connected before anyone else can connect, so it runs first.
  m_signal_updated.connect([this] { modified = true; });
}

ModelWorkspace::~ModelWorkspace() = default;

void ModelWorkspace::init()
{
  grid = ModelGrid::create();
  set_cells(ModelElementCells::create());
  tmp_cells = ModelElementCells::create();
  set_diff(nullptr);
  m_file_path.clear();
  modified = false;
}

void ModelWorkspace::signal_update()
{
  if (is_tmp)
    return;
  if (m_step_depth > 0) {
    m_step_changed = true;
    return;
  }
  // Observers see the lines laid out, also in the middle of an operation.
  flush_layout();
  m_signal_updated.emit();
}

void ModelWorkspace::begin_step()
{
  ++m_step_depth;
}

void ModelWorkspace::end_step(bool changed)
{
  VK_CHECK(m_step_depth > 0);
  if (changed && !is_tmp)
    m_step_changed = true;
  if (--m_step_depth > 0 || !m_step_changed)
    return;
  m_step_changed = false;
  if (!is_tmp) {
    flush_layout();
    m_signal_updated.emit();
  }
}

// --- virtual defaults -------------------------------------------------------

std::shared_ptr<ModelWorkspaceDiff> ModelWorkspace::new_diff()
{
  return ModelWorkspaceDiff::create();
}

ModelWorkspace::ElementPtr ModelWorkspace::make_text()
{
  return ModelTextElement::create();
}

bool ModelWorkspace::range_cut_target(const ModelElement& elm, bool slide, CellDir axis)
{
  (void)slide;
  (void)axis;
  return dynamic_cast<const ModelTextElement*>(&elm) != nullptr;
}

void ModelWorkspace::chain_changed(const CellPos& pos, const ModelElement& elm)
{
  (void)pos;
  (void)elm;
}

void ModelWorkspace::fill_upper(const ElementPtr& elm)
{
  (void)elm;
}

void ModelWorkspace::fill_right(const ElementPtr& elm)
{
  (void)elm;
}

void ModelWorkspace::fill_left(const ElementPtr& elm)
{
  (void)elm;
}

std::vector<ModelWorkspace::ElementPtr> ModelWorkspace::remove_row_elms(const ElementPtr& head)
{
  std::vector<ElementPtr> elms;
  VK_CHECK_VAL(head != nullptr, elms);
  head->foreach([&elms](const ElementPtr& e) { elms.push_back(e); });
  return elms;
}

std::shared_ptr<ModelElementCells> ModelWorkspace::get_cells() const
{
  return is_tmp ? tmp_cells : m_cells;
}

void ModelWorkspace::set_cells(const std::shared_ptr<ModelElementCells>& cells)
{
  VK_CHECK(cells != nullptr);
  m_cells = cells;
  m_signal_notify.emit("cells");
}

// --- record and file path ---------------------------------------------------

std::shared_ptr<ModelWorkspaceDiff> ModelWorkspace::get_diff() const
{
  return is_tmp ? nullptr : m_diff;
}

void ModelWorkspace::set_diff(const std::shared_ptr<ModelWorkspaceDiff>& diff)
{
  m_diff = diff;
  m_signal_notify.emit("diff");
}

void ModelWorkspace::set_file_path(const std::string& path)
{
  if (path.empty()) {
    m_file_path.clear();
  } else {
    // GFile resolves a relative path against the working directory and
    // drops "." and ".." parts.
    const CPtr<GFile, g_object_unref> file(g_file_new_for_path(path.c_str()));
    const GCharPtr absolute(g_file_get_path(file.get()));
    m_file_path = absolute ? absolute.get() : path;
  }
  m_signal_notify.emit("file-path");
}

// --- lookups ----------------------------------------------------------------

ModelWorkspace::ElementPtr ModelWorkspace::elm_at(const CellPos& pos) const
{
  return get_cells()->get(pos.x, pos.y);
}

std::shared_ptr<ModelExpStack> ModelWorkspace::exp_at(const CellPos& pos) const
{
  return get_cells()->stack_at(pos.x, pos.y);
}

std::string ModelWorkspace::get_c_etype() const
{
  const ElementPtr e = get_c_elm();
  return e ? e->get_type_name() : "";
}

CellPos ModelWorkspace::anchor_of(const ElementPtr& elm) const
{
  return get_cells()->get_pos(elm);
}

bool ModelWorkspace::holds(const CellPos& pos, const ModelElement& elm) const
{
  const ElementPtr head = elm_at(pos);
  return head && head->has_elm(elm);
}

} // namespace velkaro

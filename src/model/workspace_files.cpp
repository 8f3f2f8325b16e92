// The document file: writing and reading the workspace, and saving and
// loading it so that a failure never costs what is on disk or in memory.

#include <climits>
#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

#include <glib.h>
#include <glibmm/ustring.h>

#include "common/check.h"
#include "common/i18n.h"
#include "model/element_cells.h"
#include "model/file_replacement.h"
#include "model/grid.h"
#include "model/serializing_reader.h"
#include "model/serializing_writer.h"
#include "model/text_measure_batch.h"
#include "model/workspace.h"
#include "model/workspace_diff.h"

namespace velkaro {

// --- the document in XML ----------------------------------------------------

bool ModelWorkspace::write(SerializingWriter& writer)
{
  // The writer keeps its failures; whoever finishes it learns of them.
  writer.write_element("workspace", [&] { (void)get_cells()->write(writer); });
  return true;
}

bool ModelWorkspace::read(SerializingReader& reader)
{
  // The texts read are measured meanwhile on other threads, before the
  // layout needs them.
  ModelTextMeasureBatch measuring;
  if (skip_to_workspace(reader)) {
    (void)reader.foreach_subtree([&] {
      if (reader.get_is_start_element() && reader.get_name() == "element_cells")
        return get_cells()->read(reader);
      return true;
    });
  }
  measuring.finish();
  update_layout_all();
  return !reader.has_error();
}

bool ModelWorkspace::skip_to_workspace(SerializingReader& reader)
{
  const bool on_a_node =
      reader.get_is_start_element() || reader.get_is_end_element() || reader.get_is_text();
  // An input without any node is a file that does not exist: an empty
  // document.
  if (!on_a_node && !reader.next())
    return false;
  if (reader.skip_to_element("workspace"))
    return true;
  // Any other document must hold a workspace, or the next save would
  // replace a file that is not ours by an empty document.
  if (!reader.has_error())
    reader.fail_document("the file is not a Velkaro document (its root element is <" +
                         reader.get_root_name() + ">, not <workspace>)");
  return false;
}

// --- save -------------------------------------------------------------------

bool ModelWorkspace::save(const std::optional<std::string>& path)
{
  const std::string p = path ? *path : m_file_path;
  if (p.empty())
    return fail_file(_("Cannot save: no file name is given."));
  std::string error;
  if (!write_file(ModelFileReplacement::file_behind(p), error))
    return fail_file(Glib::ustring::compose(_("Cannot save %1: %2"), p, error));
  set_file_path(p);
  modified = false;
  m_last_error.clear();
  g_debug("workspace:872: save %s", m_file_path.c_str());
  return true;
}

bool ModelWorkspace::write_file(const std::string& target, std::string& error)
{
  ModelFileReplacement temp(target);
  if (!temp.open_over_target(0666, error))
    return false;
  // Only a privileged user can give the file back to its owner; others own
  // what they write.
  if (const struct stat* old = temp.get_replaced(); old && fchown(temp.get_fd(), old->st_uid, old->st_gid) != 0)
    g_debug("workspace: %s keeps the saving user as its owner", target.c_str());
  const int fd = temp.dup_fd(error);
  if (fd < 0)
    return false;
  const auto writer = SerializingWriter::create_on_descriptor(fd, temp.get_display_name());
  (void)write(*writer);
  if (!writer->finish()) {
    error = writer->get_error();
    return false;
  }
  if (!temp.name(error) || !replace_file(temp.get_temp_path(), target, error))
    return false;
  temp.committed();
  return true;
}

bool ModelWorkspace::replace_file(const std::string& temp, const std::string& target,
                                  std::string& error)
{
  return ModelFileReplacement::rename_over(temp, target, error);
}

bool ModelWorkspace::fail_file(std::string message)
{
  g_debug("workspace: %s", message.c_str());
  m_last_error = std::move(message);
  return false;
}

// --- load -------------------------------------------------------------------

std::shared_ptr<ModelWorkspace> ModelWorkspace::create_empty() const
{
  // A workspace made without create() (none is) reads as the base kind.
  return m_make_empty ? m_make_empty() : create<ModelWorkspace>();
}

std::shared_ptr<ModelWorkspace> ModelWorkspace::read_new(const std::string& path)
{
  if (path.empty()) {
    fail_file(_("Cannot open: no file name is given."));
    return nullptr;
  }
  const auto reader = SerializingReader::create(path);
  if (reader->has_error()) {
    fail_file(Glib::ustring::compose(_("Cannot open %1: %2"), path, reader->get_error()));
    return nullptr;
  }
  const auto doc = create_empty();
  if (!doc->read(*reader) || !reader->read_to_end()) {
    const std::string why = reader->has_error() ? reader->get_error() : _("it cannot be read");
    fail_file(Glib::ustring::compose(_("Cannot open %1: %2"), path, why));
    return nullptr;
  }
  doc->m_file_path = path;
  m_last_error.clear();
  return doc;
}

void ModelWorkspace::take_document(ModelWorkspace& doc)
{
  VK_CHECK(&doc != this);
  grid = std::move(doc.grid);
  tmp_cells = std::move(doc.tmp_cells);
  // Nothing marked for layout or remembered as fresh belongs to the new
  // cells.
  m_marked_cols.clear();
  m_marked_rows.clear();
  m_fresh.clear();
  set_cells(doc.m_cells);
  set_diff(nullptr);
  set_file_path(doc.m_file_path);
  modified = false;
  m_last_error.clear();
  doc.init();
}

bool ModelWorkspace::load(const std::string& path)
{
  const auto doc = read_new(path);
  if (!doc)
    return false;
  take_document(*doc);
  g_debug("workspace:898: load %s", path.c_str());
  return true;
}

} // namespace velkaro

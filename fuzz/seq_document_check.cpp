#include "seq_document_check.h"

#include <cerrno>
#include <cstring>
#include <memory>

#include <sys/mman.h>
#include <unistd.h>

#include "model/element.h"
#include "model/element_cells.h"
#include "model/serializing_writer.h"
#include "seq/doc/workspace.h"

namespace velkaro::fuzz {

namespace {

// A file in memory, named through /proc so that load() opens it as any file.
class SeqCheckMemoryFile {
public:
  SeqCheckMemoryFile() : m_fd(memfd_create("velkaro-document", MFD_CLOEXEC)) {}
  ~SeqCheckMemoryFile()
  {
    if (m_fd >= 0)
      close(m_fd);
  }
  SeqCheckMemoryFile(const SeqCheckMemoryFile&) = delete;
  SeqCheckMemoryFile& operator=(const SeqCheckMemoryFile&) = delete;

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

// The document in the copy form, which names every element's cell.
std::string seq_check_document_text(ModelWorkspace& ws)
{
  const auto writer = SerializingWriter::create_memory_for_copy();
  (void)ws.write(*writer);
  if (!writer->finish())
    return "(cannot be written: " + writer->get_error() + ")";
  return writer->get_text();
}

// "" when every element is stored at its anchor and names only stored
// parents.
std::string seq_check_links(SeqWorkspace& ws)
{
  std::string problem;
  ws.get_cells()->foreach([&](int32_t x, int32_t y, const std::shared_ptr<ModelElement>& head) {
    const CellPos at{x, y};
    for (auto e = head; e && problem.empty(); e = e->get_next()) {
      if (!e->stored || e->pos != at)
        problem = std::string("a ") + e->get_type_name() + " in the cell " + at.to_string() +
                  " is not stored there";
      else if (const auto parent = e->get_parent(); parent && !(parent->stored && ws.anchor_of(parent).get_is_valid()))
        problem = std::string("a ") + e->get_type_name() + " in the cell " + at.to_string() + " names a " +
                  parent->get_type_name() + " that is not in the document";
    }
    return problem.empty();
  });
  return problem;
}

// Saves ws into file as a save does; "" or why it failed.
std::string seq_check_save(ModelWorkspace& ws, SeqCheckMemoryFile& file)
{
  if (!file.clear())
    return std::string("the memory file cannot be emptied: ") + std::strerror(errno);
  const auto writer = SerializingWriter::create_on_descriptor(file.writer_fd(), "saved.xml");
  (void)ws.write(*writer);
  if (!writer->finish())
    return "an accepted document cannot be saved: " + writer->get_error();
  return "";
}

} // namespace

std::string check_seq_document(std::string_view bytes)
{
  SeqCheckMemoryFile input;
  SeqCheckMemoryFile saved;
  if (!input.works() || !saved.works())
    return std::string("no memory file: ") + std::strerror(errno);
  if (!input.set(bytes))
    return std::string("the input cannot be put in a memory file: ") + std::strerror(errno);

  const auto ws = ModelWorkspace::create<SeqWorkspace>();
  const std::string empty = seq_check_document_text(*ws);
  if (!ws->load(input.path())) {
    if (ws->get_last_error().empty())
      return "a refused document gives no reason";
    if (seq_check_document_text(*ws) != empty)
      return "a refused document leaves something behind: " + ws->get_last_error();
    return "";
  }
  if (std::string problem = seq_check_links(*ws); !problem.empty())
    return "after reading: " + problem;

  // What was saved opens again as the same document and saves alike.
  if (std::string problem = seq_check_save(*ws, saved); !problem.empty())
    return problem;
  const std::string first_save = saved.contents();
  const auto again = ModelWorkspace::create<SeqWorkspace>();
  if (!again->load(saved.path()))
    return "a saved document cannot be opened again: " + again->get_last_error();
  if (std::string problem = seq_check_links(*again); !problem.empty())
    return "after reading the saved document: " + problem;
  if (seq_check_document_text(*again) != seq_check_document_text(*ws))
    return "the saved document opens as another document";
  if (std::string problem = seq_check_save(*again, saved); !problem.empty())
    return "second save: " + problem;
  if (saved.contents() != first_save)
    return "a saved document, opened and saved again, gives other bytes";
  return "";
}

} // namespace velkaro::fuzz

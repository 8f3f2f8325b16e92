#pragma once
// Helpers of the tests of any diagram kind's workspace: the document as the
// memory writer gives it, a document loaded from text and saved to text
// through a file, an edit run under a fresh record, undo and redo of
// that record checked against the documents before and after, and an
// element stored at a cell, the elements marked in process.

#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "model/element.h"
#include "model/element_cells.h"
#include "model/serializing_writer.h"
#include "model/workspace.h"
#include "model/workspace_diff.h"
#include "support/test_env.h"

namespace velkaro::test {

// The document as the memory writer gives it, with what the writing
// answered: whether the workspace wrote it and the writer finished it.
struct WrittenDocument {
  bool wrote = false;
  bool finished = false;
  std::string error;
  std::string text;
};

inline WrittenDocument write_document(ModelWorkspace& ws)
{
  const auto writer = SerializingWriter::create_memory_for_copy();
  WrittenDocument doc;
  doc.wrote = ws.write(*writer);
  doc.finished = writer->finish();
  doc.error = writer->get_error();
  doc.text = writer->get_text();
  return doc;
}

// The document as the memory writer gives it (as a file would hold it).
inline std::string document_of(ModelWorkspace& ws)
{
  WrittenDocument doc = write_document(ws);
  EXPECT_TRUE(doc.finished) << doc.error;
  return std::move(doc.text);
}

// Loads text as the document of ws through a file; false when it is refused
// (error then holds why).
inline bool load_text(ModelWorkspace& ws, const std::string& text, std::string* error = nullptr)
{
  TempDir dir;
  const std::string path = dir.file("doc.xml");
  {
    std::ofstream out(path, std::ios::binary);
    out << text;
  }
  const bool ok = ws.load(path);
  if (error)
    *error = ws.get_last_error();
  return ok;
}

// Saves ws to a file and gives the file's text.
inline std::string saved_text(ModelWorkspace& ws)
{
  TempDir dir;
  const std::string path = dir.file("out.xml");
  EXPECT_TRUE(ws.save(path)) << ws.get_last_error();
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs edit on ws with a fresh record open; the record.
inline std::shared_ptr<ModelWorkspaceDiff> record_edit(ModelWorkspace& ws, const std::function<void()>& edit)
{
  const auto d = ws.new_diff();
  ws.set_diff(d);
  edit();
  ws.set_diff(nullptr);
  return d;
}

// Twice over, undoing d gives the document before and redoing it the one
// after.
inline void expect_undo_redo(ModelWorkspace& ws, const ModelWorkspaceDiff& d, const std::string& before,
                             const std::string& after)
{
  for (int round = 0; round < 2; ++round) {
    ws.patch(*d.reverse());
    ASSERT_EQ(document_of(ws), before) << "undo, round " << round;
    ws.patch(d);
    ASSERT_EQ(document_of(ws), after) << "redo, round " << round;
  }
}

// Stores elm at (x, y) of ws.
inline void put(ModelWorkspace& ws, const std::shared_ptr<ModelElement>& elm, int32_t x, int32_t y)
{
  ws.move_hv(x, y);
  ASSERT_TRUE(ws.store(elm));
}

// How many stored elements have their in-process flag set.
inline int in_process_count(ModelWorkspace& ws)
{
  int n = 0;
  ws.get_cells()->foreach([&n](int32_t, int32_t, const std::shared_ptr<ModelElement>& head) {
    head->foreach([&n](const std::shared_ptr<ModelElement>& e) { n += e->in_process ? 1 : 0; });
    return true;
  });
  return n;
}

} // namespace velkaro::test

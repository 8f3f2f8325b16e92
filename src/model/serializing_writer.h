#pragma once
// SerializingWriter writes one XML document, element by element, to a file
// or into memory. Every document starts with the declaration
// <?xml version="1.0" encoding="UTF-8"?>, and nested elements start on new
// lines indented by one space per level.
//
// Success flags: every operation that reports a result returns true on
// success and false on failure. Failures are also remembered: once anything
// failed, has_error() stays true and finish() returns false, so a caller
// may write a whole document and check only finish().
//
// Calling order: create, then well-nested start_element / write_attribute
// (right after its start_element) / write_text / end_element calls, then
// finish, then release. Nothing is written after finish.
//
// Element and attribute names must be XML names without a namespace prefix,
// and an element takes each attribute once; anything else fails.
// Text and attribute values are escaped. Characters that XML 1.0 does not
// allow (control characters other than tab, line feed and carriage return,
// U+FFFE and U+FFFF) are left out, and bytes that are not valid UTF-8 become
// U+FFFD, so that every document written here can be read back.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include <libxml/xmlwriter.h>

#include "common/c_resource.h"

namespace velkaro {

class SerializingWriter {
public:
  // A writer on the file at path, created or truncated at once. When the file
  // cannot be opened the writer has no output: every operation fails and
  // get_error() tells why.
  static std::shared_ptr<SerializingWriter> create(const std::string& path);
  // A writer on the open file descriptor fd, which it takes over (and
  // closes); path names the file in messages.
  static std::shared_ptr<SerializingWriter> create_on_descriptor(int fd, const std::string& path);
  // A writer into memory, for copies: get_for_copy() is true and get_text()
  // gives the document.
  static std::shared_ptr<SerializingWriter> create_memory_for_copy();

  ~SerializingWriter();
  SerializingWriter(const SerializingWriter&) = delete;
  SerializingWriter& operator=(const SerializingWriter&) = delete;

  // True for the memory writer; element writers add their own cell then.
  bool get_for_copy() const { return m_for_copy; }

  [[nodiscard]] bool start_element(const std::string& name);
  // Closes the innermost open element.
  [[nodiscard]] bool end_element();
  // Adds an attribute to the element just started.
  [[nodiscard]] bool write_attribute(const std::string& name, const std::string& content);
  // write_attribute with the decimal digits of value; a failure stays in
  // the writer and shows in finish().
  void write_int_attribute(const std::string& name, int64_t value);
  [[nodiscard]] bool write_text(const std::string& content);
  // start_element(name), fn(), end_element(); a failure shows in has_error()
  // and in finish().
  void write_element(const std::string& name, const std::function<void()>& fn);

  // Closes every open element and ends the document; a file writer then
  // flushes its file to the disk and closes it. True when the whole
  // document was written: no operation failed before and ending, flushing
  // and closing succeeded.
  [[nodiscard]] bool finish();

  bool has_error() const { return m_failed; }
  // What failed first, or "" when nothing failed.
  const std::string& get_error() const { return m_error; }

  // The document written so far by a memory writer; complete after finish().
  // "" for a file writer.
  std::string get_text() const;

private:
  explicit SerializingWriter(bool for_copy) : m_for_copy(for_copy) {}

  static int write_to_file(void* context, const char* buffer, int len);
  void open_file(const std::string& path);
  // Starts the document on m_file.
  void open_output();
  void open_memory();
  void start_document();
  // Records a failure of what when result is negative; returns true on success.
  bool check(int result, std::string_view what);
  // Records that name is not an XML name; returns false.
  bool refuse_name(std::string_view kind, const std::string& name);
  void fail(std::string message);

  bool m_for_copy;
  // The attributes written since the last start_element.
  std::set<std::string> m_attributes;
  bool m_failed = false;
  std::string m_error;
  std::string m_path;
  // Outputs are declared before the writer so that the writer, which flushes
  // into them when it is freed, goes first.
  CPtr<FILE, fclose> m_file;
  CPtr<xmlBuffer, xmlBufferFree> m_buffer;
  CPtr<xmlTextWriter, xmlFreeTextWriter> m_writer;
};

} // namespace velkaro

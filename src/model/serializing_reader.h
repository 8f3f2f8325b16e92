#pragma once
// SerializingReader walks one XML document, from a file or from text in
// memory, as a stream of start elements, end elements and text nodes; it
// cannot go back. Everything else (white space between elements, comments,
// processing instructions, CDATA) is stepped over, and an element written as
// an empty tag gives a start element without an end element.
//
// Success flags: every operation that reports a result returns true on
// success (or "found") and false otherwise.
//
// Documents are untrusted input. Nothing outside the document is ever read:
// no external entity, no DTD, nothing from the network. A document type
// declaration (even inside a comment) or an entity reference is refused as
// an error, and so is every parse error; libxml2's messages are kept here,
// never printed. Documents are UTF-8: a declared encoding is ignored, and
// text in an encoding that is not ASCII-compatible is refused. An empty
// file, one of white space only and one that does not start as XML are
// refused with messages that say so ("the file is empty", "the file holds
// only white space", "the file is not XML").
// After the first error the reader stops: next() and everything that steps
// return false, has_error() is true and get_error() holds the message with
// its line number. A file that does not exist is not an error: the reader
// is simply empty (its first next() is false and has_error() is false),
// so a caller can tell a missing file from a broken one.
//
// Calling order: create, a first next() or skip_to_element() to reach the
// root, then read its attributes and descend with foreach_subtree(), whose
// callback looks at the current node and may descend again.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <libxml/xmlreader.h>
#include <libxml/xmlversion.h>

#include "common/c_resource.h"

namespace velkaro {

// Reads a decimal integer prefix of text: leading white space, an optional
// sign, then the digits up to the first other character; no digits give 0.
// The result is clamped into [min, max], so untrusted text can never
// overflow or leave the range the caller can handle.
int32_t parse_int_prefix(std::string_view text, int32_t min, int32_t max);
// The same prefix without clamping: nothing when the value does not fit in
// 32 bits.
std::optional<int32_t> parse_int_prefix_checked(std::string_view text);

class SerializingReader {
public:
  // A reader on the file at filename.
  static std::shared_ptr<SerializingReader> create(const std::string& filename);
  // A reader over a whole document held in text, for copies: get_for_copy()
  // is true. The reader keeps its own copy of the text.
  static std::shared_ptr<SerializingReader> create_memory_for_copy(std::string text);

  ~SerializingReader();
  SerializingReader(const SerializingReader&) = delete;
  SerializingReader& operator=(const SerializingReader&) = delete;

  // True for the memory reader; element readers take their own cell then.
  bool get_for_copy() const { return m_for_copy; }

  // Steps to the next start element, end element or text node. False at the
  // end of the input or on an error; the current node type then stays that
  // of the last node read.
  [[nodiscard]] bool next();
  // Moves, starting with the current node, to the first start element called
  // name. False when the input ended (or broke) first.
  [[nodiscard]] bool skip_to_element(const std::string& name);
  // Calls fn for every node inside the current start element, at any depth,
  // up to its end element, where the reader is left. Once fn has returned
  // false it is not called again, but the walk still goes on to the end
  // element; the result is then false. Also false, without moving, when the
  // current node is not a start element or is an empty element, and false
  // when the input ends or breaks before the end element.
  [[nodiscard]] bool foreach_subtree(const std::function<bool()>& fn);
  // Steps through the rest of the input; true when it ended without error.
  // A load calls it after reading what it wants, to refuse a document that
  // breaks after its root.
  [[nodiscard]] bool read_to_end();

  bool get_is_start_element() const { return m_type == XML_READER_TYPE_ELEMENT; }
  bool get_is_end_element() const { return m_type == XML_READER_TYPE_END_ELEMENT; }
  bool get_is_text() const { return m_type == XML_READER_TYPE_TEXT; }
  // The name of the current node; "" before the first node or without input.
  std::string get_name() const;
  // The unescaped value of an attribute of the current element, or nothing
  // when it has none of that name.
  std::optional<std::string> get_attribute(const std::string& name) const;
  // parse_int_prefix() of the attribute; a missing attribute reads as "".
  int32_t get_attribute_int(const std::string& name, int32_t min, int32_t max) const;
  // parse_int_prefix_checked() of the attribute, absent_text standing in for
  // a missing one. A value that does not fit in 32 bits stops the reader
  // with an error naming the attribute, the element and the line, and gives
  // nothing.
  std::optional<int32_t> get_attribute_int_checked(const std::string& name,
                                                   std::string_view absent_text);
  // For a text node its text; for a start element the text content of the
  // element ("" when it has none); "" for anything else.
  std::string get_text();
  // The name of the document's root element once next() has reached it;
  // "" before.
  const std::string& get_root_name() const { return m_root; }
  // The nesting depth of the current node (the root is at 0); -1 without input.
  int get_depth() const;

  bool has_error() const { return m_failed; }
  // The first error, "line N: message" for parse errors; "" when none.
  const std::string& get_error() const { return m_error; }
  // Stops the reader with message, prefixed by "line N: " for the line of
  // the current node. For content that parses but cannot be accepted.
  void fail_here(const std::string& message);
  // Stops the reader with message as it stands: for a fault of the whole
  // document rather than of one of its lines.
  void fail_document(const std::string& message);

private:
#if LIBXML_VERSION >= 21200
  using ErrorArg = const xmlError*;
#else
  using ErrorArg = xmlError*;
#endif

  explicit SerializingReader(bool for_copy);

  struct FileInput;

  void open_file(const std::string& filename);
  void open_memory();
  static int read_file(void* self, char* buffer, int len);
  void watch_errors();
  static void on_error(void* self, ErrorArg error);
  void fail(std::string message);

  bool m_for_copy;
  int m_type = 0;
  bool m_failed = false;
  std::string m_error;
  std::string m_root;
  // Inputs are declared before the reader, which reads them until it is freed.
  std::string m_text;
  std::unique_ptr<FileInput> m_input;
  CPtr<xmlTextReader, xmlFreeTextReader> m_reader;
};

} // namespace velkaro

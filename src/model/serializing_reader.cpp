#include "model/serializing_reader.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <climits>
#include <cstring>

#include <sys/stat.h>

#include <glib.h>

#include "model/xml_chars.h"

namespace velkaro {
namespace {

// No entity substitution, no DTD loading or validation, no huge documents
// (so libxml2's limits on depth, text size and entity expansion hold), no
// network access, and no encoding but UTF-8 whatever the document declares
// (so that RawTextCheck sees the markup as it is).
constexpr int parse_options = XML_PARSE_NONET | XML_PARSE_IGNORE_ENC;

void free_xml_char(xmlChar* p) { xmlFree(p); }
using XmlCharPtr = CPtr<xmlChar, free_xml_char>;

std::string to_string(const XmlCharPtr& p)
{
  return p ? std::string(reinterpret_cast<const char*>(p.get())) : std::string();
}

// An attribute's value as xmlGetNoNsProp() gives it: the one text node it
// usually is, else its nodes' text with references resolved.
std::optional<std::string> attribute_value(const xmlAttr& a)
{
  const xmlNode* child = a.children;
  if (!child)
    return std::string();
  if (!child->next && (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE)) {
    if (!child->content)
      return std::nullopt;
    return std::string(reinterpret_cast<const char*>(child->content));
  }
  XmlCharPtr value(xmlNodeListGetString(a.doc, child, 1));
  return value ? to_string(value) : std::string();
}

// Appends the text of node and its following siblings, descending into
// elements, as libxml2's reader collects an element's text: text and CDATA
// count, comments and processing instructions do not.
void gather_text(const xmlNode* node, std::string& text)
{
  for (; node; node = node->next) {
    if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
      if (node->content)
        text += reinterpret_cast<const char*>(node->content);
    } else if (node->type == XML_ELEMENT_NODE) {
      gather_text(node->children, text);
    }
  }
}

// Sends the errors libxml2 raises outside any reader's own handler (while a
// reader is made, and input errors while it reads) to fn instead of standard
// error, for as long as it lives.
class ErrorRedirect {
public:
  ErrorRedirect(void* context, xmlStructuredErrorFunc fn)
      : m_old_fn(xmlStructuredError), m_old_context(xmlStructuredErrorContext)
  {
    xmlSetStructuredErrorFunc(context, fn);
  }
  ~ErrorRedirect() { xmlSetStructuredErrorFunc(m_old_context, m_old_fn); }
  ErrorRedirect(const ErrorRedirect&) = delete;
  ErrorRedirect& operator=(const ErrorRedirect&) = delete;

private:
  xmlStructuredErrorFunc m_old_fn;
  void* m_old_context;
};

// Looks at the raw bytes of a document before libxml2 parses them, and
// refuses what the parser would otherwise get to first or misname: a
// document type declaration, whose internal subset libxml2 parses in full
// before the reader reaches the declaration (parameter entities there can
// expand without bound); text in an encoding that is not ASCII-compatible,
// where a declaration would not show as these bytes; and a file that is
// empty or does not start as XML, which libxml2 reports with messages about
// the end of a document.
class RawTextCheck {
public:
  // Takes the next piece of the document; false once it is refused.
  bool feed(std::string_view piece);
  // Called at the end of the input; false when the document is refused
  // because it held nothing but white space.
  bool finish();
  const std::string& get_error() const { return m_error; }

private:
  static constexpr std::string_view doctype = "<!DOCTYPE";
  static constexpr std::string_view bom = "\xEF\xBB\xBF";

  bool check_start(std::string_view piece);
  bool refuse(long line, const std::string& why);
  bool refuse(const std::string& why);

  bool m_started = false; // the first "<" was seen
  size_t m_bom = 0;       // bytes of the UTF-8 byte order mark seen
  bool m_blank = false;   // white space was seen before the first "<"
  std::string m_tail;     // the last bytes so far, for a keyword split between pieces
  long m_line = 1;        // the line the next piece starts on
  std::string m_error;
};

bool RawTextCheck::feed(std::string_view piece)
{
  if (!m_error.empty() || !check_start(piece))
    return false;
  if (const void* nul = std::memchr(piece.data(), 0, piece.size())) {
    const auto before = static_cast<const char*>(nul) - piece.data();
    return refuse(m_line + std::count(piece.begin(), piece.begin() + before, '\n'),
                  "the document is not UTF-8 text");
  }
  const std::string text = m_tail + std::string(piece);
  const size_t pos = text.find(doctype);
  if (pos != std::string::npos) {
    const long tail_lines = std::count(m_tail.begin(), m_tail.end(), '\n');
    return refuse(m_line - tail_lines + std::count(text.begin(), text.begin() + pos, '\n'),
                  "document type declarations are not accepted");
  }
  m_line += std::count(piece.begin(), piece.end(), '\n');
  m_tail = text.substr(text.size() - std::min(text.size(), doctype.size() - 1));
  return true;
}

bool RawTextCheck::finish()
{
  if (!m_error.empty())
    return false;
  if (m_started)
    return true;
  if (m_bom != 0 && m_bom != bom.size())
    return refuse(1, "the document is not UTF-8 text");
  return refuse(m_blank ? "the file holds only white space" : "the file is empty");
}

// After an optional UTF-8 byte order mark and white space, an XML document
// starts with "<". A document in UTF-16 or UTF-32 starts with a zero byte
// or a byte order mark no UTF-8 text holds, one in EBCDIC with "<?xm" in its
// own bytes; anything else is text that is not XML.
bool RawTextCheck::check_start(std::string_view piece)
{
  static constexpr std::string_view ebcdic_start = "\x4C\x6F\xA7\x94";
  for (size_t i = 0; i < piece.size() && !m_started; ++i) {
    const char c = piece[i];
    if (!m_blank && m_bom < bom.size() && c == bom[m_bom]) {
      ++m_bom;
      continue;
    }
    if (m_bom != 0 && m_bom != bom.size())
      return refuse(1, "the document is not UTF-8 text");
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      m_blank = true;
      continue;
    }
    if (c == '<') {
      m_started = true;
      break;
    }
    if (c == '\0' || c == '\xFE' || c == '\xFF' || piece.substr(i).starts_with(ebcdic_start))
      return refuse(1, "the document is not UTF-8 text");
    return refuse("the file is not XML");
  }
  return true;
}

bool RawTextCheck::refuse(long line, const std::string& why)
{
  return refuse("line " + std::to_string(line) + ": " + why);
}

bool RawTextCheck::refuse(const std::string& why)
{
  m_error = why;
  return false;
}

} // namespace

// The file a reader reads, and the check its bytes pass on the way.
struct SerializingReader::FileInput {
  std::string path;
  CPtr<FILE, fclose> file;
  RawTextCheck check;
};

namespace {

// The integer at the start of text: blanks, an optional sign, then digits.
// Its magnitude stops growing one past INT32_MAX, where every longer number
// clamps alike; too_long tells that it went beyond.
struct IntPrefix {
  int64_t value = 0;
  bool too_long = false;
};

IntPrefix scan_int_prefix(std::string_view text)
{
  constexpr int64_t limit = int64_t{INT32_MAX} + 1;
  size_t i = 0;
  while (i < text.size() && g_ascii_isspace(text[i]))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-'))
    negative = text[i++] == '-';
  IntPrefix prefix;
  for (; i < text.size() && g_ascii_isdigit(text[i]); ++i) {
    prefix.value = prefix.value * 10 + (text[i] - '0');
    if (prefix.value > limit) {
      prefix.value = limit;
      prefix.too_long = true;
    }
  }
  if (negative)
    prefix.value = -prefix.value;
  return prefix;
}

} // namespace

int32_t parse_int_prefix(std::string_view text, int32_t min, int32_t max)
{
  assert(min <= max);
  return static_cast<int32_t>(std::clamp<int64_t>(scan_int_prefix(text).value, min, max));
}

std::optional<int32_t> parse_int_prefix_checked(std::string_view text)
{
  const IntPrefix prefix = scan_int_prefix(text);
  if (prefix.too_long || prefix.value < INT32_MIN || prefix.value > INT32_MAX)
    return std::nullopt;
  return static_cast<int32_t>(prefix.value);
}

std::shared_ptr<SerializingReader> SerializingReader::create(const std::string& filename)
{
  std::shared_ptr<SerializingReader> reader(new SerializingReader(false));
  reader->open_file(filename);
  return reader;
}

std::shared_ptr<SerializingReader> SerializingReader::create_memory_for_copy(std::string text)
{
  std::shared_ptr<SerializingReader> reader(new SerializingReader(true));
  reader->m_text = std::move(text);
  reader->open_memory();
  return reader;
}

SerializingReader::SerializingReader(bool for_copy) : m_for_copy(for_copy) {}

SerializingReader::~SerializingReader()
{
  m_reader.reset();
}

void SerializingReader::open_file(const std::string& filename)
{
  // The file is opened here rather than by libxml2, which would also take
  // "-" for standard input and try URI-unescaped variants of a missing name,
  // and its bytes reach the parser through read_file(), which checks them.
  // Only regular files are documents; opening a FIFO would block until
  // someone writes to it, and a device may never end.
  struct stat before {};
  if (::stat(filename.c_str(), &before) == 0 && !S_ISREG(before.st_mode)) {
    fail("cannot read \"" + filename + "\": " + (S_ISDIR(before.st_mode) ? g_strerror(EISDIR) : "not a regular file"));
    return;
  }
  auto input = std::make_unique<FileInput>();
  input->path = filename;
  input->file.reset(std::fopen(filename.c_str(), "rbe"));
  if (!input->file) {
    const int err = errno;
    if (err != ENOENT && err != ENOTDIR)
      fail("cannot open \"" + filename + "\": " + g_strerror(err));
    return;
  }
  struct stat info {};
  if (fstat(fileno(input->file.get()), &info) == 0 && !S_ISREG(info.st_mode)) {
    fail("cannot read \"" + filename + "\": " + (S_ISDIR(info.st_mode) ? g_strerror(EISDIR) : "not a regular file"));
    return;
  }
  m_input = std::move(input);
  ErrorRedirect redirect(this, &on_error);
  m_reader.reset(xmlReaderForIO(&SerializingReader::read_file, nullptr, this, filename.c_str(),
                                nullptr, parse_options));
  if (!m_reader)
    fail("cannot read \"" + filename + "\"");
  else
    watch_errors();
}

int SerializingReader::read_file(void* self, char* buffer, int len)
{
  auto* reader = static_cast<SerializingReader*>(self);
  FileInput& input = *reader->m_input;
  const size_t n = std::fread(buffer, 1, static_cast<size_t>(std::max(len, 0)), input.file.get());
  if (n == 0 && std::ferror(input.file.get())) {
    const int err = errno;
    reader->fail("cannot read \"" + input.path + "\": " + g_strerror(err));
    return -1;
  }
  if (n == 0 ? !input.check.finish() : !input.check.feed({buffer, n})) {
    reader->fail(input.check.get_error());
    return -1;
  }
  return static_cast<int>(n);
}

void SerializingReader::open_memory()
{
  if (m_text.size() > INT_MAX) {
    fail("the document is too large");
    return;
  }
  RawTextCheck check;
  if (!check.feed(m_text) || !check.finish()) {
    fail(check.get_error());
    return;
  }
  ErrorRedirect redirect(this, &on_error);
  m_reader.reset(xmlReaderForMemory(m_text.data(), static_cast<int>(m_text.size()), "", nullptr,
                                    parse_options));
  if (!m_reader)
    fail("cannot read the document");
  else
    watch_errors();
}

void SerializingReader::watch_errors()
{
  xmlTextReaderSetStructuredErrorHandler(m_reader.get(), &on_error, this);
}

void SerializingReader::on_error(void* self, ErrorArg error)
{
  if (!error || error->level < XML_ERR_ERROR)
    return; // warnings do not stop a document
  // libxml2's messages can run over several lines; keep one.
  std::string message;
  for (const char* p = error->message ? error->message : "unknown error"; *p; ++p) {
    if (!g_ascii_isspace(*p))
      message += *p;
    else if (!message.empty() && message.back() != ' ')
      message += ' ';
  }
  if (!message.empty() && message.back() == ' ')
    message.pop_back();
  if (error->line > 0)
    message = "line " + std::to_string(error->line) + ": " + message;
  static_cast<SerializingReader*>(self)->fail(std::move(message));
}

bool SerializingReader::next()
{
  if (!m_reader || m_failed)
    return false;
  ErrorRedirect redirect(this, &on_error);
  for (;;) {
    const int result = xmlTextReaderRead(m_reader.get());
    if (result < 0)
      fail_here("the document cannot be read");
    if (result < 1 || m_failed)
      return false;
    const int type = xmlTextReaderNodeType(m_reader.get());
    if (type == XML_READER_TYPE_DOCUMENT_TYPE || type == XML_READER_TYPE_ENTITY_REFERENCE) {
      // Our documents have neither; refusing them keeps entity expansion and
      // external files out of reach. (RawTextCheck stops most of them sooner.)
      fail_here("document type declarations and entity references are not accepted");
      return false;
    }
    m_type = type;
    if (get_is_start_element() && m_root.empty() && get_depth() == 0)
      m_root = get_name();
    if (get_is_start_element() || get_is_end_element() || get_is_text())
      return true;
  }
}

bool SerializingReader::skip_to_element(const std::string& name)
{
  while (!(get_is_start_element() && get_name() == name))
    if (!next())
      return false;
  return true;
}

bool SerializingReader::foreach_subtree(const std::function<bool()>& fn)
{
  if (!m_reader || !get_is_start_element() || xmlTextReaderIsEmptyElement(m_reader.get()) == 1)
    return false;
  const int depth = get_depth();
  bool result = true;
  for (;;) {
    if (!next())
      return false; // the input ended or broke inside the element
    if (get_is_end_element() && get_depth() == depth)
      return result;
    if (result)
      result = fn();
  }
}

bool SerializingReader::read_to_end()
{
  while (next()) {
  }
  return !m_failed;
}

std::string SerializingReader::get_name() const
{
  if (!m_reader)
    return {};
  const xmlChar* name = xmlTextReaderConstName(m_reader.get());
  return name ? reinterpret_cast<const char*>(name) : std::string();
}

std::optional<std::string> SerializingReader::get_attribute(const std::string& name) const
{
  if (!m_reader)
    return std::nullopt;
  if (const xmlNode* node = xmlTextReaderCurrentNode(m_reader.get());
      node && name.find(':') == std::string::npos && name != "xmlns" &&
      !(node->doc && node->doc->intSubset)) {
    // Read in place, as xmlTextReaderGetAttribute() finds an attribute
    // without a namespace, and without the copy it makes.
    if (node->type != XML_ELEMENT_NODE)
      return std::nullopt;
    for (const xmlAttr* a = node->properties; a; a = a->next)
      if (!a->ns && xmlStrEqual(a->name, xml_chars(name)))
        return attribute_value(*a);
    return std::nullopt;
  }
  XmlCharPtr value(xmlTextReaderGetAttribute(m_reader.get(), xml_chars(name)));
  if (!value)
    return std::nullopt;
  return to_string(value);
}

int32_t SerializingReader::get_attribute_int(const std::string& name, int32_t min,
                                             int32_t max) const
{
  return parse_int_prefix(get_attribute(name).value_or(""), min, max);
}

std::optional<int32_t> SerializingReader::get_attribute_int_checked(const std::string& name,
                                                                   std::string_view absent_text)
{
  const std::optional<std::string> text = get_attribute(name);
  const std::optional<int32_t> value = parse_int_prefix_checked(text ? *text : absent_text);
  if (!value)
    fail_here("\"" + name + "\" of <" + get_name() + "> does not fit in 32 bits");
  return value;
}

std::string SerializingReader::get_text()
{
  if (!m_reader || m_failed)
    return {};
  if (get_is_text())
    return to_string(XmlCharPtr(xmlTextReaderValue(m_reader.get())));
  if (get_is_start_element()) { // reads ahead to the end of the element
    ErrorRedirect redirect(this, &on_error);
    // What xmlTextReaderReadString() gives, gathered without its buffers.
    const xmlNode* node = xmlTextReaderCurrentNode(m_reader.get());
    if (!node || node->type != XML_ELEMENT_NODE || !xmlTextReaderExpand(m_reader.get()))
      return {};
    std::string text;
    gather_text(node->children, text);
    return text;
  }
  return {};
}

int SerializingReader::get_depth() const
{
  return m_reader ? xmlTextReaderDepth(m_reader.get()) : -1;
}

void SerializingReader::fail(std::string message)
{
  if (m_failed)
    return;
  m_failed = true;
  m_error = std::move(message);
}

void SerializingReader::fail_document(const std::string& message)
{
  fail(message);
}

void SerializingReader::fail_here(const std::string& message)
{
  // The node's own line where libxml2 kept it; the parser may have read ahead.
  xmlNodePtr node = m_reader ? xmlTextReaderCurrentNode(m_reader.get()) : nullptr;
  long line = node ? xmlGetLineNo(node) : -1;
  if (line <= 0 && m_reader)
    line = xmlTextReaderGetParserLineNumber(m_reader.get());
  fail(line > 0 ? "line " + std::to_string(line) + ": " + message : message);
}

} // namespace velkaro

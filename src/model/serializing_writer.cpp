#include "model/serializing_writer.h"

#include <cerrno>
#include <new>

#include <unistd.h>

#include <glib.h>

#include "model/xml_chars.h"

namespace velkaro {
namespace {

// The characters XML 1.0 allows in a document.
bool is_xml_char(gunichar c)
{
  return c == 0x9 || c == 0xA || c == 0xD || (0x20 <= c && c <= 0xD7FF) ||
         (0xE000 <= c && c <= 0xFFFD) || (0x10000 <= c && c <= 0x10FFFF);
}

// text without the characters XML 1.0 does not allow; bytes that do not form
// valid UTF-8 become U+FFFD. libxml2 would write both as they are, and its own
// parser would then refuse the document.
std::string to_xml_text(std::string_view text)
{
  static constexpr std::string_view replacement = "\xEF\xBF\xBD";
  std::string out;
  out.reserve(text.size());
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    const auto byte = static_cast<unsigned char>(*p);
    if (byte < 0x80) {
      if (is_xml_char(byte))
        out += *p;
      ++p;
      continue;
    }
    const gunichar c = g_utf8_get_char_validated(p, end - p);
    if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2)) {
      out += replacement;
      ++p;
      continue;
    }
    const char* next = g_utf8_next_char(p);
    if (is_xml_char(c))
      out.append(p, next);
    p = next;
  }
  return out;
}

// libxml2 writes any name as it is; one that is not an XML name would make a
// document that no reader accepts. Our documents use no namespaces, so a
// prefixed name ("x:y") would be refused too.
bool is_xml_name(const std::string& name)
{
  return name.find('\0') == std::string::npos && xmlValidateNCName(xml_chars(name), 0) == 0;
}

} // namespace

std::shared_ptr<SerializingWriter> SerializingWriter::create(const std::string& path)
{
  std::shared_ptr<SerializingWriter> writer(new SerializingWriter(false));
  writer->open_file(path);
  return writer;
}

std::shared_ptr<SerializingWriter> SerializingWriter::create_memory_for_copy()
{
  std::shared_ptr<SerializingWriter> writer(new SerializingWriter(true));
  writer->open_memory();
  return writer;
}

SerializingWriter::~SerializingWriter()
{
  // The writer flushes into the file or buffer while it is freed.
  m_writer.reset();
}

std::shared_ptr<SerializingWriter> SerializingWriter::create_on_descriptor(int fd,
                                                                           const std::string& path)
{
  std::shared_ptr<SerializingWriter> writer(new SerializingWriter(false));
  writer->m_path = path;
  writer->m_file.reset(fdopen(fd, "wb"));
  if (!writer->m_file) {
    const int err = errno;
    close(fd);
    writer->fail("cannot open \"" + path + "\": " + g_strerror(err));
    return writer;
  }
  writer->open_output();
  return writer;
}

void SerializingWriter::open_file(const std::string& path)
{
  m_path = path;
  m_file.reset(std::fopen(path.c_str(), "wbe"));
  if (!m_file) {
    const int err = errno;
    fail("cannot open \"" + path + "\": " + g_strerror(err));
    return;
  }
  open_output();
}

void SerializingWriter::open_output()
{
  // Our own output callback, so that every failed write is seen here.
  xmlOutputBufferPtr out = xmlOutputBufferCreateIO(&SerializingWriter::write_to_file, nullptr,
                                                   this, nullptr);
  if (!out)
    throw std::bad_alloc();
  m_writer.reset(xmlNewTextWriter(out));
  if (!m_writer) {
    xmlOutputBufferClose(out);
    throw std::bad_alloc();
  }
  start_document();
}

void SerializingWriter::open_memory()
{
  m_buffer.reset(xmlBufferCreate());
  if (!m_buffer)
    throw std::bad_alloc();
  m_writer.reset(xmlNewTextWriterMemory(m_buffer.get(), 0));
  if (!m_writer)
    throw std::bad_alloc();
  start_document();
}

void SerializingWriter::start_document()
{
  check(xmlTextWriterSetIndent(m_writer.get(), 1), "indentation");
  check(xmlTextWriterStartDocument(m_writer.get(), "1.0", "UTF-8", nullptr), "document start");
}

int SerializingWriter::write_to_file(void* context, const char* buffer, int len)
{
  auto* self = static_cast<SerializingWriter*>(context);
  if (len > 0 && std::fwrite(buffer, 1, len, self->m_file.get()) != static_cast<size_t>(len)) {
    const int err = errno;
    self->fail("cannot write \"" + self->m_path + "\": " + g_strerror(err));
    return -1;
  }
  return len;
}

bool SerializingWriter::start_element(const std::string& name)
{
  if (!m_writer)
    return check(-1, "element " + name);
  if (!is_xml_name(name))
    return refuse_name("element", name);
  m_attributes.clear();
  return check(xmlTextWriterStartElement(m_writer.get(), xml_chars(name)), "element " + name);
}

bool SerializingWriter::end_element()
{
  if (!m_writer)
    return check(-1, "end of element");
  return check(xmlTextWriterEndElement(m_writer.get()), "end of element");
}

bool SerializingWriter::write_attribute(const std::string& name, const std::string& content)
{
  if (!m_writer)
    return check(-1, "attribute " + name);
  if (!is_xml_name(name))
    return refuse_name("attribute", name);
  // libxml2 would write it again; readers refuse an element that has an
  // attribute twice.
  if (!m_attributes.insert(name).second) {
    fail("attribute \"" + name + "\" written twice on one element");
    return false;
  }
  const std::string value = to_xml_text(content);
  return check(xmlTextWriterWriteAttribute(m_writer.get(), xml_chars(name), xml_chars(value)),
               "attribute " + name);
}

void SerializingWriter::write_int_attribute(const std::string& name, int64_t value)
{
  (void)write_attribute(name, std::to_string(value));
}

bool SerializingWriter::write_text(const std::string& content)
{
  if (!m_writer)
    return check(-1, "text");
  const std::string text = to_xml_text(content);
  return check(xmlTextWriterWriteString(m_writer.get(), xml_chars(text)), "text");
}

void SerializingWriter::write_element(const std::string& name, const std::function<void()>& fn)
{
  (void)start_element(name);
  if (fn)
    fn();
  (void)end_element();
}

bool SerializingWriter::finish()
{
  if (!m_writer)
    return check(-1, "end of document");
  check(xmlTextWriterEndDocument(m_writer.get()), "end of document");
  m_writer.reset();
  if (m_file) {
    FILE* file = m_file.release();
    if (std::fflush(file) != 0 || std::ferror(file)) {
      const int err = errno;
      fail("cannot write \"" + m_path + "\": " + g_strerror(err));
    } else if (fsync(fileno(file)) != 0 && errno != EINVAL && errno != EROFS) {
      // (Pipes and special files cannot be synced; nothing is lost there.)
      const int err = errno;
      fail("cannot write \"" + m_path + "\" to the disk: " + g_strerror(err));
    }
    if (std::fclose(file) != 0) {
      const int err = errno;
      fail("cannot close \"" + m_path + "\": " + g_strerror(err));
    }
  }
  return !m_failed;
}

std::string SerializingWriter::get_text() const
{
  if (!m_buffer)
    return {};
  return std::string(reinterpret_cast<const char*>(xmlBufferContent(m_buffer.get())),
                     xmlBufferLength(m_buffer.get()));
}

bool SerializingWriter::check(int result, std::string_view what)
{
  if (result >= 0)
    return true;
  if (!m_writer)
    fail(std::string(what) + ": nothing can be written (no output, or the document is finished)");
  else
    fail(std::string(what) + ": writing failed");
  return false;
}

bool SerializingWriter::refuse_name(std::string_view kind, const std::string& name)
{
  fail(std::string(kind) + " \"" + name + "\": not an XML name");
  return false;
}

void SerializingWriter::fail(std::string message)
{
  if (m_failed)
    return;
  m_failed = true;
  m_error = std::move(message);
}

} // namespace velkaro

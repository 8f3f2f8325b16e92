#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>

#include <gtest/gtest.h>
#include <libxml/xmlreader.h>

#include "model/iserializable.h"
#include "model/serializing_reader.h"
#include "model/serializing_writer.h"
#include "support/test_env.h"

namespace velkaro {
namespace {

std::string read_file(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void write_file(const std::string& path, const std::string& text)
{
  std::ofstream(path, std::ios::binary) << text;
}

// Text with everything that needs escaping, and more than ASCII.
const std::string tricky = "a < b && \"q\" 'z' > c \xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80 \t\r\n end";

// A small document in the shape of the editor's files.
struct SampleDoc : ISerializable {
  bool write(SerializingWriter& w) override
  {
    bool ok = w.start_element("workspace");
    ok = ok && w.start_element("element_cells");
    ok = ok && w.start_element("cell") && w.write_attribute("h", "1") && w.write_attribute("v", "2");
    ok = ok && w.start_element("text") && w.write_attribute("label", tricky) &&
         w.write_text(tricky) && w.end_element();
    ok = ok && w.end_element();
    ok = ok && w.start_element("cell") && w.end_element(); // written as an empty tag
    ok = ok && w.end_element() && w.end_element();
    return ok;
  }

  // Reads back what write() wrote, the way element readers walk a document.
  bool read(SerializingReader& r) override
  {
    if (!r.skip_to_element("workspace"))
      return false;
    return r.foreach_subtree([&] {
      if (!r.get_is_start_element())
        return true;
      const std::string name = r.get_name();
      if (name == "cell") {
        cells.push_back(r.get_attribute("h").value_or("-") + "," + r.get_attribute("v").value_or("-"));
      } else if (name == "text") {
        label = r.get_attribute("label").value_or("");
        text_content = r.get_text();
        return r.foreach_subtree([&] {
          if (r.get_is_text())
            text = r.get_text();
          return true;
        });
      }
      return true;
    });
  }

  std::vector<std::string> cells;
  std::string label;
  std::string text;
  std::string text_content;
};

const char* const sample_text =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<workspace>\n"
    " <element_cells>\n"
    "  <cell h=\"1\" v=\"2\">\n"
    "   <text label=\"a &lt; b &amp;&amp; &quot;q&quot; 'z' &gt; c \xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80 "
    "&#9;&#13;&#10; end\">a &lt; b &amp;&amp; &quot;q&quot; 'z' &gt; c \xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80 "
    "\t&#13;\n end</text>\n"
    "  </cell>\n"
    "  <cell/>\n"
    " </element_cells>\n"
    "</workspace>\n";

void expect_sample_read_back(SerializingReader& reader)
{
  SampleDoc doc;
  EXPECT_TRUE(doc.read(reader)) << reader.get_error();
  EXPECT_FALSE(reader.has_error()) << reader.get_error();
  EXPECT_EQ(doc.cells, (std::vector<std::string>{"1,2", "-,-"}));
  EXPECT_EQ(doc.label, tricky);
  EXPECT_EQ(doc.text, tricky);
  EXPECT_EQ(doc.text_content, tricky);
  EXPECT_TRUE(reader.get_is_end_element());
  EXPECT_EQ(reader.get_name(), "workspace");
  EXPECT_TRUE(reader.read_to_end());
}

TEST(Serializing, MemoryRoundTripKeepsDeclarationIndentationAndText)
{
  auto writer = SerializingWriter::create_memory_for_copy();
  EXPECT_TRUE(writer->get_for_copy());
  SampleDoc doc;
  ASSERT_TRUE(doc.write(*writer));
  ASSERT_TRUE(writer->finish()) << writer->get_error();
  EXPECT_EQ(writer->get_text(), sample_text);

  auto reader = SerializingReader::create_memory_for_copy(writer->get_text());
  EXPECT_TRUE(reader->get_for_copy());
  expect_sample_read_back(*reader);
}

TEST(Serializing, FileRoundTripWritesTheSameDocument)
{
  test::TempDir dir;
  const std::string path = dir.file("doc.xml");
  write_file(path, "old and longer content that the writer must truncate away .........");
  auto writer = SerializingWriter::create(path);
  EXPECT_FALSE(writer->get_for_copy());
  SampleDoc doc;
  ASSERT_TRUE(doc.write(*writer));
  ASSERT_TRUE(writer->finish()) << writer->get_error();
  EXPECT_FALSE(writer->has_error());
  EXPECT_EQ(writer->get_text(), "");
  EXPECT_EQ(read_file(path), sample_text);

  auto reader = SerializingReader::create(path);
  EXPECT_FALSE(reader->get_for_copy());
  expect_sample_read_back(*reader);
}

TEST(Serializing, WriteElementWrapsTheCallback)
{
  auto writer = SerializingWriter::create_memory_for_copy();
  writer->write_element("a", [&] {
    EXPECT_TRUE(writer->write_attribute("k", "1"));
    writer->write_element("b", {});
  });
  ASSERT_TRUE(writer->finish());
  EXPECT_EQ(writer->get_text(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a k=\"1\">\n <b/>\n</a>\n");
}

TEST(Serializing, CharactersXmlDoesNotAllowAreLeftOutSoTheDocumentReadsBack)
{
  // libxml2 writes control characters as they are and its parser then
  // refuses the document; bytes that are not UTF-8 would be refused too.
  const std::string raw = std::string("a\x01" "b\x0B\x1F" "c\x7F" "d") + '\0' +
                          "e\xEF\xBF\xBE" "f\xFF" "g\xE6\x97" "\t\n\r";
  // DEL is allowed; U+FFFE and U+0000 go; broken UTF-8 becomes U+FFFD per byte.
  const std::string expected = "abc\x7F" "def\xEF\xBF\xBD" "g\xEF\xBF\xBD\xEF\xBF\xBD\t\n\r";
  auto writer = SerializingWriter::create_memory_for_copy();
  EXPECT_TRUE(writer->start_element("t"));
  EXPECT_TRUE(writer->write_attribute("a", raw));
  EXPECT_TRUE(writer->write_text(raw));
  EXPECT_TRUE(writer->end_element());
  ASSERT_TRUE(writer->finish());

  auto reader = SerializingReader::create_memory_for_copy(writer->get_text());
  ASSERT_TRUE(reader->next()) << reader->get_error();
  EXPECT_EQ(reader->get_attribute("a"), expected);
  EXPECT_EQ(reader->get_text(), expected);
  EXPECT_TRUE(reader->read_to_end()) << reader->get_error();
}

TEST(Serializing, ReaderStepsOnlyOverStartEndAndTextNodes)
{
  auto reader = SerializingReader::create_memory_for_copy(
      "<?xml version=\"1.0\"?>\n<!-- c -->\n<a x=\"1\"><?pi y?><b/><![CDATA[skipped]]>t<c>"
      "</c><!-- c --></a>\n");
  std::vector<std::string> nodes;
  EXPECT_EQ(reader->get_text(), "") << "nothing before the first step";
  while (reader->next()) {
    std::string kind = reader->get_is_start_element() ? "start" : reader->get_is_end_element() ? "end" : "text";
    nodes.push_back(kind + " " + reader->get_name() + " " + std::to_string(reader->get_depth()));
  }
  EXPECT_FALSE(reader->has_error()) << reader->get_error();
  EXPECT_EQ(nodes, (std::vector<std::string>{"start a 0", "start b 1", "text #text 1", "start c 1",
                                             "end c 1", "end a 0"}));
  // The type of the last node read stays.
  EXPECT_TRUE(reader->get_is_end_element());
  EXPECT_FALSE(reader->next());
  EXPECT_TRUE(reader->get_is_end_element());
}

TEST(Serializing, ForeachSubtreeWalksToTheEndElement)
{
  const std::string doc = "<r><empty/><bare></bare><full><x><y>1</y></x><z/></full><after/></r>";
  auto reader = SerializingReader::create_memory_for_copy(doc);
  int calls = 0;
  auto count = [&] { return ++calls, true; };

  ASSERT_TRUE(reader->skip_to_element("empty"));
  EXPECT_FALSE(reader->foreach_subtree(count)) << "an empty tag has no subtree";
  EXPECT_EQ(reader->get_name(), "empty");
  EXPECT_TRUE(reader->get_is_start_element());

  ASSERT_TRUE(reader->skip_to_element("bare"));
  EXPECT_TRUE(reader->skip_to_element("bare")) << "standing on it: found without moving";
  EXPECT_TRUE(reader->foreach_subtree(count));
  EXPECT_EQ(calls, 0);
  EXPECT_TRUE(reader->get_is_end_element());
  EXPECT_EQ(reader->get_name(), "bare");
  EXPECT_EQ(reader->get_text(), "") << "an end element has no text";

  // A false on the first call: no more calls, but the walk still ends on </full>.
  ASSERT_TRUE(reader->skip_to_element("full"));
  EXPECT_FALSE(reader->foreach_subtree([&] { return ++calls, false; }));
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(reader->get_is_end_element());
  EXPECT_EQ(reader->get_name(), "full");
  ASSERT_TRUE(reader->next());
  EXPECT_EQ(reader->get_name(), "after");

  EXPECT_FALSE(reader->skip_to_element("nowhere"));
  EXPECT_FALSE(reader->has_error());
}

TEST(Serializing, NestedSubtreeWalksConsumeTheirElements)
{
  auto reader = SerializingReader::create_memory_for_copy(
      "<r><x><y>1</y><y>2</y></x><y>3</y></r>");
  ASSERT_TRUE(reader->next());
  std::vector<std::string> outer;
  std::vector<std::string> inner;
  EXPECT_TRUE(reader->foreach_subtree([&] {
    if (reader->get_is_start_element() && reader->get_name() == "x")
      return reader->foreach_subtree([&] {
        if (reader->get_is_text())
          inner.push_back(reader->get_text());
        return true;
      });
    if (reader->get_is_text())
      outer.push_back(reader->get_text());
    return true;
  }));
  EXPECT_EQ(inner, (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(outer, (std::vector<std::string>{"3"}));
  EXPECT_EQ(reader->get_name(), "r");
}

TEST(Serializing, AnErrorInsideASubtreeIsNotASuccess)
{
  // Padded so that the error lies beyond what the reader parses ahead.
  std::string doc = "<r><a>1</a>";
  for (int i = 0; i < 5000; ++i)
    doc += "<p/>";
  auto reader = SerializingReader::create_memory_for_copy(doc + "<b>2</r>");
  ASSERT_TRUE(reader->next()) << reader->get_error();
  std::vector<std::string> seen;
  EXPECT_FALSE(reader->foreach_subtree([&] {
    seen.push_back(reader->get_name());
    return true;
  }));
  EXPECT_TRUE(reader->has_error());
  EXPECT_NE(reader->get_error().find("line 1: "), std::string::npos) << reader->get_error();
  EXPECT_FALSE(reader->next());
  EXPECT_FALSE(reader->read_to_end());
}

TEST(Serializing, ReaderOfAMissingFileIsEmptyWithoutError)
{
  test::TempDir dir;
  for (const std::string& path : {dir.file("missing.xml"), dir.file("no/such/dir.xml"), std::string()}) {
    auto reader = SerializingReader::create(path);
    EXPECT_FALSE(reader->next()) << path;
    EXPECT_FALSE(reader->has_error()) << path << ": " << reader->get_error();
    EXPECT_FALSE(reader->skip_to_element("workspace"));
    EXPECT_FALSE(reader->foreach_subtree([] { return true; }));
    EXPECT_EQ(reader->get_name(), "");
    EXPECT_EQ(reader->get_attribute("h"), std::nullopt);
    EXPECT_EQ(reader->get_depth(), -1);
    EXPECT_EQ(reader->get_text(), "");
    EXPECT_TRUE(reader->read_to_end());
  }
}

TEST(Serializing, FilesThatExistButAreNoDocumentsAreErrors)
{
  test::TempDir dir;
  write_file(dir.file("empty.xml"), "");
  // Big enough that the error lies beyond what the reader parses ahead.
  std::string trailing = "<?xml version=\"1.0\"?>\n<a>";
  for (int i = 0; i < 5000; ++i)
    trailing += "<x/>";
  write_file(dir.file("trailing.xml"), trailing + "</a>\n<b/>\n");
  // A FIFO nobody writes to must be refused at once, not block the open.
  ASSERT_EQ(mkfifo(dir.file("fifo.xml").c_str(), 0600), 0);
  for (const std::string& path : {dir.file("empty.xml"), dir.path().string(), dir.file("fifo.xml"),
                                  std::string("/dev/zero")}) {
    auto reader = SerializingReader::create(path);
    EXPECT_FALSE(reader->next()) << path;
    EXPECT_TRUE(reader->has_error()) << path;
    EXPECT_FALSE(reader->get_error().empty()) << path;
  }
  // Broken after the root: what the caller reads comes first, read_to_end() refuses.
  auto reader = SerializingReader::create(dir.file("trailing.xml"));
  ASSERT_TRUE(reader->skip_to_element("a")) << reader->get_error();
  EXPECT_FALSE(reader->read_to_end());
  EXPECT_NE(reader->get_error().find("line 3: "), std::string::npos) << reader->get_error();
}

TEST(Serializing, WriterWithoutAFileFailsEveryOperation)
{
  test::TempDir dir;
  const std::string path = dir.file("no/such/dir/doc.xml");
  auto writer = SerializingWriter::create(path);
  EXPECT_TRUE(writer->has_error());
  EXPECT_NE(writer->get_error().find(path), std::string::npos) << writer->get_error();
  EXPECT_FALSE(writer->start_element("a"));
  EXPECT_FALSE(writer->write_attribute("k", "v"));
  EXPECT_FALSE(writer->write_text("t"));
  EXPECT_FALSE(writer->end_element());
  EXPECT_FALSE(writer->finish());

  auto unnamed = SerializingWriter::create("");
  EXPECT_FALSE(unnamed->finish());
}

TEST(Serializing, WriterReportsAFailedWriteAtFinish)
{
  // Every write to /dev/full fails with "no space left".
  auto writer = SerializingWriter::create("/dev/full");
  if (writer->has_error())
    GTEST_SKIP() << "/dev/full cannot be opened here: " << writer->get_error();
  EXPECT_TRUE(writer->start_element("a"));
  EXPECT_TRUE(writer->write_text("small enough to stay in the buffer"));
  EXPECT_FALSE(writer->finish());
  EXPECT_TRUE(writer->has_error());
  EXPECT_NE(writer->get_error().find("/dev/full"), std::string::npos) << writer->get_error();
}

TEST(Serializing, MisuseOfTheWriterIsAFailure)
{
  auto closing_nothing = SerializingWriter::create_memory_for_copy();
  EXPECT_FALSE(closing_nothing->end_element());
  EXPECT_FALSE(closing_nothing->finish());

  auto late_attribute = SerializingWriter::create_memory_for_copy();
  EXPECT_TRUE(late_attribute->start_element("a"));
  EXPECT_TRUE(late_attribute->write_text("t"));
  EXPECT_FALSE(late_attribute->write_attribute("k", "v"));
  EXPECT_FALSE(late_attribute->finish());

  // finish() closes what is open; nothing is written afterwards.
  auto finished = SerializingWriter::create_memory_for_copy();
  EXPECT_TRUE(finished->start_element("a"));
  EXPECT_TRUE(finished->start_element("b"));
  EXPECT_TRUE(finished->finish());
  EXPECT_EQ(finished->get_text(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a>\n <b/>\n</a>\n");
  EXPECT_FALSE(finished->start_element("c"));
  EXPECT_FALSE(finished->finish());
  EXPECT_EQ(finished->get_text(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a>\n <b/>\n</a>\n");
}

TEST(Serializing, NamesThatAreNotXmlNamesFailInsteadOfBreakingTheDocument)
{
  const std::string bad_names[] = {"", "a b", "a<", "1a", "a>b", "-a", "a\"", "a=b", std::string("a\0b", 3),
                                   "\xFF", "x:y", ":a"};
  for (const std::string& name : bad_names) {
    auto element = SerializingWriter::create_memory_for_copy();
    EXPECT_FALSE(element->start_element(name)) << '"' << name << '"';
    EXPECT_FALSE(element->finish()) << '"' << name << '"';
    EXPECT_FALSE(element->get_error().empty());

    auto attribute = SerializingWriter::create_memory_for_copy();
    EXPECT_TRUE(attribute->start_element("a"));
    EXPECT_FALSE(attribute->write_attribute(name, "v")) << '"' << name << '"';
    EXPECT_FALSE(attribute->finish()) << '"' << name << '"';
  }

  auto twice = SerializingWriter::create_memory_for_copy();
  EXPECT_TRUE(twice->start_element("a"));
  EXPECT_TRUE(twice->write_attribute("h", "1"));
  EXPECT_FALSE(twice->write_attribute("h", "2"));
  EXPECT_FALSE(twice->finish());
  EXPECT_NE(twice->get_error().find("\"h\""), std::string::npos) << twice->get_error();

  // Whatever a writer accepts, a reader reads back; each element has its own attributes.
  auto writer = SerializingWriter::create_memory_for_copy();
  EXPECT_TRUE(writer->start_element("element_cells"));
  EXPECT_TRUE(writer->write_attribute("_x", "1"));
  EXPECT_TRUE(writer->start_element("\xC3\xA9t\xC3\xA9_2.a-b"));
  EXPECT_TRUE(writer->write_attribute("_x", "2"));
  ASSERT_TRUE(writer->finish()) << writer->get_error();
  auto reader = SerializingReader::create_memory_for_copy(writer->get_text());
  ASSERT_TRUE(reader->next()) << reader->get_error();
  EXPECT_EQ(reader->get_attribute("_x"), "1");
  ASSERT_TRUE(reader->next());
  EXPECT_EQ(reader->get_name(), "\xC3\xA9t\xC3\xA9_2.a-b");
  EXPECT_EQ(reader->get_attribute("_x"), "2");
  EXPECT_TRUE(reader->read_to_end()) << reader->get_error();
}

TEST(Serializing, IntegersFromDocumentsAreParsedAndClamped)
{
  struct Case {
    const char* text;
    int32_t min, max, expected;
  };
  const std::vector<Case> cases = {
      {"", -100, 100, 0},
      {"42", -100, 100, 42},
      {" \t\n-0012abc", -100, 100, -12},
      {"+7", -100, 100, 7},
      {"x1", -100, 100, 0},
      {"--1", -100, 100, 0},
      {"1e3", -100, 100, 1},
      {"65536", 0, 65535, 65535},
      {"-1", 0, 65535, 0},
      {"2147483648", INT32_MIN, INT32_MAX, INT32_MAX},
      {"-2147483648", INT32_MIN, INT32_MAX, INT32_MIN},
      {"-99999999999999999999999999", INT32_MIN, INT32_MAX, INT32_MIN},
      {"99999999999999999999999999", 0, 10, 10},
      {"", 5, 10, 5},
  };
  for (const auto& c : cases)
    EXPECT_EQ(parse_int_prefix(c.text, c.min, c.max), c.expected) << '"' << c.text << '"';

  auto reader = SerializingReader::create_memory_for_copy("<c h=\" 12x\" v=\"-99999999999\"/>");
  ASSERT_TRUE(reader->next());
  EXPECT_EQ(reader->get_attribute_int("h", 0, 65535), 12);
  EXPECT_EQ(reader->get_attribute_int("v", 0, 65535), 0);
  EXPECT_EQ(reader->get_attribute_int("missing", -1, 65535), 0);
}

} // namespace
} // namespace velkaro

namespace velkaro {
namespace {

// What a reader gives at one node: its type, name, text and the attributes
// asked for.
struct NodeReading {
  int type;
  std::string name;
  std::string text;
  std::vector<std::optional<std::string>> attributes;

  bool operator==(const NodeReading&) const = default;
};

std::ostream& operator<<(std::ostream& out, const NodeReading& r)
{
  out << r.type << " <" << r.name << "> \"" << r.text << "\"";
  for (const auto& a : r.attributes)
    out << " " << (a ? "\"" + *a + "\"" : "none");
  return out;
}

const std::vector<std::string> asked_attributes = {"a", "b", "c", "d", "missing", "e", "ns:e", "xmlns", "xmlns:ns"};

// The readings of every start element, end element and text node of doc as
// libxml2's own reader functions give them.
std::vector<NodeReading> libxml2_readings(const std::string& doc)
{
  std::vector<NodeReading> readings;
  xmlTextReaderPtr reader = xmlReaderForMemory(doc.data(), static_cast<int>(doc.size()), "", nullptr,
                                               XML_PARSE_NONET | XML_PARSE_IGNORE_ENC);
  const auto str = [](xmlChar* p) -> std::optional<std::string> {
    if (!p)
      return std::nullopt;
    std::string s(reinterpret_cast<const char*>(p));
    xmlFree(p);
    return s;
  };
  while (xmlTextReaderRead(reader) == 1) {
    const int type = xmlTextReaderNodeType(reader);
    if (type != XML_READER_TYPE_ELEMENT && type != XML_READER_TYPE_END_ELEMENT && type != XML_READER_TYPE_TEXT)
      continue;
    NodeReading r{type, reinterpret_cast<const char*>(xmlTextReaderConstName(reader)), "", {}};
    if (type == XML_READER_TYPE_TEXT)
      r.text = str(xmlTextReaderValue(reader)).value_or("");
    else if (type == XML_READER_TYPE_ELEMENT)
      r.text = str(xmlTextReaderReadString(reader)).value_or("");
    for (const std::string& name : asked_attributes)
      r.attributes.push_back(str(xmlTextReaderGetAttribute(reader, reinterpret_cast<const xmlChar*>(name.c_str()))));
    readings.push_back(std::move(r));
  }
  xmlFreeTextReader(reader);
  return readings;
}

// The text and attributes the reader gives at every node are those of
// libxml2's reader functions: references resolved, CDATA and the text of
// nested elements gathered, comments and processing instructions left
// out, attribute values normalised, prefixed names and namespace
// declarations found.
TEST(Serializing, TextAndAttributesAreWhatLibxml2Gives)
{
  const std::vector<std::string> contents = {
      "hello",
      "a &amp; b &lt;c&gt; &#x41;&#66; &quot;q&apos;",
      "<![CDATA[raw <text> &amp;]]> after",
      "before<!-- comment -->after",
      "x<?pi data?>y",
      "outer <b a=\"in\">bold <i>deep</i></b> tail<e/>",
      "<![CDATA[]]>",
      "<!-- only a comment -->",
      "  spaced\n lines\t",
      "\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80",
      "",
  };
  const std::vector<std::string> attribute_sets = {
      "",
      " a=\"1\" b=\"x &amp; y\" c=\"&#x41;&#10;line\" d=\"\"",
      " a='tab\there' b=\"new\nline\" xmlns=\"urn:default\" xmlns:ns=\"urn:ns\" ns:e=\"prefixed\" e=\"plain\"",
      " c=\"&lt;&gt;&apos;&quot;\" missing=\"present after all\"",
  };
  for (const std::string& attributes : attribute_sets)
    for (const std::string& content : contents) {
      const std::string doc = "<?xml version=\"1.0\"?>\n<root xmlns:ns=\"urn:ns\"><r" + attributes + ">" +
                              content + "</r><r" + attributes + "/></root>\n";
      SCOPED_TRACE(doc);
      std::vector<NodeReading> ours;
      const auto reader = SerializingReader::create_memory_for_copy(doc);
      while (reader->next()) {
        const int type = reader->get_is_start_element() ? XML_READER_TYPE_ELEMENT
                         : reader->get_is_end_element() ? XML_READER_TYPE_END_ELEMENT
                                                        : XML_READER_TYPE_TEXT;
        NodeReading r{type, reader->get_name(), type == XML_READER_TYPE_END_ELEMENT ? "" : reader->get_text(), {}};
        for (const std::string& name : asked_attributes)
          r.attributes.push_back(reader->get_attribute(name));
        ours.push_back(std::move(r));
      }
      ASSERT_FALSE(reader->has_error()) << reader->get_error();
      EXPECT_EQ(ours, libxml2_readings(doc));
    }
}

} // namespace
} // namespace velkaro

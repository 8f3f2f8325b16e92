#pragma once
// What the class-document tests share: documents written to and read from
// real files (the file form, without the copy form's cell attributes), and
// readers standing on a document given as text.

#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "model/serializing_reader.h"
#include "model/serializing_writer.h"
#include "support/test_env.h"

namespace velkaro::test {

// The text of a file that write wrote through a file writer.
inline std::string cls_written_file_text(const std::function<void(SerializingWriter&)>& write)
{
  TempDir dir;
  const std::string path = dir.file("written.xml");
  {
    const auto writer = SerializingWriter::create(path);
    write(*writer);
    EXPECT_TRUE(writer->finish()) << writer->get_error();
  }
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A reader over text held in a file of its own, which lives as long as the
// reader does.
class ClsFileReaderForTest {
public:
  explicit ClsFileReaderForTest(const std::string& text)
  {
    const std::string path = m_dir.file("read.xml");
    {
      std::ofstream out(path, std::ios::binary);
      out << text;
    }
    reader = SerializingReader::create(path);
  }

  std::shared_ptr<SerializingReader> reader;

private:
  TempDir m_dir;
};

// The XML declaration every written document starts with.
inline std::string cls_xml_head()
{
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
}

} // namespace velkaro::test

// Documents are untrusted: each of these must be refused with an error,
// quickly, and without anything outside the document being opened.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "common/c_resource.h"
#include "model/hostile_documents_for_test.h"
#include "model/serializing_reader.h"
#include "model/serializing_writer.h"
#include "support/test_env.h"

namespace velkaro {
namespace {

const std::string secret = "TOP-SECRET-7f3a9";

// Tells whether a file was opened or read since the watch began.
class FileAccessWatch {
public:
  explicit FileAccessWatch(const std::string& path)
      : m_fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
  {
    if (m_fd >= 0)
      inotify_add_watch(m_fd, path.c_str(), IN_OPEN | IN_ACCESS);
  }
  ~FileAccessWatch()
  {
    if (m_fd >= 0)
      close(m_fd);
  }
  FileAccessWatch(const FileAccessWatch&) = delete;
  FileAccessWatch& operator=(const FileAccessWatch&) = delete;

  bool works() const { return m_fd >= 0; }
  bool touched()
  {
    char events[4096];
    bool any = false;
    while (read(m_fd, events, sizeof events) > 0)
      any = true;
    return any;
  }

private:
  int m_fd;
};

using test::hostile_documents;

// Sends everything written to standard error into a file while it lives.
class StderrCapture {
public:
  explicit StderrCapture(const std::string& path)
  {
    std::fflush(stderr);
    m_saved = dup(STDERR_FILENO);
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (m_saved >= 0 && fd >= 0)
      m_active = dup2(fd, STDERR_FILENO) >= 0;
    if (fd >= 0)
      close(fd);
  }
  ~StderrCapture()
  {
    std::fflush(stderr);
    if (m_saved >= 0) {
      dup2(m_saved, STDERR_FILENO);
      close(m_saved);
    }
  }
  StderrCapture(const StderrCapture&) = delete;
  StderrCapture& operator=(const StderrCapture&) = delete;

  bool works() const { return m_active; }

private:
  int m_saved = -1;
  bool m_active = false;
};

// Everything a caller could get out of the reader, and the verdict.
struct Outcome {
  std::string seen;
  bool error = false;
  std::string message;
};

Outcome read_all(SerializingReader& reader)
{
  Outcome out;
  while (reader.next()) {
    out.seen += reader.get_name() + "=" + reader.get_text() + ";";
    if (auto a = reader.get_attribute("a"))
      out.seen += *a;
  }
  out.error = reader.has_error();
  out.message = reader.get_error();
  EXPECT_FALSE(reader.read_to_end());
  return out;
}

TEST(HostileXml, EveryHostileDocumentIsRefusedQuicklyAndReadsNothingElse)
{
  test::TempDir dir;
  const std::string secret_path = dir.file("secret.txt");
  std::ofstream(secret_path) << secret;
  FileAccessWatch watch(secret_path);
  ASSERT_TRUE(watch.works());
  {
    // The watch sees a deliberate read, so its silence below means something.
    std::ifstream probe(secret_path);
    std::string s;
    probe >> s;
    ASSERT_TRUE(watch.touched());
  }

  for (const auto& doc : hostile_documents(secret_path)) {
    const std::string doc_path = dir.file("hostile.xml");
    std::ofstream(doc_path, std::ios::binary | std::ios::trunc) << doc.text;

    for (bool from_file : {false, true}) {
      const std::string label = doc.name + (from_file ? " (file)" : " (memory)");
      const double start = test::cpu_seconds();
      auto reader = from_file ? SerializingReader::create(doc_path)
                              : SerializingReader::create_memory_for_copy(doc.text);
      const Outcome out = read_all(*reader);
      const double elapsed = test::cpu_seconds() - start;

      EXPECT_TRUE(out.error) << label << " was accepted; it gave: " << out.seen.substr(0, 200);
      EXPECT_NE(out.message.find("line "), std::string::npos) << label << ": " << out.message;
      EXPECT_EQ(out.seen.find(secret), std::string::npos) << label;
      EXPECT_EQ(out.message.find(secret), std::string::npos) << label;
      EXPECT_FALSE(watch.touched()) << label << " opened the file it names";
      EXPECT_LT(elapsed, 1.0) << label;
    }
  }
}

TEST(HostileXml, ErrorsAreKeptForTheCallerNotPrinted)
{
  test::TempDir dir;
  const std::string doc_path = dir.file("doc.xml");
  const std::string captured = dir.file("stderr.txt");
  std::vector<std::string> errors;
  {
    StderrCapture capture(captured);
    ASSERT_TRUE(capture.works());
    auto documents = hostile_documents(dir.file("secret.txt"));
    documents.push_back({"undeclared entity", "<r>&x;</r>"});
    documents.push_back({"two roots", "<a/><b/>"});
    for (const auto& doc : documents) {
      std::ofstream(doc_path, std::ios::binary | std::ios::trunc) << doc.text;
      for (auto reader : {SerializingReader::create_memory_for_copy(doc.text), SerializingReader::create(doc_path)}) {
        while (reader->next())
          (void)reader->get_text();
        errors.push_back(reader->get_error());
      }
    }
    for (const std::string& path : {dir.file("no/such/dir.xml"), std::string("/dev/full")}) {
      auto writer = SerializingWriter::create(path);
      (void)writer->start_element("a");
      (void)writer->write_text("t");
      errors.push_back(writer->finish() ? std::string() : writer->get_error());
    }
  }
  for (const auto& e : errors)
    EXPECT_FALSE(e.empty()) << "a failure went unreported";
  std::ifstream in(captured);
  std::stringstream printed;
  printed << in.rdbuf();
  EXPECT_EQ(printed.str(), "");
}

TEST(HostileXml, DeclarationSplitBetweenTwoReadsIsStoppedBeforeParsing)
{
  // A file reaches the parser in pieces (libxml2 asks for 4 bytes, then
  // for about 4 KB at a time); wherever the declaration falls, it must be
  // stopped before libxml2 parses it, which the reader would otherwise
  // refuse only later, with another message.
  test::TempDir dir;
  const std::string path = dir.file("split.xml");
  std::vector<std::string> docs = {"<!DOCTYPE r>\n<r/>\n"};
  for (int pad = 4060; pad <= 4110; ++pad)
    docs.push_back("<!--" + std::string(pad, 'x') + "-->\n<!DOCTYPE r>\n<r/>\n");
  for (const auto& doc : docs) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << doc;
    auto reader = SerializingReader::create(path);
    EXPECT_FALSE(reader->next());
    const std::string line = doc.rfind("<!DOCTYPE", 0) == 0 ? "1" : "2";
    EXPECT_EQ(reader->get_error(), "line " + line + ": document type declarations are not accepted")
        << "document of " << doc.size() << " bytes";
  }
}

TEST(HostileXml, ReaderStopsAtTheFirstError)
{
  // Valid up to line 4, then broken: what came before is read, then nothing.
  // (Padded so that the error lies beyond what the reader parses ahead.)
  std::string doc = "<?xml version=\"1.0\"?>\n<r>\n<a x=\"1\"/>\n";
  for (int i = 0; i < 5000; ++i)
    doc += "<p/>";
  auto reader = SerializingReader::create_memory_for_copy(doc + "\n<b></c>\n</r>\n");
  size_t count = 0;
  std::vector<std::string> names;
  while (reader->next())
    if (++count <= 2)
      names.push_back(reader->get_name());
  EXPECT_EQ(names, (std::vector<std::string>{"r", "a"}));
  EXPECT_GT(count, 1000u);
  EXPECT_LT(count, 5003u);
  EXPECT_TRUE(reader->has_error());
  EXPECT_EQ(reader->get_error().rfind("line 5: ", 0), 0u) << reader->get_error();
  EXPECT_FALSE(reader->next());
  EXPECT_FALSE(reader->skip_to_element("r"));
}

} // namespace
} // namespace velkaro

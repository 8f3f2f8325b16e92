#pragma once
// Documents a reader must refuse: hostile ones (entities reaching outside
// the document, expansion bombs, encodings that hide markup, deep nesting)
// and broken ones. Shared by the reader's tests and the workspace's load
// tests.

#include <string>
#include <vector>

#include <glib.h>
#include <gtest/gtest.h>

#include "common/c_resource.h"

namespace velkaro::test {

inline std::string billion_laughs()
{
  std::string doc = "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n <!ENTITY lol0 \"lol\">\n";
  for (int i = 1; i <= 9; ++i) {
    doc += " <!ENTITY lol" + std::to_string(i) + " \"";
    for (int j = 0; j < 10; ++j)
      doc += "&lol" + std::to_string(i - 1) + ";";
    doc += "\">\n";
  }
  return doc + "]>\n<workspace>&lol9;</workspace>\n";
}

// Parameter entities expand inside the document type declaration itself,
// before any element is read.
inline std::string parameter_entity_bomb()
{
  std::string doc = "<!DOCTYPE r [\n<!ENTITY % l0 \"<!-- lol -->\">\n";
  for (int i = 1; i <= 9; ++i) {
    doc += "<!ENTITY % l" + std::to_string(i) + " \"";
    for (int j = 0; j < 10; ++j)
      doc += "&#37;l" + std::to_string(i - 1) + ";";
    doc += "\">\n";
  }
  return doc + "%l9;\n]>\n<r/>\n";
}

// text converted to charset.
inline std::string encoded(const std::string& text, const char* charset)
{
  gsize written = 0;
  GCharPtr out(g_convert(text.data(), text.size(), charset, "UTF-8", nullptr, &written, nullptr));
  EXPECT_TRUE(out) << charset;
  return out ? std::string(out.get(), written) : std::string();
}

// text in UTF-7, every character in its base64 form, behind a plain
// declaration that names the encoding.
inline std::string utf7_document(const std::string& text)
{
  const std::string utf16 = encoded(text, "UTF-16BE");
  GCharPtr base64(g_base64_encode(reinterpret_cast<const guchar*>(utf16.data()), utf16.size()));
  std::string b = base64.get();
  while (!b.empty() && b.back() == '=')
    b.pop_back();
  return "<?xml version=\"1.0\" encoding=\"UTF-7\"?>\n+" + b + "-";
}

inline std::string deeply_nested(int depth)
{
  std::string doc = "<?xml version=\"1.0\"?>\n";
  doc.reserve(doc.size() + depth * 7);
  for (int i = 0; i < depth; ++i)
    doc += "<a>";
  for (int i = 0; i < depth; ++i)
    doc += "</a>";
  return doc;
}

struct Hostile {
  std::string name;
  std::string text;
};

inline std::vector<Hostile> hostile_documents(const std::string& secret_path)
{
  const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  return {
      {"external entity by URI",
       head + "<!DOCTYPE workspace [<!ENTITY x SYSTEM \"file://" + secret_path +
           "\">]>\n<workspace><cell>&x;</cell></workspace>\n"},
      {"external entity by path",
       head + "<!DOCTYPE workspace [<!ENTITY x SYSTEM \"" + secret_path +
           "\">]>\n<workspace a=\"1\">&x;</workspace>\n"},
      {"external parameter entity",
       head + "<!DOCTYPE workspace [<!ENTITY % p SYSTEM \"" + secret_path +
           "\"> %p;]>\n<workspace/>\n"},
      {"external DTD", head + "<!DOCTYPE workspace SYSTEM \"" + secret_path + "\">\n<workspace/>\n"},
      {"billion laughs", billion_laughs()},
      // Left to libxml2 alone, each of these four keeps it busy for far more than a second.
      {"parameter entity bomb", head + parameter_entity_bomb()},
      {"parameter entity bomb in UTF-16",
       "\xFF\xFE" + encoded("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n" + parameter_entity_bomb(),
                            "UTF-16LE")},
      {"parameter entity bomb in UTF-7", utf7_document(parameter_entity_bomb())},
      {"parameter entity bomb in EBCDIC",
       encoded("<?xml version=\"1.0\" encoding=\"IBM037\"?>\n" + parameter_entity_bomb(), "IBM037")},
      {"truncated document", head + "<workspace>\n <element_cells>\n  <cell h=\"1\" v=\"2\">\n   <te"},
      {"invalid UTF-8", head + "<workspace>\n <text>abc\xC3\x28\xFF\xFE</text>\n</workspace>\n"},
      {"100,000 nested elements", deeply_nested(100000)},
  };
}

} // namespace velkaro::test

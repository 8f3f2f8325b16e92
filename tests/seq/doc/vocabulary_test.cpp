// The sequence vocabulary: the factory, the XML form of every kind, and
// what reading a document accepts and refuses.

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "seq/doc/cells.h"
#include "seq/doc/grid.h"
#include "seq/doc/seq_for_test.h"
#include "support/log_capture.h"

namespace velkaro::test {
namespace {

// Every element name and every attribute of the vocabulary, as the writer
// lays them out: two life lines with execution specifications, messages of
// all five kinds (one of them without lines, one going left with a text on
// a line), a fragment with a separator carrying texts, a free text.
const char* const kEveryKind = R"(<?xml version="1.0" encoding="UTF-8"?>
<workspace>
 <element_cells>
  <cell h="1" v="0">
   <life_head/>
   <seq_text pi="0">A</seq_text>
  </cell>
  <cell h="3" v="0">
   <life_head/>
   <seq_text pi="0">B</seq_text>
  </cell>
  <cell h="5" v="0">
   <fragment/>
   <seq_text pi="0">loop x</seq_text>
  </cell>
  <cell h="6" v="0">
   <fragment_line pi="0" ph="5" is_topleft="true" is_start="true" is_end="true"/>
  </cell>
  <cell h="7" v="0">
   <fragment_line role="1" pi="0" ph="5" is_start="true"/>
  </cell>
  <cell h="1" v="1">
   <life_line pi="0" pv="0" has_stop="false"/>
   <execution_specification top="true"/>
   <execution_specification role="1" top="true"/>
   <message role="1" pi="0"/>
   <message_type pi="3" msg_type="synchronous"/>
  </cell>
  <cell h="2" v="1">
   <message_line pi="3" ph="1"/>
  </cell>
  <cell h="3" v="1">
   <life_line pi="0" pv="0" has_stop="false"/>
   <message_line pi="3" ph="1" point="0"/>
  </cell>
  <cell h="5" v="1">
   <fragment_line role="1" pi="0" pv="0" is_topleft="true" is_start="true"/>
   <separator pi="0"/>
   <seq_text pi="1">guard</seq_text>
  </cell>
  <cell h="6" v="1">
   <separator-line pi="1" ph="5"/>
   <seq_text pi="0">more</seq_text>
  </cell>
  <cell h="7" v="1">
   <fragment_line role="1" pi="0" ph="5" pv="0"/>
   <separator-line pi="1" ph="5"/>
  </cell>
  <cell h="1" v="2">
   <life_line pi="0" pv="0" has_stop="false"/>
   <execution_specification/>
   <message_line pi="1" ph="3" point="-1"/>
  </cell>
  <cell h="2" v="2">
   <message_line pi="1" ph="3"/>
   <seq_text pi="0">call</seq_text>
  </cell>
  <cell h="3" v="2">
   <life_line pi="0" pv="0" has_stop="false"/>
   <message role="-1" pi="0"/>
   <message_type pi="1" msg_type="replay"/>
  </cell>
  <cell h="5" v="2">
   <fragment_line role="1" pi="0" pv="0" is_topleft="true" is_end="true"/>
  </cell>
  <cell h="6" v="2">
   <fragment_line pi="0" ph="5" pv="0" is_start="true" is_end="true"/>
  </cell>
  <cell h="7" v="2">
   <fragment_line role="1" pi="0" ph="5" pv="0" is_end="true"/>
  </cell>
  <cell h="1" v="3">
   <life_line pi="0" pv="0" has_stop="false"/>
   <message role="1" pi="0"/>
   <message_type pi="1" msg_type="asynchronous"/>
  </cell>
  <cell h="2" v="3">
   <seq_text pi="1" ph="1">self</seq_text>
  </cell>
  <cell h="3" v="3">
   <life_line pi="0" pv="0" has_stop="false"/>
  </cell>
  <cell h="1" v="4">
   <life_line pi="0" pv="0" has_stop="true"/>
   <message role="1" pi="0"/>
   <message_type pi="1" msg_type="lostzz"/>
  </cell>
  <cell h="3" v="4">
   <life_line pi="0" pv="0" has_stop="false"/>
   <message role="-1" pi="0"/>
   <message_type pi="1" msg_type="found"/>
  </cell>
  <cell h="9" v="5">
   <seq_text role="1">free</seq_text>
  </cell>
 </element_cells>
</workspace>
)";

TEST(SeqVocabulary, EveryKindLoadsAndSavesBackIdentical)
{
  const auto ws = new_ws();
  std::string error;
  ASSERT_TRUE(load_text(*ws, kEveryKind, &error)) << error;
  EXPECT_EQ(test::saved_text(*ws), kEveryKind);
}

TEST(SeqVocabulary, EveryKindReadsIntoTheRightElementsAndLinks)
{
  const auto ws = new_ws();
  ASSERT_TRUE(load_text(*ws, kEveryKind));
  EXPECT_EQ(test::dump(*ws), (std::vector<std::string>{
                                 "1,0: head text^",
                                 "3,0: head text^",
                                 "5,0: frag text^",
                                 "6,0: fhtse",
                                 "7,0: fvs",
                                 "1,1: ll es0T es1T msg> sync",
                                 "2,1: ml>",
                                 "3,1: ll ml>@0",
                                 "5,1: fvts sp text^",
                                 "6,1: spl text^",
                                 "7,1: fv spl",
                                 "1,2: ll es0 ml<@-1",
                                 "2,2: ml< text^",
                                 "3,2: ll msg< reply",
                                 "5,2: fvte",
                                 "6,2: fhse",
                                 "7,2: fve",
                                 "1,3: ll msg> async",
                                 "2,3: text^",
                                 "3,3: ll",
                                 "1,4: ll! msg> lost",
                                 "3,4: ll msg< found",
                                 "9,5: text",
                             }));
  const auto head_a = at<SeqLifeHead>(*ws, 1, 0);
  EXPECT_EQ(head_a->get_text(), "A");
  EXPECT_EQ(at<SeqLifeLine>(*ws, 1, 3)->get_head(), head_a);
  const auto m1 = at<SeqMessage>(*ws, 1, 1);
  EXPECT_EQ(m1->get_ll(), at<SeqLifeLine>(*ws, 1, 1));
  EXPECT_EQ(m1->get_tip(), at<SeqMsgLine>(*ws, 3, 1));
  EXPECT_EQ(at<SeqMessage>(*ws, 3, 2)->get_tip(), at<SeqMsgLine>(*ws, 1, 2));
  EXPECT_EQ(at<SeqMessage>(*ws, 1, 3)->get_tip(), at<SeqMessage>(*ws, 1, 3));
  EXPECT_EQ(at<SeqMessage>(*ws, 3, 4)->get_msg_type(), SeqMsgTypeTypes::FOUND);
  EXPECT_EQ(at<SeqMsgLine>(*ws, 2, 2)->get_msg_type(), SeqMsgTypeTypes::REPLY);
  const auto fm = at<SeqFragment>(*ws, 5, 0);
  EXPECT_STREQ(fm->get_operator(), "loop");
  EXPECT_EQ(fm->get_bottom_right(), at<SeqFragLine>(*ws, 7, 2));
  const auto sp = at<SeqSeparator>(*ws, 5, 1);
  EXPECT_EQ(sp->get_fl(), at<SeqFragLine>(*ws, 5, 1));
  EXPECT_EQ(sp->get_text_elm()->get_text(), "guard");
  EXPECT_EQ(at<SeqSepLine>(*ws, 7, 1)->get_fl(), sp->get_fl());
  // Texts take their alignment from the parent they were reconnected to.
  EXPECT_EQ(at<SeqTextElement>(*ws, 2, 2)->valign, ModelAlign::BOTTOM);
  EXPECT_EQ(at<SeqTextElement>(*ws, 6, 1)->valign, ModelAlign::TOP);
  EXPECT_EQ(at<SeqTextElement>(*ws, 1, 0)->valign, ModelAlign::CENTER);
  const auto free_text = at<SeqTextElement>(*ws, 9, 5);
  EXPECT_EQ(free_text->get_role(), 1);
  EXPECT_EQ(free_text->align, ModelAlign::CENTER);
  EXPECT_EQ(free_text->valign, ModelAlign::CENTER);
}

TEST(SeqVocabulary, FactoryMakesKindsByExactName)
{
  struct Case {
    const char* name;
    const char* type;
  };
  const std::vector<Case> cases{
      {"life_head", "SeqLifeHead"},
      {"life_line", "SeqLifeLine"},
      {"message", "SeqMessage"},
      {"message_type", "SeqMsgType"},
      {"message_line", "SeqMsgLine"},
      {"execution_specification", "SeqExecSpec"},
      {"fragment", "SeqFragment"},
      {"fragment_line", "SeqFragLine"},
      {"separator", "SeqSeparator"},
      {"separator-line", "SeqSepLine"},
      {"seq_text", "SeqTextElement"},
      // Only the hyphen makes a separator line; other names give plain text.
      {"separator_line", "ModelTextElement"},
      {"text", "ModelTextElement"},
      {"Life_head", "ModelTextElement"},
      {"message ", "ModelTextElement"},
      {"", "ModelTextElement"},
  };
  const auto cells = SeqCells::create();
  for (const auto& c : cases) {
    const auto e = cells->bear(c.name);
    ASSERT_TRUE(e) << c.name;
    EXPECT_STREQ(e->get_type_name(), c.type) << c.name;
    // A fresh element of a kind is another of the same kind.
    EXPECT_STREQ(e->new_instance()->get_type_name(), c.type) << c.name;
  }
}

TEST(SeqVocabulary, MessageKindsAreStoredByTheirWords)
{
  struct Case {
    SeqMsgTypeTypes type;
    const char* word;
  };
  const std::vector<Case> cases{
      {SeqMsgTypeTypes::SYNCHRONOUS, "synchronous"},
      {SeqMsgTypeTypes::ASYNCHRONOUS, "asynchronous"},
      {SeqMsgTypeTypes::REPLY, "replay"},
      {SeqMsgTypeTypes::FOUND, "found"},
      {SeqMsgTypeTypes::LOSTZZ, "lostzz"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(seq_msg_type_types_to_string(c.type), c.word);
    EXPECT_EQ(seq_msg_type_types_parse(c.word), c.type) << c.word;
  }
  for (const char* other : {"reply", "lost", "Synchronous", "", "found "})
    EXPECT_EQ(seq_msg_type_types_parse(other), SeqMsgTypeTypes::SYNCHRONOUS) << other;
}

TEST(SeqVocabulary, KindFromAnIntegerCountsModuloThree)
{
  using T = SeqMsgTypeTypes;
  const std::vector<std::pair<int64_t, T>> cases{
      {0, T::SYNCHRONOUS}, {1, T::ASYNCHRONOUS},  {2, T::REPLY},       {3, T::SYNCHRONOUS},
      {4, T::ASYNCHRONOUS}, {5, T::REPLY},        {-1, T::REPLY},      {-2, T::ASYNCHRONOUS},
      {-3, T::SYNCHRONOUS}, {-4, T::REPLY},       {65537, T::REPLY},   {-65537, T::ASYNCHRONOUS},
  };
  const auto msg = SeqMessage::create(nullptr, 1);
  for (const auto& [n, type] : cases) {
    EXPECT_EQ(seq_msg_type_types_from_int(n), type) << n;
    EXPECT_EQ(SeqMsgType::create_with(msg, n)->msg_type, type) << n;
    EXPECT_EQ(SeqMsgType::create_with(msg, n)->get_parent(), msg);
  }
}

TEST(SeqVocabulary, ConstructorsRefuseAMissingElement)
{
  test::LogCapture log;
  EXPECT_EQ(SeqLifeLine::create_with_head(nullptr), nullptr);
  EXPECT_EQ(SeqLifeLine::create_with_ll(nullptr), nullptr);
  EXPECT_EQ(SeqExecSpec::create_from(nullptr), nullptr);
  EXPECT_EQ(SeqMsgType::create_with(nullptr, 0), nullptr);
  EXPECT_EQ(SeqMsgLine::create_with_msg(nullptr), nullptr);
  EXPECT_EQ(SeqFragLine::create_with_frag(nullptr, 0, true), nullptr);
  EXPECT_EQ(SeqSeparator::create_with_fl(nullptr), nullptr);
  EXPECT_EQ(SeqSepLine::create_with_sp(nullptr), nullptr);
  EXPECT_EQ(log.criticals.size(), 8u);
}

// One element read from a cell, with what it reads as, what it writes back
// and what is logged on the way.
struct ReadCase {
  const char* element;
  const char* reads_as;
  const char* writes_back;
  size_t criticals;
};

TEST(SeqVocabulary, AttributesReadWithTheirDefaults)
{
  const std::vector<ReadCase> cases{
      // A missing stop is a broken document: logged, and no stop.
      {R"(<life_line/>)", "ll", R"(<life_line has_stop="false"/>)", 1},
      {R"(<life_line has_stop="yes"/>)", "ll", R"(<life_line has_stop="false"/>)", 0},
      {R"(<life_line has_stop="true"/>)", "ll!", R"(<life_line has_stop="true"/>)", 0},
      // Read without "top", a execution specification continues a box.
      {R"(<execution_specification role="-2"/>)", "es-2", R"(<execution_specification role="-2"/>)", 0},
      {R"(<execution_specification top="TRUE"/>)", "es0", R"(<execution_specification/>)", 0},
      {R"(<message_line/>)", "ml<", R"(<message_line/>)", 0},
      {R"(<message_line point="abc"/>)", "ml<@0", R"(<message_line point="0"/>)", 0},
      {R"(<message_line point=" -3x"/>)", "ml<@-3", R"(<message_line point="-3"/>)", 0},
      {R"(<message_line point="999999"/>)", "ml<", R"(<message_line/>)", 0},
      {R"(<message_type/>)", "sync", R"(<message_type msg_type="synchronous"/>)", 1},
      {R"(<message_type msg_type="reply"/>)", "sync", R"(<message_type msg_type="synchronous"/>)", 0},
      {R"(<fragment_line/>)", "fh", R"(<fragment_line/>)", 0},
      {R"(<fragment_line role="1" is_end="true"/>)", "fve", R"(<fragment_line role="1" is_end="true"/>)", 0},
      {R"(<fragment_line is_topleft="false" is_start="1"/>)", "fh", R"(<fragment_line/>)", 0},
      {R"(<seq_text>  two  words </seq_text>)", "text", R"(<seq_text role="1">  two  words </seq_text>)", 0},
      {R"(<seq_text align="left" valign="top">x</seq_text>)", "text", R"(<seq_text role="1">x</seq_text>)", 0},
  };
  for (const auto& c : cases) {
    const auto ws = new_ws();
    test::LogCapture log;
    const std::string document = std::string("<workspace><element_cells><cell h=\"2\" v=\"3\">") +
                                 c.element + "</cell></element_cells></workspace>";
    std::string error;
    ASSERT_TRUE(load_text(*ws, document, &error)) << c.element << ": " << error;
    EXPECT_EQ(test::dump(*ws), std::vector<std::string>{std::string("2,3: ") + c.reads_as})
        << c.element;
    const std::string written = test::saved_text(*ws);
    EXPECT_NE(written.find(c.writes_back), std::string::npos)
        << c.element << " wrote " << written;
    EXPECT_EQ(log.criticals.size(), c.criticals) << c.element;
  }
}

TEST(SeqVocabulary, OutOfRangeValuesFailTheReadWithTheLine)
{
  const std::vector<std::pair<const char*, const char*>> cases{
      {R"(<message_line point="99999999999"/>)", "point"},
      {R"(<message role="0"/>)", "direction"},
      {R"(<message role="2"/>)", "direction"},
      {R"(<fragment_line role="2"/>)", "direction"},
      {R"(<fragment_line role="-1"/>)", "direction"},
      {R"(<execution_specification role="99999999999"/>)", "role"},
  };
  for (const auto& [element, word] : cases) {
    const auto ws = new_ws();
    test::put(*ws, SeqLifeHead::create(), 0, 0);
    const std::string before = test::document_of(*ws);
    const std::string document = std::string("<workspace>\n<element_cells>\n<cell h=\"2\" v=\"3\">\n") +
                                 element + "\n</cell></element_cells></workspace>";
    std::string error;
    EXPECT_FALSE(load_text(*ws, document, &error)) << element;
    EXPECT_NE(error.find("line 4"), std::string::npos) << element << ": " << error;
    EXPECT_NE(error.find(word), std::string::npos) << element << ": " << error;
    // A refused file changes nothing.
    EXPECT_EQ(test::document_of(*ws), before) << element;
  }
}

// kEveryKind with the text of the seq_text now holding was by text, and
// the line of that seq_text.
std::pair<std::string, int> every_kind_with_text(const std::string& was, const std::string& text)
{
  std::string doc = kEveryKind;
  const std::string old = ">" + was + "</seq_text>";
  const size_t at = doc.find(old);
  EXPECT_NE(at, std::string::npos) << was;
  doc.replace(at, old.size(), ">" + text + "</seq_text>");
  return {doc, 1 + static_cast<int>(std::count(doc.begin(), doc.begin() + at, '\n'))};
}

std::string text_lines(int count, size_t width)
{
  std::string text;
  for (int i = 0; i < count; ++i)
    text += (i ? "\n" : "") + std::string(width, 'x');
  return text;
}

// A letter carrying marks combining marks, as often as fits in bytes.
std::string marked_letters(int marks, size_t bytes)
{
  std::string letter = "a";
  for (int i = 0; i < marks; ++i)
    letter += "\xCC\x81"; // U+0301 COMBINING ACUTE ACCENT
  std::string text;
  while (text.size() + letter.size() <= bytes)
    text += letter;
  return text;
}

// Every text a sequence element holds is refused when it is larger than a
// text may be, wherever it stands, naming the line of its element: Pango
// would take seconds to lay it out.
TEST(SeqVocabulary, ATextTooLargeToLayOutQuicklyIsRefusedWhereverItStands)
{
  const std::string more_lines = "more than 256 lines";
  const std::string more_bytes = "more than 8192 bytes";
  const std::string more_marks = "more than 30 combining marks on one character";
  std::string marks_and_joiners = "a";
  for (int i = 0; i < 16; ++i)
    marks_and_joiners += "\xCC\x81\xE2\x80\x8C"; // U+0301, ZERO WIDTH NON-JOINER
  const std::vector<std::pair<std::string, std::string>> texts{
      {text_lines(20000, 10), more_lines},
      {text_lines(40000, 1), more_lines},
      {marked_letters(50000, 100001), more_bytes},
      {std::string(8193, 'x'), more_bytes},
      {marked_letters(31, 63), more_marks},
      {"abc " + marked_letters(31, 63) + " def", more_marks},
      {marks_and_joiners, more_marks},
  };
  // A life head's name, a fragment's operator, a separator's guard, a
  // message line's text, a free text.
  for (const char* was : {"A", "loop x", "guard", "call", "free"}) {
    for (const auto& [text, why] : texts) {
      SCOPED_TRACE(std::string(was) + ": " + why + ", " + std::to_string(text.size()) + " bytes");
      const auto [doc, line] = every_kind_with_text(was, text);
      const auto ws = new_ws();
      test::put(*ws, SeqLifeHead::create(), 0, 0);
      const std::string before = test::document_of(*ws);
      std::string error;
      const double start = test::cpu_seconds();
      EXPECT_FALSE(load_text(*ws, doc, &error));
      EXPECT_LT(test::cpu_seconds() - start, 2.0);
      EXPECT_NE(error.find("line " + std::to_string(line) + ": a text holds " + why), std::string::npos)
          << error;
      EXPECT_EQ(test::document_of(*ws), before);
    }
  }
}

// The largest texts a document may hold are read, laid out and measured in
// milliseconds of processor time.
TEST(SeqVocabulary, TheLargestAcceptedTextsLayOutInMilliseconds)
{
  constexpr auto max_bytes = static_cast<size_t>(ModelTextElement::MAX_BYTES);
  constexpr int max_lines = static_cast<int>(ModelTextElement::MAX_LINES);
  const std::vector<std::pair<const char*, std::string>> texts{
      {"as many lines as allowed, filling the bytes", text_lines(max_lines, max_bytes / max_lines - 1)},
      {"as many bytes as allowed", std::string(max_bytes, 'x')},
      {"one letter with as many marks as allowed", marked_letters(30, 61)},
      {"letters with as many marks as allowed, filling the bytes", marked_letters(30, max_bytes)},
      {"marks and joiners up to the limit", marked_letters(10, 21) + std::string("\xE2\x80\x8C") +
                                                marked_letters(19, 39).substr(1)},
  };
  {
    // Pango's first layout loads the fonts.
    const auto warm = SeqTextElement::create();
    warm->set_text("warm");
    (void)warm->get_pango_layout()->get_pixel_logical_extents();
  }
  for (const auto& [what, text] : texts) {
    SCOPED_TRACE(what);
    ASSERT_FALSE(ModelTextElement::too_large(text)) << *ModelTextElement::too_large(text);
    const auto ws = new_ws();
    std::string error;
    const double start = test::cpu_seconds();
    ASSERT_TRUE(load_text(*ws, every_kind_with_text("A", text).first, &error)) << error;
    // Reading the whole document, with the sanitizers, takes far longer
    // than laying the text out.
    EXPECT_LT(test::cpu_seconds() - start, 1.0);
    const auto head = at<SeqLifeHead>(*ws, 1, 0);
    ASSERT_NE(head, nullptr);
    const auto elm = head->get_text_elm();
    ASSERT_NE(elm, nullptr);
    EXPECT_EQ(elm->get_text(), text);
    const double laying_out = test::cpu_seconds();
    (void)elm->get_pango_layout()->get_pixel_logical_extents();
    (void)head->get_rect();
    // Measured at most a few milliseconds; a letter with 4,000 marks took
    // 60 ms, 50,000 marks seconds.
    EXPECT_LT(test::cpu_seconds() - laying_out, 0.05);
  }
}

TEST(SeqVocabulary, EveryKindNamesItsClass)
{
  const std::vector<std::pair<ElementPtr, const char*>> cases{
      {SeqTextElement::create(), "SeqTextElement"}, {SeqLifeHead::create(), "SeqLifeHead"},
      {SeqLifeLine::create(), "SeqLifeLine"},       {SeqExecSpec::create(), "SeqExecSpec"},
      {SeqMessage::create(), "SeqMessage"},         {SeqMsgType::create(), "SeqMsgType"},
      {SeqMsgLine::create(), "SeqMsgLine"},         {SeqFragment::create(), "SeqFragment"},
      {SeqFragLine::create(), "SeqFragLine"},       {SeqSeparator::create(), "SeqSeparator"},
      {SeqSepLine::create(), "SeqSepLine"},
  };
  for (const auto& [e, name] : cases)
    EXPECT_STREQ(e->get_type_name(), name);
}

TEST(SeqVocabulary, WorkspaceInstallsTheSequenceGridAndCells)
{
  const auto ws = new_ws();
  EXPECT_NE(std::dynamic_pointer_cast<SeqGrid>(ws->grid), nullptr);
  EXPECT_NE(std::dynamic_pointer_cast<SeqCells>(ws->get_cells()), nullptr);
  EXPECT_NE(std::dynamic_pointer_cast<SeqCells>(ws->tmp_cells), nullptr);
  EXPECT_STREQ(ws->make_text()->get_type_name(), "SeqTextElement");
  // An empty diagram: every line 35 units.
  for (int32_t i : {0, 1, 7, 300}) {
    const Rectangle r = ws->grid->get_rect(i, i);
    EXPECT_DOUBLE_EQ(r.width, 35.0);
    EXPECT_DOUBLE_EQ(r.height, 35.0);
    EXPECT_DOUBLE_EQ(r.x, 35.0 * i);
  }
  // A document read anew keeps the sequence kinds.
  ASSERT_TRUE(load_text(*ws, kEveryKind));
  EXPECT_NE(std::dynamic_pointer_cast<SeqCells>(ws->get_cells()), nullptr);
}

} // namespace
} // namespace velkaro::test

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cls/route/abstract_layoutable_node.h"
#include "cls/route/fixed_layoutable_node.h"
#include "cls/route/link_dir.h"
#include "cls/route/segment_form.h"
#include "cls/route/segment_term.h"
#include "cls/route/spring_edge.h"
#include "support/log_capture.h"

namespace velkaro {
namespace {

void layout_node_watch(ClsAbstractLayoutableNode& node, std::vector<std::string>& into)
{
  node.signal_notify().connect([&into](const char* name) { into.push_back(name); });
}

TEST(ClsSpringEdge, EnergyFallsWithTheDistance)
{
  struct Case {
    double length;
    double d;
    double energy;
  };
  const Case cases[] = {
      {0, 0, 0.0},
      {0, 5, -5.0},
      {10, 0, 15.0},
      {10, 10, 0.06692850924284856},
      {10, 20, -9.999546021312975},
      // Crossed nodes.
      {10, -10, 29.93307149075715},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("L " + std::to_string(c.length) + " d " + std::to_string(c.d));
    const auto left = ClsFixedLayoutableNode::create(7.0);
    const auto right = ClsFixedLayoutableNode::create(7.0 + c.d);
    const auto spring = ClsSpringEdge::create(left, right, c.length);
    ASSERT_NE(spring, nullptr);
    EXPECT_NEAR(spring->get_energy(), c.energy, 1e-12);
    EXPECT_EQ(spring->get_left_term_pos(), 7.0);
    EXPECT_EQ(spring->get_right_term_pos(), 7.0 + c.d);
  }
}

TEST(ClsSpringEdge, MissingNodesMakeNoSpring)
{
  const auto node = std::make_shared<ClsAbstractLayoutableNode>();
  test::LogCapture log;
  EXPECT_EQ(ClsSpringEdge::create(nullptr, node, 1), nullptr);
  EXPECT_EQ(ClsSpringEdge::create(node, nullptr, 1), nullptr);
  EXPECT_EQ(log.criticals.size(), 2u);
}

TEST(ClsSpringEdge, OwnsTheNodesThatHoldNoSprings)
{
  std::weak_ptr<ClsFixedLayoutableNode> gone;
  std::shared_ptr<ClsSpringEdge> spring;
  {
    const auto fixed = ClsFixedLayoutableNode::create(3);
    gone = fixed;
    spring = ClsSpringEdge::create(fixed, std::make_shared<ClsAbstractLayoutableNode>(), 0);
  }
  // The fixed node lives on in the spring, as does the plain node.
  EXPECT_FALSE(gone.expired());
  EXPECT_EQ(spring->get_left_term_pos(), 3.0);
  EXPECT_NE(spring->get_right_node(), nullptr);
}

TEST(ClsLayoutableNode, SetsAlwaysNotifyAndFixedNodesNeverMove)
{
  ClsAbstractLayoutableNode plain;
  std::vector<std::string> seen;
  layout_node_watch(plain, seen);
  EXPECT_EQ(plain.get_pos(), 0.0);
  EXPECT_EQ(plain.get_velocity(), 0.0);
  EXPECT_EQ(plain.get_energy(), 0.0);
  plain.set_pos(0.0);
  plain.set_velocity(2.5);
  EXPECT_EQ(plain.get_velocity(), 2.5);
  EXPECT_EQ(seen, (std::vector<std::string>{"pos", "velocity"}));

  const auto fixed = ClsFixedLayoutableNode::create(42.0);
  std::vector<std::string> fixed_seen;
  layout_node_watch(*fixed, fixed_seen);
  EXPECT_EQ(fixed->get_pos(), 42.0);
  fixed->set_velocity(9.0);
  EXPECT_EQ(fixed->get_velocity(), 0.0);
  fixed->set_pos(42.0);
  EXPECT_EQ(fixed_seen, (std::vector<std::string>{"velocity", "pos"}));
}

TEST(ClsLayoutEnums, NamesAndNicks)
{
  EXPECT_EQ(cls_link_dir_to_string(ClsLinkDir::left), "LEFT");
  EXPECT_EQ(cls_link_dir_to_string(ClsLinkDir::right), "RIGHT");
  EXPECT_EQ(cls_link_dir_to_string(static_cast<ClsLinkDir>(7)), "RIGHT");
  EXPECT_EQ(cls_segment_term_to_string(ClsSegmentTerm::start), "START");
  EXPECT_EQ(cls_segment_term_to_string(ClsSegmentTerm::end), "END");
  EXPECT_EQ(cls_segment_term_to_string(static_cast<ClsSegmentTerm>(7)), "END");
  const std::pair<ClsSegmentForm, const char*> forms[] = {
      {ClsSegmentForm::undetermined, "undetermined"}, {ClsSegmentForm::l_dec_none, "l-dec-none"},
      {ClsSegmentForm::l_none_dec, "l-none-dec"},     {ClsSegmentForm::u_dec_dec, "u-dec-dec"},
      {ClsSegmentForm::c_dec_inc, "c-dec-inc"},       {ClsSegmentForm::b_none_none, "b-none-none"},
      {ClsSegmentForm::c_inc_dec, "c-inc-dec"},       {ClsSegmentForm::u_inc_inc, "u-inc-inc"},
      {ClsSegmentForm::l_none_inc, "l-none-inc"},     {ClsSegmentForm::l_inc_none, "l-inc-none"},
  };
  int value = 0;
  for (const auto& [form, nick] : forms) {
    EXPECT_EQ(static_cast<int>(form), value++);
    EXPECT_EQ(cls_segment_form_to_nick(form), nick);
  }
}

} // namespace
} // namespace velkaro

#include "ctrl/mode_scripts_for_test.h"

#include <gtest/gtest.h>

#include "ctrl/base_mode.h"
#include "ctrl/undoable_action.h"
#include "ctrl/mode_2d.h"
#include "model/element_cells.h"

namespace velkaro::test {

Layout layout_of(ModelWorkspace& ws)
{
  Layout layout;
  ws.get_cells()->foreach([&](int32_t x, int32_t y, const std::shared_ptr<ModelElement>&) {
    std::string entry;
    for (const auto& name : chain_at(ws, x, y)) {
      const bool text = name.rfind("T:", 0) == 0;
      entry += (entry.empty() ? "" : "+") + (text ? name.substr(2) : name);
    }
    layout.push_back(entry + "@" + std::to_string(x) + "," + std::to_string(y));
    return true;
  });
  return layout;
}

void put_layout(ModelWorkspace& ws, const Layout& layout)
{
  for (const std::string& entry : layout) {
    const auto at = entry.rfind('@');
    const auto comma = entry.find(',', at);
    ASSERT_TRUE(at != std::string::npos && comma != std::string::npos) << entry;
    const int32_t x = std::stoi(entry.substr(at + 1, comma - at - 1));
    const int32_t y = std::stoi(entry.substr(comma + 1));
    std::string texts = entry.substr(0, at);
    for (std::size_t start = 0;;) {
      const auto plus = texts.find('+', start);
      ASSERT_TRUE(put(ws, make_text(texts.substr(start, plus - start)), x, y)) << entry;
      if (plus == std::string::npos)
        break;
      start = plus + 1;
    }
  }
}

void expect_key_table(CtrlIActionHandler& handler, const std::vector<ExpectedAction>& rows)
{
  const auto actions = handler.enum_actions();
  ASSERT_EQ(actions.size(), rows.size()) << handler.get_name();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const ExpectedAction& row = rows[i];
    const auto& wrapper = actions[i];
    SCOPED_TRACE(handler.get_name() + " " + row.name);
    EXPECT_EQ(wrapper->get_name(), row.name);
    EXPECT_EQ(wrapper->get_app_keys(), row.keys);
    EXPECT_EQ(wrapper->get_assigned(), row.keys);
    EXPECT_EQ(wrapper->get_description(), row.description);
    EXPECT_EQ(std::dynamic_pointer_cast<CtrlUndoableAction>(wrapper) != nullptr, row.undoable);
    EXPECT_EQ(wrapper->has_is_actionable_func(), row.tested);
    for (const auto& key : row.keys)
      EXPECT_EQ(handler.get_key_action_map().get(key), row.name) << key;
  }
}

HostMode::HostMode(CtrlContext& ctrl) : KindMode(ctrl, "HOST MODE")
{
  include(CtrlBaseMode::create(ctrl));
  include(Ctrl2DMode::create(ctrl));
}

KindKit host_kit()
{
  return KindKit([](KindContext& ctx) { return std::vector<CtrlContext::ModePtr>{std::make_shared<HostMode>(ctx)}; });
}

} // namespace velkaro::test

#pragma once
// The state-machine editor's controller on a real canvas, for the tests of
// its modes, popup, menus and tool bar: the editor kit
// (view/editor_kit_for_test.h) on a state-machine workspace, its StmContext
// and a StmCanvas; and the insert popup driven by keys. Needs a display:
// build it inside the test, after VELKARO_REQUIRE_GTK().

#include <string>
#include <string_view>
#include <vector>

#include "stm/canvas.h"
#include "stm/context.h"
#include "stm/doc/stm_doc_for_test.h"
#include "stm/doc/workspace.h"
#include "stm/vk_menu.h"
#include "view/editor_kit_for_test.h"

namespace velkaro::test {

struct StmKit : EditorKitOf<StmWorkspace, StmContext, StmCanvas> {
  StmKit() : EditorKitOf(new_stm_ws()) {}
  // The popups go before the modes leave.
  ~StmKit();

  // The document as a cell dump.
  std::vector<std::string> cells() const { return stm_dump(*ws); }
  // Presses keys, which are to bring up the insert popup, and gives the
  // popup. The tests share one X server: while another one's popup holds
  // the grab, a popup cannot come up, so the keys are pressed again until
  // it does (for a while). Null when it never did.
  VKMenu* popup_by_keys(std::string_view pattern);
};

// The insert popup that is up, or null.
VKMenu* shown_popup();
// Each key of the key pattern text pressed on menu, as GTK delivers it
// there.
void menu_keys(VKMenu& menu, std::string_view pattern);
// The labels of menu's items, in order.
std::vector<std::string> labels_of(VKMenu& menu);
// The label of the selected item of menu, or "".
std::string selected_label(VKMenu& menu);
// Dismisses every popup that is up and lets GTK destroy it.
void close_popups();

} // namespace velkaro::test

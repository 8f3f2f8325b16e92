#include "cls/cls_ctrl_kit_for_test.h"

#include "cls/doc/yank_buffer.h"
#include "cls/edit_connector_mode.h"
#include "ctrl/text/text_editor_insert.h"

namespace velkaro::test {

ClsKit::ClsKit() : EditorKitOf(ModelWorkspace::create<ClsWorkspace>())
{
  // The edit-connector mode types into a label through an editor of its own.
  for (const auto& mode : ctx->get_mode_list())
    if (const auto edit = std::dynamic_pointer_cast<ClsEditConnectorMode>(mode))
      use_simple_input_method(*edit->get_editor());
  // The yank buffer is the process's: each test starts with nothing yanked.
  ClsYankBuffer::get().start();
}

} // namespace velkaro::test

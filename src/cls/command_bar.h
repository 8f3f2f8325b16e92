#pragma once
// ClsCommandBar: the class editor's command bar; the view's command bar as
// it is (mode name, pending keys, the command line), for a class context.

#include <memory>

#include "cls/context.h"
#include "view/command_bar.h"

namespace velkaro {

class ClsCommandBar : public ViewCommandBar {
public:
  explicit ClsCommandBar(const std::shared_ptr<ClsContext>& main_ctrl) : ViewCommandBar(main_ctrl) {}
};

} // namespace velkaro

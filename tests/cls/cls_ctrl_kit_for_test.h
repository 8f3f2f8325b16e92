#pragma once
// The class-diagram controller on a real canvas, for the tests of its
// context and modes: the editor kit (view/editor_kit_for_test.h) on a class
// workspace, its ClsContext and a canvas with the standard drawers, with
// nothing yanked. Needs a display: build it inside the test, after
// VELKARO_REQUIRE_GTK().

#include "cls/context.h"
#include "cls/doc/workspace.h"
#include "view/editor_kit_for_test.h"

namespace velkaro::test {

struct ClsKit : EditorKitOf<ClsWorkspace, ClsContext> {
  ClsKit();
};

} // namespace velkaro::test

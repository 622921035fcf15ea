#pragma once
// The mouse wheel turns a drop-down list, a slider or a spin box only when
// that control has the keyboard focus. Over any other the wheel goes on to
// what the control sits in, so a page scrolls under the pointer instead of
// changing the setting it happens to pass over.
class QWidget;

namespace tqm5 {

// Applies the rule to every such control under `root` (built by then).
void wheelOnlyWhenFocused(QWidget* root);

}  // namespace tqm5

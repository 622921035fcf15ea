#include "ui/set_mode_page.h"

#include <QGroupBox>
#include <QVBoxLayout>

namespace tqm5 {

SetModePage::SetModePage(Commands& commands, QWidget* parent) : Page(parent), commands_(commands) {
    auto* frame = new QGroupBox("Set Mode", this);
    frame->setObjectName("A_FRAME[3]");
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
}

}  // namespace tqm5

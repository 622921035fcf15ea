#include "ui/common_set_page.h"

#include <QGroupBox>
#include <QVBoxLayout>

namespace tqm5 {

CommonSetPage::CommonSetPage(Commands& commands, QWidget* parent) : Page(parent), commands_(commands) {
    auto* frame = new QGroupBox("Common Setting", this);
    frame->setObjectName("A_FRAME[2]");
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
}

}  // namespace tqm5

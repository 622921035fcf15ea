#include "ui/common_set_page.h"

#include <QGroupBox>
#include <QVBoxLayout>

#include "ui/one_touch_frame.h"

namespace tqm5 {

CommonSetPage::CommonSetPage(Commands& commands, QWidget* parent) : Page(parent), commands_(commands) {
    auto* frame = new QGroupBox("Common Setting", this);
    frame->setObjectName("A_FRAME[2]");
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
    auto* oneTouch = new OneTouchFrame(commands_, frame);
    (new QVBoxLayout(frame))->addWidget(oneTouch, 0, Qt::AlignLeft | Qt::AlignTop);
    transferControls_ += oneTouch->transferControls();
}

}  // namespace tqm5

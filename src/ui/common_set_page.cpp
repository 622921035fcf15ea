#include "ui/common_set_page.h"

#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace tqm5 {

CommonSetPage::CommonSetPage(Commands& commands, QWidget* parent) : Page(parent), commands_(commands) {
    auto* frame = new QGroupBox("Common Setting", this);
    frame->setObjectName("A_FRAME[2]");
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
    auto* font = new QPushButton("FONT", frame);  // opens the font window (connected by the main window)
    font->setObjectName("Command1");
    (new QVBoxLayout(frame))->addWidget(font, 0, Qt::AlignLeft | Qt::AlignTop);
    transferControls_ << font;
}

}  // namespace tqm5

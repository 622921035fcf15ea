#include "ui/bank_page.h"

#include <QGroupBox>
#include <QVBoxLayout>

namespace tqm5 {

BankPage::BankPage(Commands& commands, QWidget* parent) : Page(parent), commands_(commands) {
    auto* frame = new QGroupBox("Bank Setting", this);
    frame->setObjectName("A_FRAME[1]");
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
}

}  // namespace tqm5

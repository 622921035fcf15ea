#include "ui/version_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace tqm5 {
namespace {

// A small drawing of the handheld for the dialog.
QPixmap radioPicture() {
    QPixmap pm(64, 96);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(40, 40, 48));
    p.setPen(Qt::NoPen);
    p.drawRect(14, 2, 6, 30);                       // antenna
    p.drawRoundedRect(8, 28, 48, 66, 6, 6);         // body
    p.setBrush(QColor(150, 200, 120));
    p.drawRect(14, 36, 36, 18);                     // display
    p.setBrush(QColor(90, 90, 100));
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) p.drawRect(15 + c * 12, 60 + r * 10, 9, 6);
    return pm;
}

}  // namespace

VersionDialog::VersionDialog(QWidget* parent) : QDialog(parent) {
    // The window keeps its name "Form3": tests and accessibility tools find it by it.
    setObjectName("Form3");
    setWindowTitle("Version");
    auto* picture = new QLabel(this);
    picture->setObjectName("Picture1");
    picture->setPixmap(radioPicture());
    auto* texts = new QVBoxLayout;
    for (const char* t : {"ORVANE TQ-M5 Clone Utility", "Version 1_1", "2009/08/11"}) {
        auto* l = new QLabel(QString::fromUtf8(t), this);
        texts->addWidget(l);
    }
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("Command1");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addLayout(texts);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addWidget(ok, 0, Qt::AlignRight);
}

}  // namespace tqm5

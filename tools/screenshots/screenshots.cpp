// Renders the README's pictures: the Memory page after reading the demo
// radio, the detail editor on a dual pair, the Bank page, the group window,
// the one-touch frame, the Set Mode and Common Set pages in English and in
// Japanese, and the font window after reading the demo radio's glyphs.
//   screenshots OUTPUT_FOLDER
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTabBar>
#include <QTimer>

#include "channels/channel_transfers.h"
#include "demo_window.h"
#include "ui/channel_editor.h"
#include "ui/group_window.h"
#include "ui/one_touch_frame.h"

#include <QTabBar>
#include "ui/font_window.h"

using namespace tqm5;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? argv[1] : ".";
    QDir().mkpath(out);
    QFont font = QApplication::font();
    font.setFamilies({font.family(), "Noto Sans CJK JP"});
    QApplication::setFont(font);

    DemoWindow demo;
    Document& doc = demo.doc;
    MainWindow& window = demo.window;
    if (window.memoryRead() != TransferOutcome::Success) return 1;
    doc.grid.setSelection(1101, 1101);
    doc.grid.selectRow(1101);
    QApplication::processEvents();
    window.grab().save(out + "/memory-page.png");

    doc.grid.selectRow(1);
    QApplication::processEvents();
    window.grab().save(out + "/main-window.png");

    ChannelEditor editor(doc.grid, 1101, &window);
    editor.show();
    QApplication::processEvents();
    editor.grab().save(out + "/detail-editor-dual.png");
    editor.close();

    // Banks, groups and one-touch keys as read from the demo radio.
    if (window.commands().banks.read() != TransferOutcome::Success) return 1;
    auto* tabs = window.findChild<QTabBar*>("TabStrip1");
    tabs->setCurrentIndex(1);
    QApplication::processEvents();
    window.grab().save(out + "/bank-page.png");

    if (!window.commands().groups.openWindow()) return 1;
    GroupWindow groups(window.commands(), false, &window);
    groups.show();
    if (groups.read() != TransferOutcome::Success) return 1;
    QApplication::processEvents();
    groups.grab().save(out + "/bank-link-groups.png");
    groups.close();

    tabs->setCurrentIndex(2);
    if (window.commands().oneTouch.read() != TransferOutcome::Success) return 1;
    QApplication::processEvents();
    if (auto* frame = window.findChild<OneTouchFrame*>()) frame->grab().save(out + "/one-touch-frame.png");
    if (window.commands().settings.read() != TransferOutcome::Success) return 1;
    if (window.commands().title.read() != TransferOutcome::Success) return 1;
    auto shoot = [&](int tab, const QString& file) {
        tabs->setCurrentIndex(tab);
        QApplication::processEvents();
        window.grab().save(out + "/" + file);
    };
    window.resize(1400, 900);
    shoot(3, "set-mode-page-en.png");
    shoot(2, "common-set-page-en.png");
    selectSetModeItem(doc.setMode, setModeItemIndex("Set_Mode_Display[0]"), Japanese);
    shoot(3, "set-mode-page-ja.png");
    shoot(2, "common-set-page-ja.png");
    FontWindow fontWindow(doc, demo.link, demo.host, &window);
    fontWindow.show();
    fontWindow.start(FontSequence::ReadAll);
    QElapsedTimer clock;
    clock.start();
    while (!fontWindow.transfer().idle() && clock.elapsed() < 20000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    if (fontWindow.outcome() != FontTransfer::Outcome::Success) return 1;
    fontWindow.selectGlyph(2);
    QApplication::processEvents();
    fontWindow.grab().save(out + "/font-window.png");
    return 0;
}

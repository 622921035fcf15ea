// Renders the README's pictures: the Memory page after reading the demo
// radio, the detail editor on a dual pair, and the font window after
// reading the demo radio's glyphs.
//   screenshots OUTPUT_FOLDER
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>

#include "channels/channel_transfers.h"
#include "demo_window.h"
#include "ui/form2.h"
#include "ui/form4.h"

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
    Form1& window = demo.window;
    if (window.memoryRead() != TransferOutcome::Success) return 1;
    doc.grid.setSelection(1101, 1101);
    doc.grid.selectRow(1101);
    QApplication::processEvents();
    window.grab().save(out + "/memory-page.png");

    doc.grid.selectRow(1);
    QApplication::processEvents();
    window.grab().save(out + "/main-window.png");

    Form2 editor(doc.grid, 1101, &window);
    editor.show();
    QApplication::processEvents();
    editor.grab().save(out + "/detail-editor-dual.png");
    editor.close();

    Form4 fontWindow(doc, demo.link, demo.host, &window);
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

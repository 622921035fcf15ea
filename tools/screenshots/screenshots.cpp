// Renders the README's pictures: the Memory page after reading the demo
// radio, and the detail editor on a dual pair.
//   screenshots OUTPUT_FOLDER
#include <QApplication>
#include <QDir>
#include <QTimer>

#include "channels/channel_transfers.h"
#include "demo_window.h"
#include "ui/form2.h"

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
    return 0;
}

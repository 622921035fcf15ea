#include "ui/channel_print.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include "app/channel_print.h"
#include "channels/channel_grid.h"

namespace tqm5 {
namespace {

QFont listFont(double points, bool bold = false) {
    QFont f;
    // Latin text in a plain face (its digits keep their text in a PDF); the
    // kana and kanji of names in the Japanese CJK face, so that a kanji has
    // its Japanese form.
    f.setFamilies({"DejaVu Sans", "Noto Sans CJK JP"});
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

}  // namespace

int drawChannelList(QPagedPaintDevice& device, const ChannelGrid& grid, const QString& date) {
    QPainter p;
    if (!p.begin(&device)) return 0;
    const QFont body = listFont(8), bold = listFont(8, true), head = listFont(11, true);
    const QRectF area(0, 0, device.width(), device.height());  // inside the margins
    const double line = QFontMetricsF(body, &device).height() * 1.25;
    const double headHeight = QFontMetricsF(head, &device).height() * 1.6;
    // Head, section heading and column headings above; the page number below.
    const double top = headHeight + 2.5 * line, foot = 1.5 * line;
    const int rowsPerPage = std::max(1, static_cast<int>((area.height() - top - foot) / line));
    const std::vector<PrintPage> pages = printPages(grid, rowsPerPage);
    if (pages.empty()) {
        p.end();
        return 0;
    }
    // Columns as wide as the grid shows them, scaled to the page.
    double twips = 0;
    for (int c : PrintColumns) twips += ChannelGrid::columnWidthTwips(c);
    std::vector<double> x;
    double at = area.left();
    for (int c : PrintColumns) {
        x.push_back(at);
        at += area.width() * ChannelGrid::columnWidthTwips(c) / twips;
    }
    x.push_back(area.right());
    auto rowText = [&](double y, auto&& text) {
        for (std::size_t i = 0; i < PrintColumns.size(); ++i)
            p.drawText(QRectF(x[i], y, x[i + 1] - x[i] - line * 0.2, line), Qt::AlignLeft | Qt::AlignVCenter,
                       text(PrintColumns[i]));
    };
    const int count = static_cast<int>(pages.size());
    for (int n = 0; n < count; ++n) {
        if (n > 0) device.newPage();
        const PrintPage& page = pages[static_cast<std::size_t>(n)];
        p.setFont(head);
        p.drawText(QRectF(area.left(), area.top(), area.width(), headHeight), Qt::AlignLeft | Qt::AlignTop,
                   QString::fromUtf8(PrintTitle));
        p.setFont(body);
        p.drawText(QRectF(area.left(), area.top(), area.width(), headHeight), Qt::AlignRight | Qt::AlignTop, date);
        p.drawLine(QPointF(area.left(), headHeight * 0.85), QPointF(area.right(), headHeight * 0.85));
        double y = headHeight;
        p.setFont(bold);
        p.drawText(QRectF(area.left(), y, area.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromStdString(page.heading));
        y += line;
        rowText(y, [&](int c) { return QString::fromStdString(grid.cell(0, c)); });
        y += line * 1.5;
        p.setFont(body);
        for (int row : page.rows) {
            rowText(y, [&](int c) { return QString::fromStdString(grid.cell(row, c)); });
            y += line;
        }
        p.drawText(QRectF(area.left(), area.bottom() - line, area.width(), line), Qt::AlignHCenter | Qt::AlignVCenter,
                   QString("Page %1 of %2").arg(n + 1).arg(count));
    }
    p.end();
    return count;
}

QString writeChannelPdf(const QString& path, const ChannelGrid& grid, const QString& date) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(QString::fromUtf8(PrintTitle));
        pdf.setCreator("TQM5 Writer");
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(12, 12, 12, 12),
                                      QPageLayout::Millimeter));
        if (drawChannelList(pdf, grid, date) == 0) {
            file.cancelWriting();
            return "the selected rows hold no channel";
        }
    }
    if (!file.commit()) return file.errorString();
    return {};
}

}  // namespace tqm5

#pragma once
// Draws the channel list onto a printer or a PDF: a head with the title and
// the date, each section's heading and column headings, the rows with their
// labels, names in the Japanese font, and the page number at the foot.
#include <QString>

class QPagedPaintDevice;

namespace tqm5 {

class ChannelGrid;

// Draws every page; returns how many, or 0 when the device could not be
// painted on (a printer that went away, a file that cannot be written).
int drawChannelList(QPagedPaintDevice& device, const ChannelGrid& grid, const QString& date);

// The list as a PDF file at `path`, saved whole or not at all. Empty on
// success, otherwise why not.
QString writeChannelPdf(const QString& path, const ChannelGrid& grid, const QString& date);

}  // namespace tqm5

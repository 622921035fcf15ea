#pragma once
// The Memory page: the channel grid and the commands on it.
#include "app/commands.h"
#include "base/listeners.h"
#include "ui/page.h"

class QPushButton;
class QTableView;

namespace tqm5 {

class GridModel;

class MemoryPage : public Page {
    Q_OBJECT
public:
    MemoryPage(Commands& commands, QWidget* parent = nullptr);
    QList<QWidget*> transferControls() const override;
    QTableView* grid() const { return view_; }
    void openEditor();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fitColumns();
    void showSelection();
    // The view back at its first columns, the cursor in the first column.
    void showFirstColumns();
    void takeViewSelection();

    Commands& commands_;
    ChannelGrid& grid_;
    GridModel* model_ = nullptr;
    QTableView* view_ = nullptr;
    QList<QWidget*> transferControls_;
    Listeners<>::Token selectionToken_;
    Listeners<int, int>::Token rowsToken_;
    bool syncing_ = false;
    bool fromView_ = false;  // the selection being taken came from the view (a click, the keys)
};

}  // namespace tqm5

#pragma once
// The "Common Setting" page: the Common Set items in their group frames,
// the opening title, DTMF memory 0, the one-touch frame and FONT.
#include <array>

#include "app/commands.h"
#include "ui/page.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace tqm5 {

class DtmfMemoryEdit;
class OneTouchFrame;
class SetModeItemsView;

class CommonSetPage : public Page {
    Q_OBJECT
public:
    CommonSetPage(Commands& commands, QWidget* parent = nullptr);
    QList<QWidget*> transferControls() const override { return transferControls_; }
    void transferControlsEnabled(bool on) override;
    SetModeItemsView& items() { return *items_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildTitleFrame(QWidget* parent);
    void showTitle();

    Commands& commands_;
    // The document outlives the window; the commands go before the widgets do.
    Document& doc_;
    SetModeItemsView* items_ = nullptr;
    QLineEdit* titleText_ = nullptr;
    QComboBox* slide_ = nullptr;
    QLabel* slideLabel_ = nullptr;
    DtmfMemoryEdit* dtmf0_ = nullptr;
    OneTouchFrame* oneTouch_ = nullptr;
    QList<QWidget*> transferControls_;
    Listeners<>::Token titleToken_, dtmfToken_, relabelToken_;
};

}  // namespace tqm5

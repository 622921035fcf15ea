#pragma once
// The "Set Mode" page: the Set Mode items in their group frames, CH.Display
// Mode, Write Protect, the scan timer, the display language and the DTMF
// memories 1 to 9 with the auto-dialer lists.
#include <array>

#include "app/commands.h"
#include "ui/page.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace tqm5 {

class DtmfMemoryEdit;
class SetModeItemsView;

class SetModePage : public Page {
    Q_OBJECT
public:
    SetModePage(Commands& commands, QWidget* parent = nullptr);
    QList<QWidget*> transferControls() const override { return transferControls_; }
    SetModeItemsView& items() { return *items_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildDtmfFrame(QWidget* parent);
    QWidget* buildLanguageFrame(QWidget* parent);
    void showScanTimer();
    void showDtmf();

    Commands& commands_;
    // The document outlives the window; the commands go before the widgets do.
    Document& doc_;
    SetModeItemsView* items_ = nullptr;
    QCheckBox* scanCheck_ = nullptr;
    QLineEdit* scanTime_ = nullptr;
    std::array<DtmfMemoryEdit*, 10> dtmfEdits_{};
    std::array<QComboBox*, 5> dtmfLists_{};
    QList<QWidget*> transferControls_;
    Listeners<>::Token settingsToken_, dtmfToken_;
};

}  // namespace tqm5

#pragma once
// What the windows offer to running code: message boxes, the progress
// display, events, and the transfer controls' enabled state.
#include "base/listeners.h"
#include "protocol/host.h"

class QLineEdit;
class QProgressBar;
class QWidget;

namespace tqm5 {

class WidgetHost : public Host {
public:
    explicit WidgetHost(QWidget* dialogParent = nullptr) : parent_(dialogParent) {}

    // Bound by the main window once its widgets exist.
    void setParent(QWidget* parent) { parent_ = parent; }
    void bindProgress(QProgressBar* bar, QLineEdit* text) {
        bar_ = bar;
        text_ = text;
    }
    // The transfer controls' enabled state follows the transfers.
    Listeners<bool /*enabled*/> transferControlsEnabled;

    Choice message(const std::string& text, const std::string& title, Buttons buttons) override;
    void processEvents() override;
    void setProgressMax(int max) override;
    void setProgressValue(int value) override;
    void setProgressText(const std::string& text) override;
    void enableTransferControls() override;
    void disableTransferControls() override;

private:
    QWidget* parent_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QLineEdit* text_ = nullptr;
};

}  // namespace tqm5

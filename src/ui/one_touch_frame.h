#pragma once
// The "OneTouch Memory" frame of the Common Set page: nine keys with
// "No Setting", bank and channel, and the frame's Reset, Read and Write.
#include <QGroupBox>
#include <QList>

#include "app/commands.h"

class QCheckBox;
class QComboBox;

namespace tqm5 {

class OneTouchFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit OneTouchFrame(Commands& commands, QWidget* parent = nullptr);
    // The buttons a transfer disables.
    QList<QWidget*> transferControls() const { return transferControls_; }
    // The keys' check boxes and lists: they take no choice while a transfer
    // runs (a write would send half old, half new keys), so they look it.
    void inputsEnabled(bool on);

private:
    void refresh();

    Commands& commands_;
    QList<QWidget*> transferControls_;
    QList<QCheckBox*> noSetting_;
    QList<QComboBox*> banks_;
    QList<QComboBox*> channels_;
    Listeners<>::Token keysToken_;
    bool refreshing_ = false;
};

}  // namespace tqm5

#pragma once
// The version dialog.
#include <QDialog>

namespace tqm5 {

class VersionDialog : public QDialog {
    Q_OBJECT
public:
    explicit VersionDialog(QWidget* parent = nullptr);
};

}  // namespace tqm5

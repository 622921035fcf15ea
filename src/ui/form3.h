#pragma once
// The version dialog.
#include <QDialog>

namespace tqm5 {

class Form3 : public QDialog {
    Q_OBJECT
public:
    explicit Form3(QWidget* parent = nullptr);
};

}  // namespace tqm5

#pragma once
// The channel detail editor "Memory Setting": one grid row, or both halves of
// a dual pair side by side. The field rules live in DetailEditor; this dialog
// moves values between its controls and those rules.
#include <QDialog>
#include <QHash>
#include <array>

#include "channels/detail_editor.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tqm5 {

class ChannelEditor : public QDialog {
    Q_OBJECT
public:
    // `row` is the grid row to edit; a dual main row brings the row below.
    ChannelEditor(const ChannelGrid& grid, int row, QWidget* parent = nullptr);

    // The outcome after the dialog has closed: what to store and how.
    // "Cancel" and closing the window leave every row as it was.
    EditResult result() const { return editor_.result(); }
    StorePlan plan() const { return editor_.plan(); }
    StoreMode storeMode() const { return editor_.storeMode(); }
    const DetailEditor& editor() const { return editor_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Field { FreqMhz, FreqFraction, OffsetMhz, OffsetKhz, Name, List };
    struct SetControls {
        QLabel* title = nullptr;  // "Memory" / "Memory 2"
        QLabel* label = nullptr;  // the row's grid label
        QLineEdit *freq1 = nullptr, *freq2 = nullptr;
        std::array<QRadioButton*, 4> mode{};
        std::array<QRadioButton*, 16> step{};
        std::array<QRadioButton*, 6> toneMode{};
        QComboBox *txTone = nullptr, *rxTone = nullptr, *dcs = nullptr, *train = nullptr;
        std::array<QRadioButton*, 3> shift{};
        QLineEdit *offset1 = nullptr, *offset2 = nullptr;
        QCheckBox* skip = nullptr;
        QLineEdit* name = nullptr;
        std::array<QPushButton*, 8> userChars{};
        QPushButton* clear = nullptr;
    };

    void buildSet(int index, int left);
    void showSet(int index);
    DetailSet readSet(int index) const;
    void leaveOffset(int index, Field field);
    void clearSet(int index);
    void ok();

    DetailEditor editor_;
    std::array<SetControls, 2> sets_;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    struct Binding {
        Field field;
        int set;
    };
    QHash<QObject*, Binding> bindings_;
};

}  // namespace tqm5

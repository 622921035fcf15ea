#pragma once
// Widgets shared by the Set Mode and Common Set pages: selection-only
// drop-down lists, the catalogue's items as labelled lists in their group
// frames (following the document and the language), and the DTMF memory
// boxes with their typing rules.
#include <QComboBox>
#include <QLineEdit>
#include <QObject>

#include <map>
#include <vector>

#include "app/commands.h"

class QGroupBox;
class QLabel;
class QPushButton;

namespace tqm5 {

// A drop-down list that is chosen from, never typed into: Up, Down, Page
// Up, Page Down, Home and End choose entries as a mouse choice does (the
// list says `activated`); F4 and Alt+Down open it; typed characters are
// discarded.
class ListCombo : public QComboBox {
    Q_OBJECT
public:
    // As wide as its widest entry, also after a refill in another language.
    explicit ListCombo(QWidget* parent = nullptr) : QComboBox(parent) { setSizeAdjustPolicy(AdjustToContents); }
    QSize sizeHint() const override { return withRoom(QComboBox::sizeHint()); }
    QSize minimumSizeHint() const override { return withRoom(QComboBox::minimumSizeHint()); }

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    // The style's measure of the widest entry can fall a pixel or two
    // short of the text field it then draws the entry in.
    static QSize withRoom(QSize s) { return s + QSize(4, 0); }
};

QPushButton* namedButton(QWidget* parent, const char* name, const char* caption);
// A page's one frame, in a scroll area that fills the page: a small screen
// scrolls the page rather than squeezing its lists.
QGroupBox* scrolledPageFrame(QWidget* page, const char* caption, const char* name);
// Screen readers name a frame by the frame around it unless it has a name
// of its own: every frame under `root` is named by its caption.
void nameFrameByCaption(QGroupBox* box);
void nameFramesByCaption(QWidget* root);
void fillCombo(QComboBox* combo, const std::vector<std::string>& entries);

// The catalogue items of one page, each a label and a list in its group's
// frame; the lists show the document's positions and write the user's
// choices back.
class SetModeItemsView : public QObject {
    Q_OBJECT
public:
    SetModeItemsView(Commands& commands, SetModePageKind page, QWidget* parent);
    // The group's frame with the page's items of that group, built once.
    QGroupBox* frame(SetModeGroup group);
    QComboBox* combo(const std::string& control) const;
    QLabel* label(const std::string& control) const;
    // Follows the language: captions, frame captions, refilled lists.
    void relabel();
    void showPositions();

private:
    // The document outlives the window; the commands go before the widgets do.
    Commands& commands_;
    Document& doc_;
    SetModePageKind page_;
    QWidget* parent_;
    std::map<SetModeGroup, QGroupBox*> frames_;
    std::map<int, QComboBox*> combos_;  // by catalogue index
    std::map<int, QLabel*> labels_;
    Listeners<>::Token changedToken_, relabelToken_;
};

// A DTMF memory box: only DTMF characters, sixteen at most, cleaned up
// when the box is left.
class DtmfMemoryEdit : public QLineEdit {
    Q_OBJECT
public:
    DtmfMemoryEdit(Commands& commands, int memory, QWidget* parent);
    void showMemory();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    Commands& commands_;
    const DtmfSettings& dtmf_;
    int memory_;
};

}  // namespace tqm5

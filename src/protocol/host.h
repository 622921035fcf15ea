#pragma once
// What the user interface offers to running code.
#include <string>

namespace tqm5 {

class Host {
public:
    enum class Buttons { Ok, OkCancel };
    enum class Choice { Ok, Cancel };
    virtual ~Host() = default;
    virtual Choice message(const std::string& text, const std::string& title, Buttons buttons = Buttons::Ok) = 0;
    virtual void processEvents() = 0;
    virtual void setProgressMax(int max) = 0;
    virtual void setProgressValue(int value) = 0;
    virtual void setProgressText(const std::string& text) = 0;
    // Every transfer control, the tab strip, the grid and the menus accept
    // input again.
    virtual void enableTransferControls() = 0;
    // A transfer starts: the controls that ignore input while it runs look
    // disabled until enableTransferControls.
    virtual void disableTransferControls() {}
};

// A host for runs no one watches: every message is answered OK, nothing is
// shown.
class SilentHost : public Host {
public:
    Choice message(const std::string&, const std::string&, Buttons) override { return Choice::Ok; }
    void processEvents() override {}
    void setProgressMax(int) override {}
    void setProgressValue(int) override {}
    void setProgressText(const std::string&) override {}
    void enableTransferControls() override {}
};

}  // namespace tqm5

#pragma once
// The window's host with its message boxes replaced by a recorder: the
// progress display, events and controls are the real ones.
#include <functional>

#include "ui/widget_host.h"

namespace tqm5::test {

struct RecordingWidgetHost : WidgetHost {
    std::function<Choice(const std::string& text, const std::string& title, Buttons buttons)> sink;
    Choice message(const std::string& text, const std::string& title, Buttons buttons) override {
        return sink ? sink(text, title, buttons) : Choice::Ok;
    }
};

}  // namespace tqm5::test

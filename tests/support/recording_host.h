#pragma once
// A Host that records what the program would show, for tests.
#include <functional>
#include <string>
#include <vector>

#include "protocol/host.h"

namespace tqm5::test {

struct RecordingHost : Host {
    struct Shown {
        std::string text, title;
        Buttons buttons;
    };
    std::vector<Shown> messages;
    std::vector<std::string> progressTexts;
    int progressMax = 0, progressValue = 0, enableCalls = 0, events = 0;
    Choice answer = Choice::Ok;
    std::function<void()> onEvents;  // runs inside a transfer's waits

    Choice message(const std::string& text, const std::string& title, Buttons b) override {
        messages.push_back({text, title, b});
        return b == Buttons::Ok ? Choice::Ok : answer;
    }
    void processEvents() override {
        ++events;
        if (onEvents) onEvents();
    }
    void setProgressMax(int m) override { progressMax = m; }
    std::vector<int> progressValues;  // every value set, in order
    void setProgressValue(int v) override {
        progressValue = v;
        progressValues.push_back(v);
    }
    void setProgressText(const std::string& t) override {
        if (progressTexts.empty() || progressTexts.back() != t) progressTexts.push_back(t);
    }
    void enableTransferControls() override { ++enableCalls; }
    std::string lastText() const { return messages.empty() ? "" : messages.back().text; }
};

}  // namespace tqm5::test

#pragma once
// Every command a user gives, as the windows run them: one object per area,
// all sharing the transfer runner and its one busy check (while a transfer
// runs, every other command returns at once), and the few commands of the
// window itself.
#include "app/all_data.h"
#include "app/bank_commands.h"
#include "app/channel_commands.h"
#include "app/file_commands.h"
#include "app/group_commands.h"
#include "app/one_touch_commands.h"
#include "app/settings_commands.h"
#include "app/title_commands.h"
#include "app/transfer_runner.h"

namespace tqm5 {

class Commands {
public:
    Commands(Document& doc, SerialLink& link, Host& host)
        : runner(doc, link, host), channels(runner), banks(runner), oneTouch(runner), groups(runner),
          settings(runner), title(runner), files(runner, channels.history()),
          allData(runner, channels, banks, oneTouch, title, settings) {}
    Commands(const Commands&) = delete;
    Commands& operator=(const Commands&) = delete;

    TransferRunner runner;
    ChannelCommands channels;
    BankCommands banks;
    OneTouchCommands oneTouch;
    GroupCommands groups;
    SettingsCommands settings;  // Set Mode, Common Set, DTMF
    TitleCommands title;
    FileCommands files;
    AllDataCommands allData;    // Read All, Write All, Write Changes, restores

    // --- the window ----------------------------------------------------------
    // Returns the page to show (1-4), or 0 when the shown page stays.
    int switchPage(int n);
    // False while a transfer runs: the choice is not taken.
    bool selectPort(int number);
    bool mayOpenDialog() const { return !runner.busy(); }
    // Print and PDF: no transfer runs and the rows to print hold a channel
    // (otherwise says so).
    bool mayPrint();
};

}  // namespace tqm5

// The dialog driver: the user of the headless dialogs.  When a modal dialog
// has run its initialisation it is handed to the driver, which acts as a
// person would (types into edits and leaves them, checks boxes, picks radio
// buttons and rows, clicks buttons, edits tree labels, moves sliders, presses
// keys, OK or Cancel) until the dialog ends.  Answers come from, in order: a
// queued script line for that dialog id (one use), a driver installed for the
// id (every opening), the fallback driver, else none: the dialog is closed
// with OK on its values.
// When a driver leaves the dialog open (or there is none), Enter is pressed:
// the default push button as the template marks it (or as the dialog set it
// when it opened), else the OK command.  When that leaves it open too, or an
// action fails (missing or disabled control, missing row …), the error is
// recorded and the dialog is cancelled, so nothing half-entered is taken.
// Each modal dialog is shown on the transcript as it opens ("[okno ID]
// caption") and as it ends (how it was answered and its result); a failed
// action of a script's answer is shown with it and counted.  Modeless dialogs stay open and are driven the
// same way, between commands, without the closing OK.  Message boxes and popup menus take queued answers;
// unanswered a message box takes its default button and a menu is dismissed.  Everything shown is recorded
// for tests.
//
// Script line grammar (the host program's "!dialog" lines):
//
//   line    := DIALOG action*
//   DIALOG  := a dialog id, or color | truecolor | rgb | file (host dialogs)
//   action  := edit CTRL "text"       set the text, then leave the field
//            | type CTRL "text"       type the characters one by one
//            | check CTRL [0|1|2]     (default 1)   | uncheck CTRL
//            | radio CTRL             | click CTRL  | focus CTRL
//            | select CTRL ROW…       (rows of a list, combo, list view or tree)
//            | dblclick CTRL [ROW]    | expand CTRL ROW
//            | label CTRL ROW "text"  | label CTRL ROW cancel   (tree labels)
//            | slider CTRL N          | column CTRL N  | track CTRL N WIDTH
//            | scroll CTRL lineup|linedown|pageup|pagedown|top|bottom|thumb N
//            | key CTRL KEY [ctrl] [shift]   KEY := enter|tab|escape|delete|
//                 backspace|space|up|down|left|right|home|end|f1|f2|NUMBER
//            | menu N                 (the next popup menu chooses item N; 0 dismisses)
//            | msgbox ANSWER          (the next message box this dialog shows takes
//                                      ANSWER; dropped unused when the dialog ends)
//            | message N [W [L]]      (a window message to the dialog)
//            | page N | apply | help  (property sheets)
//            | enter | ok | cancel
//   ROW     := "text" (exact, case ignored; a list view's first column) | N (index)
//   CTRL    := a control id
//
// Example: 133 edit 1001 "12.5" check 1002 select 1003 "Muri" ok
// Message box answers ("!msgbox"): ok, cancel, yes, no, retry, abort, ignore
// or a button id.
//
// This is the driver's side, for the script driver and the tests
// (host/harness/harness.h); the message boxes themselves are in
// host/ui/msgbox.h.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "host/ui/uibase.h"

class CDialog;
class CWnd;
struct DialogTemplate;

namespace zcui {

// Host dialogs driven like the module's, under these ids.
inline constexpr UINT kColorDialogId = 9001;
inline constexpr UINT kTrueColorDialogId = 9002;
inline constexpr UINT kRgbDialogId = 9003;
inline constexpr UINT kFileDialogId = 9004;

using Row = std::variant<int, std::string>;

// What a driver does to one dialog.  Every action returns false (and records
// why) when it cannot be done; after a failure, or once the dialog has ended,
// later actions do nothing.
class DialogUser {
public:
    DialogUser(CDialog& dialog, UINT id);
    CDialog& Dialog() const { return *dialog_; }
    UINT Id() const { return id_; }
    bool Ended() const;
    bool Failed() const { return failed_; }

    bool Edit(int ctrl, std::string_view text);
    bool Type(int ctrl, std::string_view text);
    bool Check(int ctrl, int state = 1);
    bool Radio(int ctrl) { return Click(ctrl); }
    bool Click(int ctrl);
    bool Focus(int ctrl);
    bool Select(int ctrl, const std::vector<Row>& rows);
    bool Select(int ctrl, const Row& row) { return Select(ctrl, std::vector<Row>{row}); }
    bool DoubleClick(int ctrl, std::optional<Row> row = std::nullopt);
    bool Expand(int ctrl, const Row& row);
    bool EditLabel(int ctrl, const Row& row, std::optional<std::string> text);
    bool Slide(int ctrl, int pos);
    bool Scroll(int ctrl, UINT code, int pos = 0);
    bool ColumnClick(int ctrl, int col);
    bool TrackColumn(int ctrl, int col, int width);
    bool Key(int ctrl, UINT vk, bool ctrlHeld = false, bool shiftHeld = false);
    bool Menu(UINT id);
    // The next message box shown while this dialog runs takes this button;
    // an answer no box took is dropped when the dialog ends.
    bool MessageBoxAnswer(int buttonId);
    bool Message(UINT msg, WPARAM wp = 0, LPARAM lp = 0);
    bool Page(int index);
    bool Apply();
    bool Help();
    bool Enter();
    bool Ok();
    bool Cancel();
    // Enter as the dialog manager takes it with no button focused: the
    // default push button (the template's, or the one the dialog chose),
    // else the OK command. Gives the button as the transcript names it.
    std::string PressDefault();

    // The script action that failed, and why (empty while none has).
    void SetFailedAction(std::string action) { failedAction_ = std::move(action); }
    const std::string& FailedAction() const { return failedAction_; }
    const std::string& Failure() const { return failure_; }

    // Reading the screen.
    CWnd* Control(int ctrl) const;
    template <class T>
    T* Get(int ctrl) const {
        return dynamic_cast<T*>(Control(ctrl));
    }
    std::string Text(int ctrl) const;
    int Checked(int ctrl) const;
    LRESULT LastResult() const { return lastResult_; }

private:
    bool Fail(const std::string& why);
    bool Ready();
    CWnd* Need(int ctrl);
    void Settle();
    CDialog* dialog_;
    UINT id_;
    bool failed_ = false;
    std::string failedAction_, failure_;
    LRESULT lastResult_ = 0;
};

using DialogDriver = std::function<void(DialogUser&)>;

// Drivers per dialog id, used at every opening until removed.
void InstallDialogDriver(UINT dialogId, DialogDriver driver);
void RemoveDialogDriver(UINT dialogId);
// The driver of every dialog that has neither a queued line nor a driver of
// its own (null: such a dialog is closed with OK on its values).
void InstallFallbackDialogDriver(DialogDriver driver);
// Parses a script line; on error nothing is queued and the error says why.
bool ParseDialogScript(std::string_view line, UINT& dialogId, DialogDriver& driver, std::string* error);
// Queues a line for the next opening of its dialog (one use).
bool QueueDialogScript(std::string_view line, std::string* error = nullptr);
// As the host program's "!dialog": drives an open modeless dialog of that id
// at once, else queues the line.
bool RunDialogScript(std::string_view line, std::string* error = nullptr);
// Drives an open modeless dialog now; false when none of that id is open.
bool DriveModeless(UINT dialogId, const DialogDriver& driver);
CDialog* FindModeless(UINT dialogId);

// Message box and menu answers, used in order.
bool QueueMessageBoxAnswer(std::string_view answer, std::string* error = nullptr);
// The button a script's answer names; nothing (and why) for another word.
std::optional<int> MessageBoxButton(std::string_view answer, std::string* error = nullptr);
void QueueMessageBoxAnswer(int buttonId);
void QueueMenuAnswer(UINT id);
// Answers queued and never taken, oldest first: "!dialog ID" for each
// dialog line whose dialog never opened, "!msgbox ANSWER" for each message
// box answer no box took.
std::vector<std::string> UnusedAnswers();

struct MessageBoxRecord {
    std::string text;
    std::string caption;
    UINT type = 0;
    int answer = 0;
};
struct DialogRecord {
    UINT id = 0;
    int result = 0;
};
struct MenuRecord {
    std::vector<std::string> items;
    UINT answer = 0;
};
const std::vector<MessageBoxRecord>& MessageBoxes();
const std::vector<DialogRecord>& DialogsShown();
const std::vector<MenuRecord>& MenusShown();
const std::vector<std::string>& DriverErrors();
// Script answers ("!dialog" lines) whose action failed.
int FailedAnswers();
// The controls of a dialog template as a script answers them: one line per
// control with its id, the action that drives it, its label and what the
// template gives it at first ("Enter" for the default push button).
std::string DescribeDialogTemplate(const DialogTemplate& dialog);
// Forgets records, queued answers and installed drivers (a fresh user).
void ResetUi();

// The one place every message box goes through.
int ShowMessageBox(std::string_view text, std::string_view caption, UINT type);

// Used by the library itself.
void DriveModal(CDialog& dialog);
void RegisterModeless(CDialog& dialog);
void UnregisterModeless(CDialog& dialog);
void RecordDialog(UINT id, int result);
void RecordDriverError(const std::string& error);
void RecordMenu(const std::vector<std::string>& items, UINT answer);
UINT TakeMenuAnswer();

}  // namespace zcui

// The command processor. It reads the current document's queue: at the
// command prompt a token is a command name (global or local; "_" asks for
// the global name, "." for the host's own command, in either order), a LISP
// expression starting with "(", or a '!' directive; while a prompt waits,
// tokens are that prompt's answers, and one starting with "'" runs a
// transparent command before the prompt asks again.
//
// Host commands (the host's own, in a name → handler registry) run on the
// prompt functions; zcedCommand/zcedCmd feed them their arguments as
// answers: text, reals, shorts, points, "" for Enter, and PAUSE ("\\"),
// which takes the next answer from the user's queue. When the arguments run
// out while a command still asks, the command keeps running and its next
// answers come from the user's queue (a script's next lines); only when
// that queue is empty too is the prompt cancelled. The platform resumes
// the command after the caller's function returns; here the answers are
// read where the arguments ran out, so the command has ended when
// zcedCommand returns and the caller's code after it sees its result.
//
// Reactors see commandWillStart(name) before a command and exactly one of
// commandEnded / commandCancelled (a prompt of the command was cancelled) /
// commandFailed (a host command returned an error) after it. CMDNAMES holds
// the running commands' global names joined by "'".
//
// A name that is no command but a system variable's shows the variable and
// asks for its new value (host/ed/hostcmds_setvar.cpp), transparently too.
//
// Messages: an unknown name prints "\nNieznane polecenie \"NAME\"." and gives
// RTERROR; a non-transparent command typed with "'" prints
// "\nPolecenie NAME nie może być użyte w sposób przezroczysty.".
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "host/ed/inputqueue.h"
#include "host/util/resbuf.h"

class ZcApDocument;

#define PAUSE "\\"

int zcedCommand(int rtype, ...);
int zcedCmd(const resbuf* rbp);

namespace host {

// Runs the current document's queue until it is empty. RTNORM when every
// command ran to its end, RTERROR when one was unknown or failed, RTCAN when
// one was cancelled (the input ended inside a command, among others).
int processInput();
// True when, since the last processInput began, a prompt was answered
// cancel because the input ran out (not by an explicit "!cancel"): a script
// that ended inside a command.
bool inputRanOut();
// Runs one line typed at the command prompt.
int executeLine(const std::string& line);
// The last command a line at the command prompt started, as typed ("_LINE",
// "'ZOOM" without its "'"); empty before the first. What Enter at an empty
// command prompt repeats on the keyboard.
const std::string& lastCommandLine();

// Host commands. The handler returns RTNORM, RTCAN or RTERROR.
using HostCommand = std::function<int()>;
void registerHostCommand(const std::string& name, HostCommand handler, bool transparent = false);
bool unregisterHostCommand(const std::string& name);
// The host's own commands as installed at start, whatever was registered,
// aliased or removed since (the reset).
void reinstallHostCommands();
bool isHostCommand(const std::string& name);
// The names of the host commands now registered (aliases too), sorted.
std::vector<std::string> hostCommandNames();

// For the prompts: the next answer (command arguments first, then the
// user's queue; a directive is run and skipped; an empty queue answers
// cancel).
InputToken nextPromptToken();
// The next token of the user's queue (directives run and skipped).
InputToken nextUserToken();
// While a prompt waits: runs "'NAME" if NAME is a transparent command.
// False when the token is no transparent request.
bool runTransparentRequest(const std::string& token);
// A prompt of the running command answered cancel.
void noteCancelled();
// The running command failed (a module command, which returns nothing,
// says so here): it ends as a host command returning RTERROR does, and a
// script's exit status becomes 1. Said by a reactor told that the command
// ended (its update after the command failed), the command's status is
// RTERROR all the same, though the reactors were told it ended.
void noteFailed();
// Prompts and answers are echoed unless a zcedCommand runs with CMDECHO 0;
// there a prompt the caller pauses at, or one asked once its arguments ran
// out, is the user's and shown.
bool promptEchoOn();
// A prompt on the transcript as promptEchoOn says; one asked while a quiet
// command waits for its module's next arguments is shown only when the
// user, not those arguments, answers it.
void echoPrompt(std::string_view text);
// The same for the answer just read: false for the items of a quiet
// zcedCommand, the last one included.
bool answerEchoOn();
// True while a zcedCommand/zcedCmd argument list feeds the prompts.
bool readingCommandArguments();

bool commandActive();
std::string currentCommandName();
// Changes as each outermost command starts and as it ends (and on a
// reset): what is counted per command is counted afresh when it changes.
unsigned long long commandRound();

// Queues a command string for the document: the host's side of
// sendStringToExecute, which module code calls instead.
void queueCommandString(ZcApDocument& doc, const std::string& text);

// Objects a command left open for read or write, found when the outermost
// command read from the input queue ends (not one run by zcedCommand): each is told on the command line and
// kept here ("LINE 2A after MYCMD"); the test fixtures fail a test that leaves one.
const std::vector<std::string>& objectsLeftOpen();

// Clears pending strings, running state and the objects left open (tests).
void resetCommandProcessor();

}  // namespace host

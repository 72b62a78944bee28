// What the engine shows while it works: message boxes, progress, and the
// window messages it lets through during long steps. The wizard provides
// them on Windows; native builds provide stand-ins. They find the windows
// through setup.wizard.
#pragma once
#include "base/setup.h"

// Box styles and answers, with the values of the system's message box.
enum MessageStyle : unsigned {
  kMessageInformation = 0x40,          // OK, information icon
  kMessageOkCancelInformation = 0x41,  // OK/Cancel, information icon
  kMessageYesNoQuestion = 0x24,        // Yes/No, question icon
  kMessageDefaultNo = 0x100,           // with Yes/No: Enter answers No
};
enum MessageAnswer : int { kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7 };

// A box captioned with 7/0; the button pressed.
int ShowMessage(Setup& setup, const char* text, unsigned style);
// A question or a note for the user: ShowMessage, but a quiet run shows
// nothing and takes `unattended`, the answer that keeps the machine safe.
int AskUser(Setup& setup, const char* text, unsigned style, int unattended);
// Lets pending window messages through; a quit message becomes Cancel.
void PumpMessages(Setup& setup);
// The progress page's percentage and bar, and the file being installed.
// Updates after the page has gone change nothing.
void ShowProgressPercent(Setup& setup, int percent);
void ShowCurrentFile(Setup& setup, const char* path);

// Message boxes of the installation, captioned with 7/0.
#pragma once

// Box styles and answers, with the values of the system's message box.
enum MessageStyle : unsigned {
  kMessageInformation = 0x40,              // OK, information icon
  kMessageOkCancelInformation = 0x41,      // OK/Cancel, information icon
  kMessageYesNoQuestion = 0x24,            // Yes/No, question icon
  kMessageDefaultNo = 0x100,               // with Yes/No: Enter answers No
};
enum MessageAnswer : int { kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7 };

// The button pressed.
int ShowMessage(const char* text, unsigned style);

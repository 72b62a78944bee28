#include "engine_fakes.h"

#include "install/install_run.h"
#include "ui/show_message.h"

FakeUi Ui;

int ShowMessage(const char* text, unsigned style) {
  Ui.messages.emplace_back(text, style);
  if (Ui.onMessage) Ui.onMessage();
  if (Ui.answers.empty()) return Ui.defaultAnswer;
  int a = Ui.answers.front();
  Ui.answers.pop_front();
  return a;
}

void ShowProgressPercent(int percent) { Ui.percents.push_back(percent); }
void ShowCurrentFile(const char*) {}

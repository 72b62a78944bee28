// Records what the engine would show, and answers its questions from a script.
#pragma once
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

struct FakeUi {
  std::vector<std::pair<std::string, unsigned>> messages;  // text, style
  std::deque<int> answers;                                 // then defaultAnswer
  int defaultAnswer = 2;                                   // Cancel
  std::function<void()> onMessage;                         // runs before answering
  std::vector<int> percents;
};

extern FakeUi Ui;
void ResetFakeUi();

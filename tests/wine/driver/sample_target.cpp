// A stand-in program under test for the harness's own checks: it either
// exits with a given code or shows one message box and exits with the
// button that closed it (IDOK 1, IDCANCEL 2, ...).
//   sample-target exit N
//   sample-target box CAPTION TEXT [okcancel|yesno]
#include <windows.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv) {
  if (argc >= 3 && strcmp(argv[1], "exit") == 0) return atoi(argv[2]);
  if (argc >= 4 && strcmp(argv[1], "box") == 0) {
    UINT type = MB_OK | MB_ICONINFORMATION;
    if (argc >= 5 && strcmp(argv[4], "okcancel") == 0) type = MB_OKCANCEL;
    if (argc >= 5 && strcmp(argv[4], "yesno") == 0) type = MB_YESNO | MB_ICONQUESTION;
    return MessageBoxA(nullptr, argv[3], argv[2], type);
  }
  return 254;
}

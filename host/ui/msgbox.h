// Message boxes of the class library and of the module (a text, or the id
// of a string of the module's string table). Headless: the answer is the
// one queued for the next box, else the default button; every box shown is
// recorded (host/ui/driver.h) and printed on the command line as
// "\n[CAPTION] TEXT <ANSWER>" (the answer as its button reads: OK, Anuluj,
// Tak, Nie …). zcedAlert is such a box with its OK button.
#pragma once

#include <string_view>

#include "host/ui/uibase.h"

int AfxMessageBox(std::string_view text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT stringId, UINT type = MB_OK, UINT helpId = static_cast<UINT>(-1));
int MessageBox(HWND owner, std::string_view text, std::string_view caption, UINT type);

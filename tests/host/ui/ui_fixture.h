// A fresh dialog user for each test, with a small set of dialog templates
// made current as the resource handle.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "host/harness/harness.h"
#include "host/ui/driver.h"
#include "host/ui/propsheet.h"
#include "host/ui/resources.h"

// A test's dialog templates, registered under a name and made the current
// resources until dropped.
class TestTemplates {
public:
    void Register(const char* name, const char* file, const char* text) {
        std::string error;
        handle_ = zcuiRegisterResources(name, {{file, text}}, &error);
        ASSERT_NE(handle_, nullptr) << error;
        AfxSetResourceHandle(handle_);
    }
    void Drop() {
        AfxSetResourceHandle(nullptr);
        zcuiUnregisterResources(handle_);
        handle_ = nullptr;
    }
    HINSTANCE handle() const { return handle_; }

private:
    HINSTANCE handle_ = nullptr;
};

inline constexpr const char* kUiTestResources = R"(
string 700 "Zapisać zmiany?"
dialog 500 "Dane" 200 160
  edittext 1001 "" 7 7 60 12
  edittext 1002 "" 7 22 60 12
  edittext 1003 "" 7 37 60 12 uppercase
  checkbox 1004 "Widoczna" 7 52 60 10
  auto3state 1005 "Pod płytami" 7 64 60 10
  radiobutton 1010 "Obie" 7 76 40 10 group
  radiobutton 1011 "Pod" 50 76 40 10
  radiobutton 1012 "Góra" 93 76 40 10
  listbox 1020 "" 7 90 80 40 sort extended group
  combobox 1021 "" 100 90 80 60 dropdownlist sort
  defpushbutton 1 "OK" 90 140 50 14 group
  pushbutton 2 "Anuluj" 145 140 50 14
end
dialog 510 "Listy" 220 200
  listview 1030 "" 7 7 200 80 report ownerdraw showselalways
  treeview 1040 "" 7 90 100 80 editlabels hasbuttons
  slider 1050 "" 110 90 100 15
  scrollbar 1060 "" 200 110 10 60 vertical
  defpushbutton 1 "OK" 110 180 50 14
  pushbutton 2 "Anuluj" 165 180 50 14
end
dialog 520 "Pierwsza" 150 80
  edittext 1001 "" 7 7 60 12
end
dialog 521 "Druga" 150 80
  edittext 1001 "" 7 7 60 12
end
dialog 530 "Paleta" 150 80
  edittext 1036 "" 7 7 60 12
  auto3state 1201 "Utrzymuj" 7 22 80 10
  defpushbutton 1230 "Zastosuj" 7 40 50 14
  pushbutton 1229 "Zamknij" 60 40 50 14
end
)";

class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::resetAll();
        templates_.Register("ui-test", "test.txt", kUiTestResources);
    }
    void TearDown() override {
        templates_.Drop();
        host::resetAll();
    }
    static bool Queue(const char* line) {
        std::string error;
        bool ok = zcui::QueueDialogScript(line, &error);
        EXPECT_TRUE(ok) << error;
        return ok;
    }
    TestTemplates templates_;
};

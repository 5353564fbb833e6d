// The module's own resources made current and a fresh dialog user for each
// test of the module's dialogs.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/ui/driver.h"
#include "host/ui/resources.h"
#include "resources/velmresources.h"

class ModuleDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        zcui::ResetUi();
        std::string error;
        handle_ = VelmRegisterResources(&error);
        ASSERT_NE(handle_, nullptr) << error;
        previous_ = AfxGetResourceHandle();
        AfxSetResourceHandle(handle_);
    }
    void TearDown() override {
        AfxSetResourceHandle(previous_);
        zcui::ResetUi();
    }
    static std::vector<std::string> Rows(const CListBox& list) {
        std::vector<std::string> rows;
        for (int i = 0; i < list.GetCount(); ++i) {
            std::string s;
            list.GetText(i, s);
            rows.push_back(s);
        }
        return rows;
    }
    static std::vector<std::string> MessageTexts() {
        std::vector<std::string> texts;
        for (const auto& m : zcui::MessageBoxes()) texts.push_back(m.text);
        return texts;
    }

private:
    HINSTANCE handle_ = nullptr;
    HINSTANCE previous_ = nullptr;
};

// The settings a preference page shows, each tied to its control: check
// boxes and radio values (16-bit integers), texts, 16-bit integer text
// fields and numeric edits (reals, kept exact while unedited). A page loads
// them from the store, exchanges them with its controls and stores them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/controls/advcontrols.h"
#include "host/ui/dialog.h"
#include "settings/dialogs/exact_number.h"

class VELM_SETUP;

class PrefFields {
public:
    struct Real {
        int ctrl = 0;
        int slot = 0;
        double value = 0.0;
        CadvNumEdit edit;
        ExactNumber exact;
        // Validated by the edit's own rules when the controls are read, with
        // its message unless it has just shown it.
        bool validated = false;
    };

    // Check box or radio value.
    int& Check(int ctrl, int slot);
    std::string& Text(int ctrl, int slot);
    // A 16-bit integer typed as text.
    int& Int(int ctrl, int slot);
    Real& AddReal(int ctrl, int slot, bool validated = false);
    // A value stored in a slot but exchanged by the page itself (ctrl 0).
    int& Value(int slot);

    Real* FindReal(int ctrl);
    int* FindInt(int ctrl);
    std::string* FindText(int ctrl);

    // False when the store cannot be read.
    bool Load();
    void Load(const VELM_SETUP& setup, const std::vector<int>& except = {});
    // False when the store cannot be opened for write (nothing stored).
    bool Store(const std::vector<int>& except = {}) const;
    // Reads or fills the controls; a text that is no number, or that a
    // validated edit refuses, is said, takes the focus and fails the
    // exchange.
    void Exchange(CDataExchange* dx);

private:
    struct IntField {
        int ctrl, slot, value;
        bool asText;
    };
    struct TextField {
        int ctrl, slot;
        std::string value;
    };
    std::vector<std::unique_ptr<IntField>> ints_;
    std::vector<std::unique_ptr<TextField>> texts_;
    std::vector<std::unique_ptr<Real>> reals_;
};

// The number fields of the slab and roof option dialogs: each an edit
// bound to a value, shown with ten decimals when the dialog opens and read
// back on OK; a field that holds a slope is converted between percent and
// degrees when the dialog's degrees box changes.
#pragma once

#include <memory>
#include <vector>

#include "core/controls/advcontrols.h"
#include "host/ui/dialog.h"

class NumberFields {
public:
    void Add(int id, double& value, bool slope = false);
    // In the dialog's data exchange: binds the edits.
    void Exchange(CDataExchange* dx);
    // In OnInitDialog: the values into the edits.
    void Show();
    // On OK: the edits into the values; false, with the module's message
    // and nothing changed, when one is out of range (the dialog stays open).
    bool Read(CDialog& dialog);
    // The slopes shown turned into degrees, or back into percent.
    void ConvertSlopes(bool toDegrees);

private:
    struct Field {
        int id;
        double* value;
        bool slope;
        std::unique_ptr<CadvNumEdit> edit;
    };
    std::vector<Field> m_fields;
};

// The option dialogs' number fields.
#include "roofs/dialogs/number_fields.h"

#include "core/input_range.h"
#include "roofs/dialogs/slab_dialog_common.h"

void NumberFields::Add(int id, double& value, bool slope) {
    m_fields.push_back({id, &value, slope, std::make_unique<CadvNumEdit>()});
}

void NumberFields::Exchange(CDataExchange* dx) {
    for (Field& field : m_fields) DDX_Control(dx, field.id, *field.edit);
}

void NumberFields::Show() {
    for (Field& field : m_fields) {
        field.edit->SetDecimals(10);
        field.edit->SetDouble(*field.value);
    }
}

bool NumberFields::Read(CDialog& dialog) {
    CDataExchange dx(&dialog, TRUE);
    for (Field& field : m_fields) {
        dx.PrepareEditCtrl(field.id);
        if (!CheckNumberField(&dx, field.edit->Number(), false)) {
            field.edit->SetFocus();
            return false;
        }
    }
    for (Field& field : m_fields) *field.value = field.edit->GetDouble();
    return true;
}

void NumberFields::ConvertSlopes(bool toDegrees) {
    for (Field& field : m_fields) {
        if (!field.slope) continue;
        // A text that is no number stays for OK to refuse, not turned into 0.
        const std::optional<double> shown = field.edit->Number();
        if (!shown) continue;
        field.edit->SetDouble(toDegrees ? SlopePercentToDegrees(*shown) : SlopeDegreesToPercent(*shown));
    }
}

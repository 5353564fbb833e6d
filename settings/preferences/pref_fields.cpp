// Settings tied to page controls.
#include "settings/preferences/pref_fields.h"

#include <algorithm>

#include "core/input_range.h"
#include "store/settings_store.h"

namespace {
bool Excluded(const std::vector<int>& except, int slot) {
    return std::find(except.begin(), except.end(), slot) != except.end();
}
}  // namespace

int& PrefFields::Check(int ctrl, int slot) {
    ints_.push_back(std::make_unique<IntField>(IntField{ctrl, slot, 0, false}));
    return ints_.back()->value;
}

int& PrefFields::Int(int ctrl, int slot) {
    ints_.push_back(std::make_unique<IntField>(IntField{ctrl, slot, 0, true}));
    return ints_.back()->value;
}

int& PrefFields::Value(int slot) {
    return Check(0, slot);
}

std::string& PrefFields::Text(int ctrl, int slot) {
    texts_.push_back(std::make_unique<TextField>(TextField{ctrl, slot, {}}));
    return texts_.back()->value;
}

PrefFields::Real& PrefFields::AddReal(int ctrl, int slot, bool validated) {
    reals_.push_back(std::make_unique<Real>());
    Real& r = *reals_.back();
    r.ctrl = ctrl;
    r.slot = slot;
    r.validated = validated;
    r.edit.SetDecimals(10);
    return r;
}

PrefFields::Real* PrefFields::FindReal(int ctrl) {
    for (auto& r : reals_)
        if (r->ctrl == ctrl) return r.get();
    return nullptr;
}

int* PrefFields::FindInt(int ctrl) {
    for (auto& f : ints_)
        if (f->ctrl == ctrl) return &f->value;
    return nullptr;
}

std::string* PrefFields::FindText(int ctrl) {
    for (auto& f : texts_)
        if (f->ctrl == ctrl) return &f->value;
    return nullptr;
}

bool PrefFields::Load() {
    ZcDbObjectPointer<VELM_SETUP> setup(OpenSetupObject(true));
    if (!setup) return false;
    Load(*setup);
    return true;
}

void PrefFields::Load(const VELM_SETUP& setup, const std::vector<int>& except) {
    for (auto& f : ints_)
        if (!Excluded(except, f->slot)) setup.getInt(f->slot, f->value);
    for (auto& f : texts_)
        if (!Excluded(except, f->slot)) setup.getString(f->slot, f->value);
    for (auto& r : reals_)
        if (!Excluded(except, r->slot)) setup.getReal(r->slot, r->value);
}

bool PrefFields::Store(const std::vector<int>& except) const {
    ZcDbObjectPointer<VELM_SETUP> setup(OpenSetupObject(false));
    if (!setup) return false;
    setup->assertWriteEnabled();
    for (const auto& f : ints_)
        if (!Excluded(except, f->slot)) setup->setInt(f->slot, static_cast<short>(f->value));
    for (const auto& f : texts_)
        if (!Excluded(except, f->slot)) setup->setString(f->slot, f->value);
    for (const auto& r : reals_)
        if (!Excluded(except, r->slot)) setup->setReal(r->slot, r->value);
    return true;
}

void PrefFields::Exchange(CDataExchange* dx) {
    for (auto& r : reals_) {
        DDX_Control(dx, r->ctrl, r->edit);
        if (dx->m_bFailed) return;
        if (!dx->m_bSaveAndValidate) {
            r->exact.Show(r->edit, r->value);
            continue;
        }
        const std::optional<double> typed = r->exact.Read(r->edit);
        // The edit has said so already when it holds the focus: leaving it
        // for OK was refused with the message.
        if (typed && r->validated && !r->edit.Validate(CWnd::GetFocus() != &r->edit)) {
            dx->PrepareEditCtrl(r->ctrl);
            dx->Fail();
            return;
        }
        dx->PrepareEditCtrl(r->ctrl);
        if (!CheckNumberField(dx, typed, false)) return;
        r->value = *typed;
    }
    for (auto& f : ints_) {
        if (f->ctrl == 0) continue;
        if (f->asText)
            DDX_Text(dx, f->ctrl, f->value);
        else if (CButton* b = dynamic_cast<CButton*>(dx->m_pDlgWnd->GetDlgItem(f->ctrl));
                 b && b->IsRadioKind())
            DDX_Radio(dx, f->ctrl, f->value);
        else
            DDX_Check(dx, f->ctrl, f->value);
        if (dx->m_bFailed) return;
    }
    for (auto& f : texts_) {
        DDX_Text(dx, f->ctrl, f->value);
        if (dx->m_bFailed) return;
    }
}

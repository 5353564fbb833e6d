// The opening drawing options.
#include "settings/preferences/opz_aper.h"

#include <cstdint>

#include "core/layer_catalogue.h"
#include "host/ads/ssget.h"
#include "host/ed/prompts.h"
#include "host/ui/resources.h"
#include "resources/velmresources.h"
#include "settings/rescale.h"
#include "store/settings_store.h"

namespace {
constexpr int IDC_LABEL_CODE = 1140;
constexpr int IDC_LOAD_VIEW = 1139;
constexpr int IDC_DIM_TEXT = 1138;
constexpr int IDC_CENTRE_LINE = 1142;
constexpr int IDC_SILL = 1141;

constexpr int kNoDimText = 1 << 1;
constexpr int kSill = 1 << 2;
constexpr int kNoLabel = 1 << 3;
constexpr int kNoLoadView = 1 << 4;
constexpr int kNoCentreLine = 1 << 6;
constexpr int kOwnBits = kNoDimText | kSill | kNoLabel | kNoLoadView | kNoCentreLine;

void ApplyToChosenOpenings(const double options[5]) {
    const char* prompts[2] = {"Wybierz otwory, aby zmodyfikować opcje rysowania:",
                              "Usuń obiekt z wybranego zbioru:"};
    ads_name set;
    if (zcedSSGet(":$", prompts, nullptr, nullptr, set) != RTNORM) return;
    AAR_LAYERC layers;
    layers.ReadLayerDefFile("LAYERC.DEF");
    std::int32_t n = 0;
    zcedSSLength(set, &n);
    for (std::int32_t i = 0; i < n; ++i) {
        if (zcedUsrBrk()) break;
        ads_name entity;
        if (zcedSSName(set, i, entity) == RTNORM) RegenerateParamObject(entity, layers, nullptr, options);
    }
    zcedSSFree(set);
}
}  // namespace

int OpeningOptionBits(int old, const CopzAper& o) {
    int v = old & ~kOwnBits;
    if (!o.m_dimensionText) v |= kNoDimText;
    if (o.m_sillHeight) v |= kSill;
    if (!o.m_labelCode) v |= kNoLabel;
    if (!o.m_loadView) v |= kNoLoadView;
    if (!o.m_centreLine) v |= kNoCentreLine;
    return v;
}

CopzAper::CopzAper(CWnd* parent) : CDialog(IDD_OPZAPER, parent) {
    HandleCommand(BN_CLICKED, IDC_DIM_TEXT, [this] {
        UpdateData(TRUE);
        if (!m_dimensionText) m_sillHeight = 0;
        UpdateData(FALSE);
    });
    HandleCommand(BN_CLICKED, IDC_SILL, [this] {
        UpdateData(TRUE);
        if (m_sillHeight) m_dimensionText = 1;
        UpdateData(FALSE);
    });
    HandleCommand(BN_CLICKED, kApplyOnly, [this] {
        if (UpdateData(TRUE)) EndDialog(kApplyOnly);
    });
    HandleCommand(BN_CLICKED, kStoreAndApply, [this] {
        if (UpdateData(TRUE) && Store()) EndDialog(kStoreAndApply);
    });
}

void CopzAper::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Check(dx, IDC_LABEL_CODE, m_labelCode);
    DDX_Check(dx, IDC_LOAD_VIEW, m_loadView);
    DDX_Check(dx, IDC_DIM_TEXT, m_dimensionText);
    DDX_Check(dx, IDC_CENTRE_LINE, m_centreLine);
    DDX_Check(dx, IDC_SILL, m_sillHeight);
}

BOOL CopzAper::OnInitDialog() {
    const int v = SettingInt(SetupVar::CALC_INT_SEZ, 0);
    m_labelCode = (v & kNoLabel) ? 0 : 1;
    m_loadView = (v & kNoLoadView) ? 0 : 1;
    m_dimensionText = (v & kNoDimText) ? 0 : 1;
    m_centreLine = (v & kNoCentreLine) ? 0 : 1;
    m_sillHeight = (v & kSill) ? 1 : 0;
    CDialog::OnInitDialog();
    return TRUE;
}

bool CopzAper::Store() {
    ZcDbObjectPointer<VELM_SETUP> setup(OpenSetupObject(false));
    if (!setup) return false;
    setup->assertWriteEnabled();
    int old = 0;
    setup->getInt(SetupVar::CALC_INT_SEZ, old);
    setup->setInt(SetupVar::CALC_INT_SEZ, static_cast<short>(OpeningOptionBits(old, *this)));
    return true;
}

void CopzAper::OnOK() {
    if (UpdateData(TRUE) && Store()) EndDialog(IDOK);
}

void CopzAper::OptionValues(double out[5]) const {
    out[0] = m_dimensionText ? 0.0 : 1.0;
    out[1] = m_sillHeight ? 1.0 : 0.0;
    out[2] = m_labelCode ? 0.0 : 1.0;
    out[3] = m_loadView ? 0.0 : 1.0;
    out[4] = m_centreLine ? 0.0 : 1.0;
}

void CmdOpeningOptions() {
    double options[5];
    INT_PTR result = 0;
    {
        CZcModuleResourceOverride use(VelmResourceHandle());
        CopzAper dialog;
        result = dialog.DoModal();
        dialog.OptionValues(options);
    }
    if (result == CopzAper::kApplyOnly || result == CopzAper::kStoreAndApply) ApplyToChosenOpenings(options);
}

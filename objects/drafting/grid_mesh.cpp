// The structural grid (see the header).
#include "objects/drafting/grid_mesh.h"

#include <cctype>
#include <cstdio>

#include "core/host_services.h"
#include "core/input_range.h"
#include "core/layer_catalogue.h"
#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/ed/cmdproc.h"
#include "host/ed/prompts.h"
#include "host/ui/resources.h"
#include "objects/drafting/dlg_prefabmaglia.h"
#include "objects/drafting/drafting_objects.h"
#include "resources/velmresources.h"
#include "store/settings_store.h"
#include "store/setup_slots.h"

namespace {

constexpr const char* kLabelDefinition = "key_etiMaglia";

// REGENMODE and CMDECHO at 0 for the host commands, put back after.
class QuietCommands {
public:
    QuietCommands()
        : regenMode_(SysVarShort("REGENMODE", &kZero)), cmdEcho_(SysVarShort("CMDECHO", &kZero)) {}
    ~QuietCommands() {
        SysVarShort("CMDECHO", &cmdEcho_);
        SysVarShort("REGENMODE", &regenMode_);
    }

private:
    static constexpr int kZero = 0;
    int regenMode_, cmdEcho_;
};

bool TextStyleExists(const std::string& name) {
    host::ResbufList style(zcdbTblSearch("STYLE", name.c_str(), 0));
    return static_cast<bool>(style);
}

// The width factor and oblique angle of a text style; 1 and 0 without it.
void StyleFactors(const std::string& name, double& width, double& oblique) {
    width = 1.0;
    oblique = 0.0;
    host::ResbufList style(zcdbTblSearch("STYLE", name.c_str(), 0));
    for (const resbuf* rb = style.get(); rb; rb = rb->rbnext) {
        if (rb->restype == 41) width = rb->resval.rreal;
        if (rb->restype == 50) oblique = rb->resval.rreal;
    }
}

double SampleWidth(const std::string& prefix, const std::string& style, double height) {
    double width = 1.0, oblique = 0.0;
    StyleFactors(style, width, oblique);
    const std::string text = prefix + "AI";
    host::ResbufList entity(zcutBuildList(RTDXF0, "TEXT", 1, text.c_str(), 7, style.c_str(), 40, height, 50,
                                          0.0, 41, width, 51, oblique, 0));
    ads_point lo, hi;
    if (zcedTextBox(entity.get(), lo, hi) != RTNORM) return 0.0;
    return hi[0] - lo[0];
}

void LockLayer(const std::string& layer, const int* color) {
    const QuietCommands quiet;
    host::ResbufList script(
        color ? zcutBuildList(RTSTR, "_-LAYER", RTSTR, "_LO", RTSTR, layer.c_str(), RTSTR, "_C", RTSHORT,
                              *color, RTSTR, layer.c_str(), RTSTR, "", 0)
              : zcutBuildList(RTSTR, "_-LAYER", RTSTR, "_LO", RTSTR, layer.c_str(), RTSTR, "", 0));
    zcedCmd(script.get());
}

// The label texts of one direction: numbered from a digit, else lettered
// from the character on.
class LabelIndex {
public:
    LabelIndex(int first, std::string prefix) : prefix_(std::move(prefix)) {
        numbered_ = first >= '0' && first <= '9';
        value_ = numbered_ ? first - '0' : first;
    }
    std::string Next() {
        char buffer[32];
        if (numbered_)
            std::snprintf(buffer, sizeof buffer, "%d", value_);
        else
            std::snprintf(buffer, sizeof buffer, "%c", static_cast<char>(value_));
        ++value_;
        return prefix_ + buffer;
    }

private:
    std::string prefix_;
    bool numbered_ = false;
    int value_ = 0;
};

void GridLine(const std::string& layer, const Point3& a, const Point3& b) {
    const ads_point pa = {a.x, a.y, a.z}, pb = {b.x, b.y, b.z};
    host::ResbufList line(
        zcutBuildList(RTDXF0, "LINE", 8, layer.c_str(), 10, pa, 11, pb, 39, 0.0, 62, 256, 0));
    zcdbEntMake(line.get());
}

}  // namespace

void DrawGridLabels(const Point3& at, int position, const std::string& text, const std::string& style,
                    double textHeight, double sampleWidth, double elevation) {
    std::vector<LabelVariable> vars(5);
    vars[0] = {20, false, static_cast<double>(position), ""};
    vars[1] = {21, true, 0.0, text};
    vars[2] = {22, true, 0.0, style};
    vars[3] = {23, false, textHeight, ""};
    vars[4] = {24, false, sampleWidth, ""};
    const double floor = SettingReal(SetupVar::SQPAV, 0.0);
    SetSettingReal(SetupVar::SQPAV, elevation);
    std::optional<LabelBlock> block = BuildLabelBlock(kLabelDefinition, vars, at);
    SetSettingReal(SetupVar::SQPAV, floor);
    if (!block) return;

    const ads_point p = {at.x, at.y, at.z};
    const bool attributes = !block->attributes.empty();
    host::ResbufList insert(zcutBuildList(RTDXF0, "INSERT", 2, block->blockName.c_str(), 8,
                                          block->layer.c_str(), 10, p, 50, 0.0, 41, block->scale[0], 42,
                                          block->scale[1], 43, block->scale[2], 0));
    if (attributes) {
        resbuf* tail = insert.get();
        while (tail->rbnext) tail = tail->rbnext;
        tail->rbnext = zcutBuildList(66, 1, 0);
    }
    if (zcdbEntMake(insert.get()) != RTNORM) return;
    bool made = false;
    for (LabelAttribute& a : block->attributes) {
        if (a.flags & 2) continue;  // a constant attribute lives in the block alone
        // The justification splits as the block's definition split it
        // (horizontal the remainder, vertical the hundreds), so the value
        // stands where its definition stands.
        StyleFactors(a.style, a.widthFactor, a.oblique);
        const ads_point q = {at.x + a.dx, at.y + a.dy, at.z};
        // The text's groups before the attribute's own, the order in which
        // the entity files them.
        host::ResbufList attrib(zcutBuildList(RTDXF0, "ATTRIB", 8, a.layer.c_str(), 10, q, 40, a.height, 1,
                                              a.value.c_str(), 50, a.rotation, 41, a.widthFactor, 51,
                                              a.oblique, 7, a.style.c_str(), 72, a.justification % 100, 11, q,
                                              2, a.tag.c_str(), 70, a.flags, 74, a.justification / 100, 0));
        zcdbEntMake(attrib.get());
        made = true;
    }
    if (made) {
        host::ResbufList end(zcutBuildList(RTDXF0, "SEQEND", 0));
        zcdbEntMake(end.get());
    }
    LockLayer(block->layer, nullptr);
}

void CmdMesh2D() {
    double elevation = 0.0;
    {
        CZcModuleResourceOverride use(VelmResourceHandle());
        CDLGPREFABMAGLIA dialog;
        if (dialog.DoModal() != IDOK) return;
        elevation = dialog.m_floorHeight;
    }
    using namespace SetupVar;
    const double horizontal = SettingReal(SETMAGLIA_IOMAGLIA, 200.0);
    const double vertical = SettingReal(SETMAGLIA_IVMAGLIA, 200.0);
    const int columns = SettingInt(SETMAGLIA_NCMAGLIA, 8);
    const int rows = SettingInt(SETMAGLIA_NRMAGLIA, 8);
    const double overhang = SettingReal(SETMAGLIA_SPMAGLIA, 10.0);
    int color = SettingInt(SETMAGLIA_MAGLIACOL, 1);
    if (color < 1 || color > 249) color = 256;
    const std::string columnPrefix = SettingString(SETMAGLIA_ETIPREFORI);
    const std::string rowPrefix = SettingString(SETMAGLIA_ETIPREFVER);
    std::string style = SettingString(SETMAGLIA_ETISTILE, "Standard");
    const double textHeight = SettingReal(SETMAGLIA_ETIALTTXT, 5.0);
    LabelIndex columnIndex(SettingInt(SETMAGLIA_ETIINDORI, 'A'), columnPrefix);
    LabelIndex rowIndex(SettingInt(SETMAGLIA_ETIINDVER, '1'), rowPrefix);
    const bool left = SettingInt(SETMAGLIA_ETIMSIN, 1) != 0, right = SettingInt(SETMAGLIA_ETIMDES, 0) != 0;
    const bool top = SettingInt(SETMAGLIA_ETIMSOP, 0) != 0, bottom = SettingInt(SETMAGLIA_ETIMSOT, 1) != 0;
    if (!TextStyleExists(style)) style = "STANDARD";
    const double columnSample = SampleWidth(columnPrefix, style, textHeight);
    const double rowSample = SampleWidth(rowPrefix, style, textHeight);

    ads_point origin = {0.0, 0.0, 0.0};
    const int got = GetPointInRange(0, nullptr, nullptr,
                                    "\nOkreśl punkt wstawienia pierwszego węzła w lewym dolnym rogu, Enter, "
                                    "jeśli chcesz wstawić go w początku:",
                                    origin);
    if (got == RTCAN || (got != RTNORM && got != RTNONE)) return;
    if (got == RTNONE) origin[0] = origin[1] = 0.0;
    // The layer is made only once there is a grid to put on it: a cancelled
    // point leaves the drawing as it was.
    AAR_LAYERC catalogue;
    catalogue.ReadLayerDefFile("LAYERC.DEF");
    std::string layer = "2DMESH";
    EnsureLayer(layer, catalogue, true, elevation, false);
    // The host's layer colours run from 1 to 255: a grid colour it would
    // refuse leaves the layer's colour as it is, so the answers stay in step.
    LockLayer(layer, color == 256 ? nullptr : &color);

    const double x0 = origin[0], y0 = origin[1], z = elevation;
    const double yEnd = y0 + (rows - 1) * vertical, xEnd = x0 + (columns - 1) * horizontal;

    for (int i = 0; i < columns; ++i) {
        const double x = x0 + i * horizontal;
        for (int j = 0; j + 1 < rows; ++j) {
            const double ya = j == 0 ? y0 - overhang : y0 + j * vertical;
            const double yb = j + 2 == rows ? yEnd + overhang : y0 + (j + 1) * vertical;
            GridLine(layer, {x, ya, z}, {x, yb, z});
        }
        const std::string text = columnIndex.Next();
        if (bottom)
            DrawGridLabels({x, y0 - overhang, z}, 2, text, style, textHeight, columnSample, elevation);
        if (top) DrawGridLabels({x, yEnd + overhang, z}, 3, text, style, textHeight, columnSample, elevation);
    }
    for (int i = 0; i < rows; ++i) {
        const double y = y0 + i * vertical;
        for (int j = 0; j + 1 < columns; ++j) {
            const double xa = j == 0 ? x0 - overhang : x0 + j * horizontal;
            const double xb = j + 2 == columns ? xEnd + overhang : x0 + (j + 1) * horizontal;
            GridLine(layer, {xa, y, z}, {xb, y, z});
        }
        const std::string text = rowIndex.Next();
        if (left) DrawGridLabels({x0 - overhang, y, z}, 0, text, style, textHeight, rowSample, elevation);
        if (right) DrawGridLabels({xEnd + overhang, y, z}, 1, text, style, textHeight, rowSample, elevation);
    }
}

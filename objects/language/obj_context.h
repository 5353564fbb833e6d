// The object context: everything one run of a parametric object knows,
// above all its numbered variables. Variables are declared by the VAR
// section of the definition (parameters with a quoted description, computed
// variables with an expression, text constants), about forty are predefined
// from the drawing's settings before the file is read, and the expressions
// compute the rest. This unit holds the variable list and its operations,
// the context record and its life, the predefined variables, the VAR
// section reader, the insertion type, the access to the fixed points, and
// the number prompt with point filters.
//
// VAR line forms ("$" may be "#": a length multiplied by the drawing unit
// factor; or "-": the evaluation is traced):
//   $12="Szerokość"05D90     parameter: description, order digits, type, value
//   $31= $12/2 ; comment      computed: the expression up to ";"
//   $40="Okno"C               text constant
// Limits kept because stored definitions rely on them: lines of at most 258
// characters, expressions below 258 characters.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/geometry/geom_basic.h"
#include "core/geometry/vertex_list.h"
#include "core/layer_catalogue.h"
#include "host/ads/adsowners.h"
#include "host/util/adscodes.h"
#include "host/util/resbuf.h"
#include "objects/language/obj_text.h"
#include "objects/language/obj_var.h"
#include "store/settings_store.h"

// How an object is placed, from variable 3 of its definition; the number is
// filed in the object's records, so every value keeps its number. A
// definition may declare any number: the ones not named here are placed
// freely and have no host.
enum class InsertionType : std::int32_t {
    None = 0,        // no type: a work record that takes the first object's
    RoomObject = 4,  // a room label, card, row or total, placed by the room code
    Free = 10,
    StraightWallOpening = 11,
    ArcWallOpening = 12,  // sized by its width $8 on the inner arc
    BlockOnly = 13,       // the block definition only, no insert
    // Placed freely and cut into the slab under it: $4 the total, $5 the
    // part, $6 the count. With the total given $5 is derived, else $4.
    SlabCutTotalGiven = 14,
    SlabCutPartGiven = 15,
    ArcWallFaceOpening = 16,  // spans the face of the curved wall
    Pilaster = 17,
    WallCorner = 18,
    SlabOpening = 19,  // on a slab or roof pitch, cut into it
    StairBalustrade = 20,
    LabelBlockOnly = 21,  // a label placed as a block definition only
    OpeningSchedule = 22,
    Separator = 24,
    AtOrigin = 25,
    ProgressiveLabel = 26,
    HandrailCorner = 27,
    // 40 to 45: free, with no further meaning here.
    Free40 = 40,
    Free41 = 41,
    Free42 = 42,
    Free43 = 43,
    Free44 = 44,
    Free45 = 45,
    Accessory = 46,   // on a main object
    OnSlab = 47,      // on a slab or roof pitch, not cut into it
    RoofWindow = 48,  // on a roof pitch, cut into it
    CameraOrLight = 49,
};

// Records filled by the section readers and drawing statements.
struct ObjParamSet {  // one set of the TYPO section
    std::string name;
    ObjVarList vars;
};
struct ObjComEntry {  // one entry of the COM section
    std::string label, second, third;
};
struct ObjHandrail {  // one BEGIN block of DCHANDSTAIR: triples a..f
    double a[3]{}, b[3]{}, c[3]{}, d[3]{}, e[3]{}, f[3]{};
};
struct AttdefRecord {
    std::string layer;
    std::int32_t flags = 0;
    std::string tag, prompt, style, defaultValue;
    double height = 0.0;
    double point[3]{};
    double rotation = 0.0;
    std::int16_t justification = 0;
};
struct DeferredHatch {
    std::string layer, pattern;
    double angle = 0.0, scale = 1.0;
    OwnedList<VertexNode> contour;
};
struct LayerSubstitution {
    std::string oldName, newName;
};

struct LayerAttrListDeleter {
    void operator()(LayerAttrEntry* list) const;
};

// Where the host pickers found the object's host: the first and second
// wall line (oriented along the object), the wall faces they belong to, the
// pick point projected on the first line, for a corner object its corner
// and the opposite corner across the wall, and the base point of a label.
struct HostPlacement {
    Point3 wallLine[2], secondWallLine[2];
    Point3 faceSegment[2], secondFaceSegment[2];
    Point3 pickPoint;
    Point3 cornerPoint, oppositeCornerPoint;
    bool secondLineFound = false;
    // A label placed from a base point (rubber band from it).
    Point3 basePoint;
    bool hasBasePoint = false;
};

// A DRAW statement's layer as PrepareStatementLayer prepared it.
struct PreparedLayer {
    std::string given;  // the name the statement gave
    bool checkGroups = false;
    std::string layer;  // the layer drawn on, when drawn
    bool drawn = false;
};

class ObjVarIndex;

struct ObjContext {
    std::string layerDefFile;  // "LAYERC.DEF", or "TCLAYERC.DEF" for "TC" objects
    // Layers made while drawing; their linetypes and attributes are applied
    // when the context is freed.
    std::unique_ptr<LayerAttrEntry, LayerAttrListDeleter> madeLayers;
    std::int32_t runMode = 0;
    InsertionType insertionType = InsertionType::Free;
    InsertionType workingType = InsertionType::Free;
    std::int32_t alignment = 2;  // 0 first wall line, 1 second, 2 middle
    std::uint8_t repeat = 0;
    std::uint8_t only3d = 0;
    std::uint8_t replace2d = 0;
    std::uint8_t freeOpening = 0;
    std::uint8_t prefix = 0;
    std::string insertLayer, objectName, blockName;
    std::string paramSetName = "Wstaw ostatnie parametry";
    std::uint8_t mirrored = 0, skipParamInput = 0;
    // The position is known (an object rebuilt in place): no pick, no placer.
    std::uint8_t positionFixed = 0;
    ObjVarList vars;
    std::int32_t elevationGiven = 0;
    double elevation = 0.0;
    double rotation = 0.0;
    double insertionPoint[3]{};
    double attributeElevation = 0.0;
    double scale[3]{1.0, 1.0, 1.0};
    double extrusion[3]{0.0, 0.0, 1.0};
    host::ResbufList dragSegments;
    std::vector<ObjParamSet> paramSets;
    std::int32_t fixedPointIndex = 1;  // 1-based
    OwnedList<VertexNode> fixedPoints, islandH, polig, poligDed;
    OwnedList<VertexNode> cut3dOuter[2], cut3dInner[2], cut2d[2];
    double cutPoints[2][3]{};
    std::vector<OwnedList<VertexNode>> planes;  // ST3DPLANE
    OwnedList<VertexNode> extraVertices;
    std::vector<ObjHandrail> handrails;
    std::vector<AttdefRecord> attdefs;
    std::vector<DeferredHatch> hatches;
    std::vector<ObjComEntry> comEntries;
    std::unique_ptr<ObjText> text;
    std::vector<std::int32_t> tabelle;
    ads_name firstEntity{0, 0}, secondEntity{0, 0};
    std::vector<Point3> wallLinePoints;
    std::string replacementLayer;  // also the prompt text of some placers
    std::uint8_t flag1 = 0, flag2 = 0;
    std::vector<LayerSubstitution> layerSubstitutions;
    HostPlacement host;
    // While a DRAW section runs (RunDrawBlock): its statements' layers.
    std::optional<std::vector<PreparedLayer>> preparedLayers;
    // While a DRAW section runs: an index of `vars`, whose members its
    // statements leave as they are (values apart).
    const ObjVarIndex* drawVars = nullptr;
    // While a DRAW section runs: the statements it has run and the
    // elements it has made, against the bounds of one run (obj_limits.h);
    // refused once it passed one, and then nothing of it is drawn.
    std::uint64_t drawStatements = 0, drawElements = 0;
    bool drawRefused = false;
};

// Whether parameter `number` of the object is one of the sizes its wall
// opening is cut and built by: the width $8 (the two arms $40 and $41 of a
// corner opening) and the height $190. Zero or less there closes the cut or
// turns it inside out, so such a value is refused where the user types it.
bool IsSizeParameter(const ObjContext& context, int number);

// Variables 4, 5 and 6 of the objects that take their size from a ratio
// (insertion types 14 and 15).
void ComputeRatioVars(ObjContext& context);

// 1 loaded; 0 not found, not readable, or the context already holds a
// text; -1 refused by a bound (said), or an include file could not be
// opened (the text read so far stays attached).
int LoadObjFile(ObjContext& context, const std::string& name);

// The variable of that number: replaced in place (order kept) or appended.
ObjVar* SetObjVar(int number, int kind, int significant, char16_t type, std::string_view description,
                  double value, std::string_view text, int numeric, int trace, ObjVarList& list);
// Sets many variables of one list in a row (the predefined ones of a run):
// a number not in the list is appended without a search of the list. As
// SetObjVar, while nothing else changes the list between the calls.
class ObjVarSetter {
public:
    explicit ObjVarSetter(ObjVarList& list);
    ObjVar* set(int number, int kind, int significant, char16_t type, std::string_view description,
                double value, std::string_view text, int numeric = 0, int trace = 0);

private:
    // Each number's first variable: the small ones by slot, the rest (the
    // predefined ones, 10000 and up) by number.
    struct Far {
        std::int32_t number;
        ObjVar* var;
    };
    ObjVar** slot(int number);

    // On the stack rather than the heap: a setter lives for one run's
    // declarations, and every object placed makes a few.
    static constexpr int kSmallNumbers = 512;
    ObjVarList& list_;
    std::array<ObjVar*, kSmallNumbers> small_{};
    std::vector<Far> far_;  // by number
};
ObjVar* FindObjVar(int number, ObjVarList& list);
const ObjVar* FindObjVar(int number, const ObjVarList& list);
// FindObjVar for many lookups in a list that keeps its members meanwhile
// (their values may change): a computed variable's expression names others
// of a list of a hundred or more, each by a walk of the list otherwise.
class ObjVarIndex {
public:
    explicit ObjVarIndex(const ObjVarList& list);
    const ObjVar* find(int number) const;
    // The variable appended to the list since.
    void add(const ObjVar* var);

private:
    std::vector<const ObjVar*> bySlot_;  // numbers 0 .. size - 1
    // The rest, each number's first: hashed, as a definition may number
    // all its variables far apart.
    std::unordered_map<std::int32_t, const ObjVar*> far_;
};
// FindObjVar on the context's variables, through the index of them a
// running DRAW section keeps: its statements name variables by the hundred.
const ObjVar* FindContextVar(int number, const ObjContext& context);
// The variable with its value and text copied out; absent: null, 0.0, "".
const ObjVar* GetObjVar(int number, double& value, std::string& text, const ObjVarList& list);
void FreeObjVars(ObjVarList& list);

std::unique_ptr<ObjContext> NewObjContext(const std::string& definitionName);
// Applies the made layers' attributes, saves a modified definition text and
// frees everything; a null context is accepted.
void FreeObjContext(std::unique_ptr<ObjContext> context);

void InitObjVariables(ObjContext& context);
void InitObjSettingVars(ObjContext& context, std::string_view text);
void ReadInsertionType(ObjContext& context);
// 0 read; -1 no section, no end line, or a number that cannot be read;
// otherwise the number of the variable whose line is wrong, and
// kVarZeroLineWrong for a wrong line of variable 0 (its number would read
// as success).
constexpr int kVarZeroLineWrong = -2;
int ReadVarSection(bool readValues, ObjContext& context);
// The section label of a failed ReadVarSection: "VAR(12)", "VAR(0)", "VAR(-1)".
std::string VarSectionErrorLabel(int result);
// 0 without a pair of double quotes, else the quoted text's length + 2.
int ExtractQuoted(std::string& out, std::string_view source);

int GetObjPoint(const ObjContext& context, double point[3]);
void NextFixedPoint(const double given[3], ObjContext& context, double out[3], int kindClass);
int FindFixedPointByKind(ObjContext& context, double out[3], int mode);

// Reply codes of the number prompt besides the host's statuses.
enum : int { kNumReplyQuestion = 100, kNumReplyDot = 101, kNumReplyGreater = 102 };
int PromptNumberWithFilters(const char* prompt, double baseElevation, double& number);

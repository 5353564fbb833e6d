// CCALCVANI, the room calculation: every room command builds one on its
// stack, lets it find and measure one room (from an interior point through
// the wall-face graph, or from a closed polyline) and hands it on to the
// label, card and row writers. It holds the room's fixed and measured
// values, its user fields, its template and definition names, its card
// point and the object run that draws its records.
//
// Areas: the measured floor area is living area, or non-usable area when
// the room's field 71 says so; deductions (marked polygons, stairs,
// pillars) come off either. Openings cut into the room's wall faces add
// their covered share of window, opening and ventilation area, and the
// share of the opening area above the minimum (`CINTOMIN`) less the
// non-deductible part (`CNONDETRAI`) comes off the surface.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "core/geometry/geom_basic.h"
#include "core/geometry/vertex_list.h"
#include "host/util/adscodes.h"
#include "objects/language/obj_context.h"
#include "rooms/labels/label_catalogue.h"
#include "rooms/under_roof.h"
#include "walls/graph/cfacciate.h"

// An entity name in the list of card rows a calculation wrote.
struct CardRowNode {
    CardRowNode* next = nullptr;
    ads_name entity = {0, 0};
};

// A room's name as a message names the room: its first 40 characters, and
// "…" when there are more.
std::string ShortRoomName(const std::string& name);

class CCALCVANI {
public:
    CCALCVANI();
    CCALCVANI(const CCALCVANI&) = delete;
    CCALCVANI& operator=(const CCALCVANI&) = delete;
    virtual ~CCALCVANI();

    bool fixedLivingFlag = false, fixedWindowFlag = false, fixedVentilationFlag = false;
    double fixedLivingArea = 0.0, fixedWindowArea = 0.0, fixedVentilationArea = 0.0;
    bool heightFromField = true;  // false: under roof pitches
    Point3 cardPoint;
    double cardRotation = 0.0;
    std::string cardPointPrompt;
    std::string roomNameForOpenings;     // field 75
    std::string roomTextForOpenings;     // the field numbered STR_INF_VANI
    double roomNumberForOpenings = 0.0;  // the field numbered NUM_INF_VANI
    // False when only looking: measuring then leaves the openings' schedule
    // records (room number, name, field values) as they are.
    bool recordOpenings = true;
    double labelScale[3] = {1.0, 1.0, 1.0};
    int drawLeader = 0;
    int drawTriangles = 0;
    int digits = 2;
    std::string labelLayer;
    std::string triangleLayer = "2DROOMTRIANGLE";
    std::string triangleCodeLayer = "2DROOMTRIANGLE_COD";
    std::string triangleValueLayer = "2DROOMTRIANGLE_VAL";
    std::string triangleBlock = "ROOMTRIANGLE";
    std::string templateName;
    std::string labelDefinition, cardDefinition, rowDefinition, totalDefinition;
    std::string cardName;  // field 79
    int rowNumber = 0;     // field 78
    std::optional<int> cardNumber;
    double level = 0.0;
    double scaleSize1 = 1.0;
    std::unique_ptr<ObjContext> context;
    RoofPitch* roofPitches = nullptr;  // owned
    CArrayDefEti labelFields;
    double windowArea = 0.0;       // 61
    double openingArea = 0.0;      // 62
    double ventilationArea = 0.0;  // 65
    double deductibleOpeningArea = 0.0;
    // What the last measuring took off the outline (stairs, pillars,
    // deduction polygons): variable 44, so that the label can show how the
    // area was reached. Not part of the label record: a label redrawn from
    // its record alone shows none.
    double deductedArea = 0.0;
    double livingArea = 0.0;     // 60
    double nonUsableArea = 0.0;  // 64
    double perimeter = 0.0;      // 63
    double wallPerimeter = 0.0;  // 67
    double height = 0.0;         // 70
    double surface = 0.0;        // 69
    bool livingAreaFlag = true;
    int strInfVani = -1;
    int numInfVani = -1;
    CardRowNode* cardRows = nullptr;  // owned
    bool polylineRoom = false;
    std::string outlineHandle;
    ads_name newOutline = {0, 0};
    double polylineArea = 0.0;
    double polylineDeduction = 0.0;  // part of polylineArea taken off
    double polylinePerimeter = 0.0;
    Point3 interiorPoint;  // the point the user gave inside the room
    Point3 labelPoint;     // the label's insertion point
    double labelRotation = 0.0;

    // Reads the field set named by the template name; 0 after a message.
    int ReadLabelFieldSet();
    // The room form with the room's fields, fixed areas and leader flag;
    // true for OK. The leader flag is taken back whatever the button.
    bool EditLabelFields();
    // Measures the room around the point in a prepared graph; 1, or 0.
    int FindRoomOutline(const Point3& point, CFACCIATE& graph);
    // Measures a picked polyline, or the one the outline handle names.
    int MeasurePolylineRoom();
    void SetPolylineRoomValues();
    // Makes or rewrites the room's outline polyline from the graph's
    // contour nodes (newest first, as the graph keeps them).
    void WriteRoomOutline(const ContourLink* contour);
    // Defines the label variables in the object context.
    void FillLabelParameters();
    // Mean height and wall surface under the roof pitches over the room.
    // False when the user broke off.
    bool ComputeUnderRoof(const VertexNode* room);

    // ---- labels ----
    // Writes the label the object run placed: INSERT, ATTRIBs, SEQEND and
    // the room record; 1, or 0 (nothing written).
    int CreateRoomLabel();
    // Redraws a label from its record. A new card name redraws only labels
    // of the old card; a row override of 0 or more replaces the row number;
    // eraseRow names the row to erase (negative: the room's).
    // The reading part alone: the room's values, fields, points, layer,
    // rotation and scale from the label; false without a record, without
    // its template, or for a label of another card than the old one.
    bool ReadFromLabel(const ads_name label, const std::string* newCard, const std::string* oldCard,
                       int rowOverride);
    void LoadFromLabel(const ads_name label, const std::string* newCard, const std::string* oldCard,
                       int rowOverride, int eraseRow, bool highlightFixed);

    // ---- cards, rows and totals ----
    bool FindRoomCard();
    int CreateRoomCard(int insertFlag);
    int WriteRoomCard();
    int CreateCardRow();
    bool EraseCardRow(const std::string* card, int row, ads_name erased);
    // The total replaced is the one under `formerCardName` when given (a
    // card renamed), else under the room's card name.
    int CreateRoomCardTotal(bool onlyIfPresent, const std::string* formerCardName = nullptr);

    // The value of the user field numbered n, or null when the set has none.
    const CDefEti* Field(int number) const;
    CDefEti* Field(int number);
    // The field's value read as a number (0.0 when it does not read).
    static double FieldNumber(const CDefEti& field);

    // A new object run of `definition` at the room's level with the label
    // variables, at `point` turned by `rotation`; the prompt asks for the
    // point (empty: no question, and no parameter dialog or prompt either).
    void StartRun(const std::string& definition, const Point3& point, double rotation,
                  const std::string& prompt);
    void FreeRun();

private:
    // The areas, perimeters and openings of a recognised contour.
    int MeasureContour(VertexNode* ring, double curveArea, const ContourLink* contour);
};

// Builds the graph of the room's floor as the room commands prepare it.
void PrepareRoomGraph(CFACCIATE& graph, double level);

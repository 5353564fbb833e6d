// The stair option dialogs: 226 "Opcje schodów" (heights, nosing,
// structure, floors, slab opening, cut height) and 252 "Zaawansowane
// ustawienia schodów" (the plan drawing options), both editing a stair
// record in place. The caller switches the module's resources in around
// DoModal.
//
// dlgScale tells its caller how it was closed (m_exitCode): 0 the user asked
// to pick landings (the values are stored, the dialog is to be shown again),
// 1 cancelled, 2 OK. Values reach the record only through a data exchange
// that succeeded.
#pragma once

#include "host/ui/dialog.h"

class CSCALA;

inline constexpr UINT IDD_SCALE = 226;
inline constexpr UINT IDD_SCALE_ADVANCED = 252;

inline constexpr int kScaleExitLanding = 0;
inline constexpr int kScaleExitCancel = 1;
inline constexpr int kScaleExitOk = 2;

class dlgScale : public CDialog {
public:
    explicit dlgScale(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void DoDataExchange(CDataExchange* dx) override;

    CSCALA* m_record = nullptr;
    int m_exitCode = 0;

    int m_lastStepAtEnd = 0;
    int m_stepCount = 0;
    double m_startOffset = 0.0;
    int m_useRisers = 0;
    double m_floorDistance = 0.0;
    double m_stepHeight = 0.0;
    int m_nosingType = -1;
    double m_nosingRadius = 0.0;
    double m_nosingLength = 0.0;
    double m_nosingThickness = 0.0;
    double m_lintelHeight = 0.0;
    double m_slabThickness = 0.0;
    int m_structureType = -1;
    double m_stepThickness = 0.0;
    double m_riserThickness = 0.0;
    double m_landingThickness = 0.0;
    double m_platformThickness = 0.0;
    double m_startFloorHeight = 0.0;
    int m_belowRepresentation = -1;
    double m_endFloorHeight = 0.0;
    int m_aboveRepresentation = -1;
    double m_cutHeight = 0.0;

private:
    int StepCount() const;
    void ApplyEnabling();
    void Enable(int id, bool on);
    void StoreIntoRecord();
    bool ValuesInRange() const;
    void OnUseRisers();
    void OnLastStepAtEnd();
    void OnStepHeightLeft();
    void OnFloorDistanceLeft();
    void OnStepThicknessLeft();
    void OnOption();
    void OnLanding();
    void OnAdvanced();
    void OnHelp();
};

class DLGSCALEavan : public CDialog {
public:
    explicit DLGSCALEavan(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange* dx) override;

    CSCALA* m_record = nullptr;

    double m_riserThicknessPlan = 0.0;
    double m_stepThicknessPlan = 0.0;
    double m_arrowSideLength = 0.0;
    double m_cutLineDistance = 0.0;
    double m_cutPlaneAngleDegrees = 0.0;
    int m_startMarker = -1;
    double m_startMarkerSize = 0.0;
    double m_balustradeStartLeft = 0.0;
    double m_balustradeStartRight = 0.0;
    double m_balustradeJoinLeft = 0.0;
    double m_balustradeJoinRight = 0.0;
};

// Shows dialog 226 on the record with the module's resources; the exit code.
int ShowStairOptions(CSCALA& record);

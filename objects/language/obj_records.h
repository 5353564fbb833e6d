// The records of a placed object: one INSERT of the block the drawing
// statements built, its ATTRIBs, and in its xdata which definition and set
// made it, how it was placed, every parameter, and the records of its kind
// (cut outlines, handrail data, schedule data, deductions). Every later
// operation on the object and the readers in the other subsystems rely on
// these layouts group for group.
//
// Points are world points (the local point turned by the rotation and moved
// to the insertion point) unless noted; an undeclared variable gives 0 or an
// empty text.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/geometry/matrix4.h"
#include "host/util/resbuf.h"
#include "objects/language/obj_context.h"

inline constexpr const char* kParamRecordApp = "VELM5$_$PARAMETRI-";
inline constexpr const char* kPoligFaldaApp = "VELM5$_$POLIGFALDA-";
inline constexpr const char* kParaSpecApp = "VELM5$_$PARASPEC-";
inline constexpr const char* kCambioLayerApp = "VELM11CAD$_$CAMBIOLAYER-";
inline constexpr const char* kInfoScaleSt3dApp = "VELM7$_$INFOSCALEST3D-";
inline constexpr const char* kIsolTrattApp = "VELM5$_$ISOLTRATT-";
inline constexpr const char* kTernaCompApp = "VELM5$_$TERNACOMP-";
inline constexpr const char* kPilastroStrApp = "VELM5$_$PILASTROSTR-";
inline constexpr const char* kDetCompScaleApp = "VELM7$_$DETCOMPSCALE-";
inline constexpr const char* kTag3DiStrRecordApp = "VELM5$_$TAG3DISTR-";
inline constexpr const char* kDatiCManoApp = "VELM5$_$DATICMANO-";
inline constexpr const char* kDatiCManoScalaApp = "VELM5$_$DATICMANOSCALA-";
inline constexpr const char* kSeparatoreApp = "VELM6$_$SEPARATORE-";
inline constexpr const char* kAbInfissiTabApp = "VELM6$_$ABINFISSI_TAB-";
inline constexpr const char* kAbInfissiObjApp = "VELM6$_$ABINFISSI_OBJ-";
inline constexpr const char* kAbGenericiObjApp = "VELM6$_$ABGENERICI_OBJ-";

// The sixteen application names of these records.
const std::array<const char*, 16>& ObjectRecordApps();
// Each name entered in the drawing's application table when absent.
void RegisterObjectRecordApps();

// Makes the INSERT with its xdata, then the ATTRIBs of the non-constant
// attribute definitions and SEQEND. 1 and the INSERT in `insert`; -1 with
// "Nie można utworzyć obiektu" when the host refused any of them, nothing
// of the object left in the drawing.
int AttachParamXdata(ObjContext& context, ads_name insert);

// The xdata chain of the INSERT (POLIGFALDA, PARAMETRI, PARASPEC and the
// per-kind records), without the -3 marker. The caller frees it.
resbuf* BuildObjectXdata(const ObjContext& context);
// PARASPEC followed by the per-kind records in their fixed order.
resbuf* WriteParaSpec(const ObjContext& context);

// Each puts its record in front of `chain` when its condition holds.
resbuf* WriteCambioLayer(const ObjContext& context, resbuf* chain);
resbuf* WriteInfoScaleSt3d(const ObjContext& context, resbuf* chain);
resbuf* WriteIsolTratt(const ObjContext& context, resbuf* chain);
resbuf* WriteTernaComp(const ObjContext& context, resbuf* chain);
resbuf* WritePilastroStr(const ObjContext& context, resbuf* chain);
resbuf* WriteDetCompScale(const ObjContext& context, resbuf* chain);
resbuf* WriteTag3DiStr(const ObjContext& context, resbuf* chain);
resbuf* WriteDatiCMano(const ObjContext& context, resbuf* chain);
resbuf* WriteDatiCManoScala(const ObjContext& context, resbuf* chain);
resbuf* WriteSeparatore(const ObjContext& context, resbuf* chain);
resbuf* WriteAbInfissiTab(const ObjContext& context, resbuf* chain);
resbuf* WriteAbInfissiObj(const ObjContext& context, resbuf* chain);
resbuf* WriteAbGenericiObj(const ObjContext& context, resbuf* chain);

// The pair (1070 vertex flag)(1011 vertex transformed by `matrix`).
resbuf* OutlinePointGroups(const Matrix4& matrix, const VertexNode& vertex);

// 1 when an object of the drawing carries the unique code (letter case
// ignored) in its generic record; that object is highlighted. Else 0.
int FindObjectByUniqueCode(std::string_view code);

// Opening kind words: with `toEnglish` clear WINDOWS, DOORS and OPENINGS
// give FINESTRE, PORTE and APERTURE; set, the other way. Case is ignored;
// an unknown word leaves `out` as it was.
void TranslateOpeningType(std::string_view word, std::string& out, bool toEnglish);

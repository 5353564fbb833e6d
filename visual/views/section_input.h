// Where a section is cut and from where it is seen: three picked points (the
// section line and a camera), a section symbol of the object library
// ("TMS_SEZ" a plain section, "TMS_SEZ2" a stepped one, "TMS_SEZS" a tilted
// one seen in the current display direction), "Widok" (the whole model in
// the current display direction, nothing cut) or "Aksonometryczny" (a
// symbol's cut seen in the current display direction). The answer becomes
// the section object's frames.
#pragma once

#include "core/geometry/geom_basic.h"

class CSezione;

// False when the user cancels or the input is refused.
bool GetSectionLine(CSezione& section);

enum SectionSymbolKind { kNoSymbol = 0, kPlainSymbol = 1, kSteppedSymbol = 2, kTiltedSymbol = 3 };

// Asks for a section symbol until one is picked or the pick is cancelled.
// For a stepped symbol `up` carries its signed depth in x.
int SelectSectionSymbol(Point3& first, Point3& second, Point3& up, Point3& camera);

inline constexpr const char* kNotASection = "\nWybrany obiekt nie jest przekrojem";
inline constexpr const char* kSamePoints = "\nWybrane punkty nie mogą być takie same";

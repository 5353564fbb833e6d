// The range of what a user may give as a size or a point. Drawing units
// beyond 1e10 are no building's: such an answer (or a size of zero or less
// where a length is asked) is a typing slip, and taking it would fill the
// drawing with coordinates the geometry cannot work with. The checks are
// plain functions; the prompts below ask again, with the module's one
// message, until the answer is in range or the user cancels.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>

#include "core/base/typed_number.h"
#include "core/geometry/geom_basic.h"
#include "core/geometry/host_geometry.h"
#include "host/ui/dialog.h"
#include "host/util/adscodes.h"
#include "store/value_range.h"

inline constexpr double kInputLimit = kValueLimit;

// Finite and not beyond the limit either way.
bool CoordinateInRange(double v);
bool PointInRange(const Point3& p);
bool PointInRange(const ads_point p);
// A length: above zero and not beyond the limit.
bool SizeInRange(double v);
// An angle in radians: finite and not beyond the limit (a turn of 1e308
// radians has no meaning a drawing can keep).
bool AngleInRange(double v);

// What a number field's meaning allows: any coordinate, a length (above
// zero), or an amount that may be zero but not less (a deduction).
enum class NumberRange { Coordinate, Size, NotNegative };
bool ValueInRange(double v, NumberRange range);
// A field's text read whole as one number (TypedNumber) and in the range;
// nullopt for a text that is no number or one out of range.
std::optional<double> NumberFromText(const std::string& text, NumberRange range);

// The message for an answer out of range, from the module's string table.
std::string OutOfRangeMessage();
// The message on the command line.
void ReportOutOfRange();

// zcedGetPoint with `initBits` and `keywords` armed for every asking, asked
// again while a point is out of range. The host's status otherwise.
int GetPointInRange(int initBits, const char* keywords, const ads_point base, const char* prompt,
                    ads_point result);
// zcedGetDist the same way, for a length (SizeInRange).
int GetSizeInRange(int initBits, const char* keywords, const ads_point base, const char* prompt,
                   ads_real* result);
// zcedGetDist for a distance of either sign (an offset, a displacement):
// CoordinateInRange.
int GetDistInRange(int initBits, const char* keywords, const ads_point base, const char* prompt,
                   ads_real* result);
// zcedGetReal, zcedGetAngle and zcedGetCorner the same way.
int GetRealInRange(int initBits, const char* keywords, const char* prompt, ads_real* result);
int GetAngleInRange(int initBits, const char* keywords, const ads_point base, const char* prompt,
                    ads_real* result);
int GetCornerInRange(int initBits, const char* keywords, const ads_point base, const char* prompt,
                     ads_point result);

// The dialogs' number fields: on saving, the field's whole text is read
// (TypedNumber) and checked (CoordinateInRange, or SizeInRange for a
// length); a text that is no number, or a value out of range, is refused
// with the module's message, the exchange fails and the dialog stays open
// on the field with the member as it was.
void DDX_Number(CDataExchange* dx, int id, double& value);
void DDX_Size(CDataExchange* dx, int id, double& value);
// For a value a dialog reads itself (nullopt: its text is no number): the
// same refusal when it is not a number in range.
bool CheckNumberField(CDataExchange* dx, std::optional<double> value, bool size);
// For the values a dialog reads from its own number edits on OK: false,
// with the module's message, when one is no number or out of range
// (CoordinateInRange); the dialog then stays open.
bool NumbersInRange(std::initializer_list<std::optional<double>> values);
// The same for one value of a given range: false, with the message.
bool NumberFieldInRange(std::optional<double> value, NumberRange range);

// The point-by-point input on the host's prompts, asking again with the
// module's message while a point is out of range.
class PointInputPortInRange : public HostPointInputPort {
public:
    PointAnswer GetPoint(const Point3* base, const std::string& prompt, const std::string& keywords,
                         bool noNull) override;
};

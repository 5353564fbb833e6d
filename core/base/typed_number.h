// What a user types into a number field, a dialog's or a prompt's, is a
// number only when the whole text is one: "12abc" is not 12, "1,5" is
// neither 1 nor 15, "0x10" is not 16, a blank field is no value. Every
// field of the module reads its text here, so none takes a slip as a value
// the user never meant; a text refused gets the one message below.
#pragma once

#include <optional>
#include <string_view>

// The numeric edit's message, shown for any text that is no number.
inline constexpr const char* kInvalidValueMessage = "\nPodana wartość jest nieprawidłowa";

// The whole text as one number, blanks around it allowed; nullopt when it
// is not. Endless and not-a-number come back as such, for the range checks
// to refuse with their own message.
std::optional<double> TypedNumber(std::string_view text);
// The same for a whole number (no point, no exponent).
std::optional<long long> TypedInteger(std::string_view text);

// The prompt functions of the classic interface. Each reads its answers from
// the current document's input (see cmdproc.h for where answers come from)
// and writes its prompt and the answer to the transcript.
//
// zcedInitGet sets the control bits and keywords of the next prompt only.
// Bits: 1 no Enter, 2 no zero, 4 no negative, 8 no limits check (there are
// no limits here), 32 dashed rubber band and 64 2D distance (recorded /
// honoured), 128 arbitrary input (returned as RTKWORD, read by
// zcedGetInput). Keywords are separated by blanks; "Local … _ Global …"
// gives global names that an answer starting with "_" matches and that
// zcedGetInput reports.
//
// Keyword matching ignores case (also of Polish letters): an exact match
// wins; otherwise the keywords that the answer begins (a prefix) or whose
// capital letters equal it; one candidate is the answer, several are
// ambiguous and the prompt asks again.
//
// Statuses: RTNORM a value, RTNONE Enter, RTKWORD a keyword, RTCAN cancel
// (Escape, the user break, or no more input). A bad answer prints one of
// the host's messages (Polish) and asks again:
//   "Wymagany punkt lub opcja."            "Wymagana odległość, drugi punkt lub opcja."
//   "Wymagany kąt, drugi punkt lub opcja." "Wymagana liczba rzeczywista lub opcja."
//   "Wymagana liczba całkowita z zakresu od -32768 do 32767 lub opcja."
//   "Nieprawidłowa opcja."   "Niejednoznaczna opcja."
//   "Wartość musi być różna od zera."   "Wartość nie może być ujemna."
//
// Points: "x,y" (z from ELEVATION), "x,y,z", "@dx,dy[,dz]" relative to
// LASTPOINT, "@d<angle" polar (the angle in the current angular units,
// measured from ANGBASE in the ANGDIR direction), "@" the last point, and a
// pick "!pick x,y". Every accepted point becomes LASTPOINT. Angles: typed in
// the current units from ANGBASE in the ANGDIR direction, or two points;
// zcedGetOrient returns the absolute angle (counter-clockwise from east),
// zcedGetAngle the angle counter-clockwise from ANGBASE.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "host/ads/adsent.h"
#include "host/ge/gebase.h"
#include "host/util/adscodes.h"

int zcedInitGet(int val, const char* kwl);
int zcedGetPoint(const ads_point pt, const char* prompt, ads_point result);
int zcedGetCorner(const ads_point pt, const char* prompt, ads_point result);
int zcedGetDist(const ads_point pt, const char* prompt, ads_real* result);
int zcedGetAngle(const ads_point pt, const char* prompt, ads_real* result);
int zcedGetOrient(const ads_point pt, const char* prompt, ads_real* result);
int zcedGetReal(const char* prompt, ads_real* result);
int zcedGetInt(const char* prompt, int* result);
// cronly non-zero: the answer may hold blanks; otherwise a blank ends it
// (the rest is the next answer). A longer answer than the buffer is cut and
// RTINPUTTRUNCATED returned.
int zcedGetString(int cronly, const char* prompt, char* result, size_t bufLen);
int zcedGetKword(const char* prompt, char* result, size_t bufLen);
int zcedGetInput(char* str, size_t bufLen);
template <size_t N>
int zcedGetString(int cronly, const char* prompt, char (&result)[N]) {
    return zcedGetString(cronly, prompt, result, N);
}
template <size_t N>
int zcedGetKword(const char* prompt, char (&result)[N]) {
    return zcedGetKword(prompt, result, N);
}
template <size_t N>
int zcedGetInput(char (&str)[N]) {
    return zcedGetInput(str, N);
}
// 1 when the user asked to break off a long operation, else 0.
int zcedUsrBrk();

namespace host {

// Keyword matching on a blank-separated keyword list; the matched global
// keyword, "" for no match, "?" prefix for an ambiguous answer.
enum class KeywordMatch { None, Found, Ambiguous };
KeywordMatch matchKeyword(const std::string& keywordList, const std::string& answer, std::string& keyword);

// The point an answer gives, by the rules above (for picks, selections and
// jigs, which read answers with nextPromptToken and parse them the same way).
std::optional<ZcGePoint3d> parsePointAnswer(const std::string& text);

// Whether the last zcedInitGet asked for a dashed rubber band (recorded).
int lastInitGetBits();

void resetPrompts();

}  // namespace host

// "VELMHANDRAIL": a handrail or balustrade along one side of a stair, made
// by the stair commands or placed from the object library, over the whole
// side or between two points, as one INSERT of a block of 3DFACEs.
#pragma once

constexpr const char* kHandrailPickPrompt = "\nWybierz schody po stronie, gdzie wstawić barierkę:";
constexpr const char* kHandrailStartPrompt = "\nPunkt początkowy poręczy lub Enter dla całej strony:";
constexpr const char* kHandrailEndPrompt = "\nPunkt końcowy poręczy:";
constexpr const char* kHandrailNoSideMessage = "\nNie można znaleźć boku schodów";
constexpr const char* kHandrailFailedMessage = "\nBłąd w obliczaniu poręczy";

void CmdHandrail();  // "VELMHANDRAIL"

// LISP functions defined by a module, and the small evaluator of the lines
// that call them.
//
// A module defines a name with a function code (zcedDefun). A call reaches
// the module through the invoker (the runtime installs one that sends the
// entry-point message 5 to the module); the module asks the code and the
// arguments (zcedGetFunCode, zcedGetArgs) and hands back its value with one
// of the zcedRet* calls. The argument list belongs to the host and is freed
// after the call; the module must not free it.
//
// A line "(name arg …)" calls a defined function with literal arguments:
// strings "…" (with \" \\ \n \t escapes), integers (RTSHORT, RTLONG beyond
// 16 bits), reals, nil, T, and quoted lists '(…) — a list of two or three
// numbers is passed as a point (RTPOINT/RT3DPOINT), any other list between
// RTLB and RTLE. The value is printed on the command line in LISP form. An
// undefined name prints "\n; błąd: brak funkcji: NAME".
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "host/util/resbuf.h"

int zcedDefun(const char* name, short funcNumber);
int zcedUndef(const char* name, short funcNumber);
int zcedGetFunCode();
resbuf* zcedGetArgs();
int zcedRetVal(const resbuf* rbuf);
int zcedRetNil();
int zcedRetT();
int zcedRetVoid();
int zcedRetStr(const char* s);
int zcedRetReal(ads_real x);
int zcedRetInt(int i);
int zcedRetPoint(const ads_point p);
int zcedRetName(const ads_name aname, int type);

namespace host {

// Sends the call to the module (message 5); returns what the module's entry
// returns. Installed by the runtime.
void setLispInvoker(std::function<int()> invoker);

bool lispFunctionDefined(const std::string& name);

// Each drawing keeps its own defined functions. The provider names the
// current drawing (any stable pointer; null: one table for everything); an
// override makes another drawing's table current while that drawing is
// loaded or closed; a closed drawing's table is forgotten.
void setLispScopeProvider(std::function<const void*()> provider);
void forgetLispScope(const void* scope);
class LispScopeOverride {
public:
    explicit LispScopeOverride(const void* scope);
    ~LispScopeOverride();
    LispScopeOverride(const LispScopeOverride&) = delete;
    LispScopeOverride& operator=(const LispScopeOverride&) = delete;

private:
    const void* previous_;
    bool wasOverridden_;
};

// Evaluates one line; prints the value. RTNORM, or RTERROR for a syntax
// error, an undefined function, or a function that reported an error.
int evaluateLispLine(const std::string& line);

// Calls a defined function with an argument list (not taken over); prints
// the value when asked. The status is RTERROR when undefined.
int invokeLispFunction(const std::string& name, const resbuf* args, bool printValue);

// The value the last call returned, in LISP form ("nil" when none).
std::string lastLispValue();

// Parses the argument part of a call; none on a syntax error.
std::optional<resbuf*> parseLispArgs(const std::string& text, std::string* functionName);
std::string printLispValue(const resbuf* value);

void resetLisp();

}  // namespace host

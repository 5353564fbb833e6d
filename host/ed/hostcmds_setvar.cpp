// System variables at the command line: SETVAR, and a variable's name typed
// as a command. The value is shown in the prompt and set through zcedSetVar,
// so its type, range and read-only flag are checked and the editor reactors
// see the change (TILEMODE switches the spaces through them).
#include <cerrno>
#include <cstdlib>

#include "host/ads/adstext.h"
#include "host/ads/cmdline.h"
#include "host/ads/sysvars.h"
#include "host/ed/cmdproc.h"
#include "host/ed/hostcmd_util.h"

namespace host {
namespace {

std::string showValue(const SysVarDef& def, const SysVarValue& v) {
    if (const short* s = std::get_if<short>(&v)) return std::to_string(*s);
    if (const std::int32_t* l = std::get_if<std::int32_t>(&v)) return std::to_string(*l);
    if (const double* r = std::get_if<double>(&v)) return showNumber(*r);
    if (const std::string* t = std::get_if<std::string>(&v)) return "\"" + *t + "\"";
    const ZcGePoint3d& p = std::get<ZcGePoint3d>(v);
    std::string text = showNumber(p.x) + "," + showNumber(p.y);
    return def.type == RTPOINT ? text : text + "," + showNumber(p.z);
}

// A whole integer of the text, nothing else.
bool parseInteger(const std::string& text, long& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    out = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && end && *end == '\0';
}

// Asks for the new value until one is taken; RTNONE keeps the old one.
int askNewValue(const SysVarDef& def) {
    const std::string name = def.name;
    const std::string prompt =
        "\nPodaj nową wartość dla " + name + " <" + showValue(def, *getSysVar(name)) + ">: ";
    for (;;) {
        resbuf rb;
        rb.restype = def.type;
        std::string text;
        if (def.type == RTPOINT || def.type == RT3DPOINT) {
            ZcGePoint3d p;
            int rc = askPoint(prompt, p);
            if (rc != RTNORM) return rc;
            rb.resval.rpoint[0] = p.x, rb.resval.rpoint[1] = p.y, rb.resval.rpoint[2] = p.z;
        } else {
            int rc = askText(prompt, text, def.type == RTSTR);
            if (rc != RTNORM) return rc;
            text = ads_text::trim(text);
            long n = 0;
            if (def.type == RTSHORT || def.type == RTLONG) {
                if (!parseInteger(text, n)) {
                    zcutPrintf("\nWymagana jest liczba całkowita.");
                    continue;
                }
                if (n < def.minValue || n > def.maxValue) {
                    zcutPrintf("\nWartość musi być z zakresu od %d do %d.", def.minValue, def.maxValue);
                    continue;
                }
                if (def.type == RTSHORT)
                    rb.resval.rint = static_cast<short>(n);
                else
                    rb.resval.rlong = static_cast<std::int32_t>(n);
            } else if (def.type == RTREAL) {
                char* end = nullptr;
                double r = std::strtod(text.c_str(), &end);
                if (text.empty() || !end || *end != '\0') {
                    zcutPrintf("\nWymagana jest liczba.");
                    continue;
                }
                rb.resval.rreal = r;
            } else {
                // "." empties a text variable, as Enter keeps it.
                if (text == ".") text.clear();
                rb.resval.rstring = text.data();
            }
        }
        if (zcedSetVar(name.c_str(), &rb) == RTNORM) return RTNORM;
        zcutPrintf("\nWartość odrzucona.");
    }
}

int setVariable(const std::string& typed) {
    const SysVarDef* def = findSysVar(ads_text::upper(typed));
    if (!def) {
        zcutPrintf("\nNieznana nazwa zmiennej.");
        return RTERROR;
    }
    if (def->readOnly) {
        zcutPrintf("\n%s = %s (tylko do odczytu)", def->name, showValue(*def, *getSysVar(def->name)).c_str());
        return RTNORM;
    }
    int rc = askNewValue(*def);
    return rc == RTNONE ? RTNORM : rc;
}

int setvarCommand() {
    std::string name;
    int rc = askText("\nPodaj nazwę zmiennej: ", name);
    if (rc == RTNONE) return RTNORM;
    if (rc != RTNORM) return rc;
    return setVariable(name);
}

}  // namespace

int variableCommand(const std::string& name) {
    return setVariable(name);
}

void installSetvarCommands() {
    registerHostCommand("SETVAR", setvarCommand, true);
}

}  // namespace host

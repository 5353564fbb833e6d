// Thin wrappers over the prompt functions so that command handlers read as
// a sequence of questions; the database helpers keep the open/close
// protocol in one place.
#include "host/ed/hostcmd_util.h"

#include <cstdio>

#include "host/ads/adstext.h"
#include "host/ads/sysvars.h"
#include "host/db/dbsymtb.h"
#include "host/ed/cmdproc.h"
#include "host/ed/docman.h"
#include "host/ed/grdraw.h"
#include "host/ed/prompts.h"
#include "host/util/findfile.h"
#include "host/win/files.h"

namespace host {

void installHostCommands() {
    installLayerCommands();
    installUndoCommands();
    installDrawCommands();
    installViewCommands();
    installInsertCommands();
    installDimCommands();
    installEditCommands();
    installAttributeCommands();
    installSetvarCommands();
}

void resetHostCommands() {
    resetTemporaryGraphics();
    resetViewCommands();
    resetDrawCommands();
    resetDimCommands();
    resetEditCommands();
}

ZcDbDatabase* commandDatabase() {
    ZcApDocument* doc = zcDocManagerPtr()->curDocument();
    if (doc && doc->database()) return doc->database();
    return zcdbCurDwg();
}

ZcDbObjectId appendEntity(ZcDbEntity* ent, ZcDbDatabase* db) {
    if (!db) db = commandDatabase();
    if (!ent) return {};
    if (!db) {
        delete ent;
        return {};
    }
    ZcDbBlockTableRecord* space = nullptr;
    if (zcdbOpenObject(space, db->currentSpaceId(), ZcDb::kForWrite) != Zcad::eOk) {
        delete ent;
        return {};
    }
    if (ent->layer().empty()) ent->setDatabaseDefaults(db);
    ZcDbObjectId id;
    Zcad::ErrorStatus es = space->appendZcDbEntity(id, ent);
    space->close();
    if (es != Zcad::eOk) {
        delete ent;
        return {};
    }
    ent->close();
    return id;
}

int askKeyword(const std::string& prompt, const std::string& keywords, std::string& kw, bool allowEnter) {
    zcedInitGet(allowEnter ? 0 : RSG_NONULL, keywords.c_str());
    char buf[512] = "";
    int rc = zcedGetKword(prompt.c_str(), buf);
    if (rc == RTNORM) kw = buf;
    return rc;
}

int askText(const std::string& prompt, std::string& out, bool cronly) {
    char buf[2048] = "";
    int rc = zcedGetString(cronly ? 1 : 0, prompt.c_str(), buf);
    if (rc == RTINPUTTRUNCATED) rc = RTNORM;
    if (rc != RTNORM) return rc;
    out = buf;
    return out.empty() ? RTNONE : RTNORM;
}

int askPoint(const std::string& prompt, ZcGePoint3d& out, const ZcGePoint3d* base, int bits,
             const std::string& keywords, std::string* kw) {
    zcedInitGet(bits, keywords.empty() ? nullptr : keywords.c_str());
    ads_point b = {0, 0, 0}, r = {0, 0, 0};
    if (base) b[0] = base->x, b[1] = base->y, b[2] = base->z;
    int rc = zcedGetPoint(base ? b : nullptr, prompt.c_str(), r);
    if (rc == RTNORM) out = ZcGePoint3d(r[0], r[1], r[2]);
    if (rc == RTKWORD && kw) {
        char buf[256] = "";
        zcedGetInput(buf);
        *kw = buf;
    }
    return rc;
}

int askReal(const std::string& prompt, double& out, int bits) {
    zcedInitGet(bits, nullptr);
    return zcedGetReal(prompt.c_str(), &out);
}

int askDist(const std::string& prompt, double& out, const ZcGePoint3d* base, int bits) {
    zcedInitGet(bits, nullptr);
    ads_point b = {0, 0, 0};
    if (base) b[0] = base->x, b[1] = base->y, b[2] = base->z;
    return zcedGetDist(base ? b : nullptr, prompt.c_str(), &out);
}

int askOrient(const std::string& prompt, double& out, const ZcGePoint3d* base, int bits) {
    zcedInitGet(bits, nullptr);
    ads_point b = {0, 0, 0};
    if (base) b[0] = base->x, b[1] = base->y, b[2] = base->z;
    return zcedGetOrient(base ? b : nullptr, prompt.c_str(), &out);
}

std::string showNumber(double v) {
    std::string s = ads_text::fixed(v, 4);
    if (s.find('.') != std::string::npos) {
        while (!s.empty() && s.back() == '0') s.pop_back();
        if (!s.empty() && s.back() == '.') s.pop_back();
    }
    return s == "-0" ? "0" : s;
}

}  // namespace host

namespace host {
namespace {
std::function<std::string(const std::string&)>& finder() {
    static std::function<std::string(const std::string&)> f;
    return f;
}
}  // namespace

void setSupportFileFinder(std::function<std::string(const std::string&)> f) {
    finder() = std::move(f);
}

std::string findSupportFile(const std::string& name) {
    if (finder()) return finder()(name);
    if (std::optional<std::string> p = findOnSupportPath(name)) return *p;
    for (const std::string& candidate :
         {name, sysVarString("DWGPREFIX") + name, std::string(VELM_SOURCE_DIR) + "/support/host/" + name})
        if (!candidate.empty() && fileExists(candidate)) return candidate;
    return {};
}

}  // namespace host

// System variables, the yes/no question, model-space appends and module
// strings. The system-variable setters read first and hand back what they
// read, so a caller can restore the former value after its own work.
#include "core/host_services.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "host/ads/adsent.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/ads/sysvars.h"
#include "host/ads/transcript.h"
#include "host/db/dbobjptr.h"
#include "host/ed/prompts.h"
#include "host/ui/msgbox.h"
#include "host/util/nocase.h"
#include "host/win/textutil.h"
#include "resources/velmresources.h"

namespace {

constexpr std::size_t kMaxSysVarText = 259;
constexpr std::size_t kMaxPrompt = 134;

// The longest prefix of at most `limit` bytes that does not cut a UTF-8
// character in two.
std::string_view CutUtf8(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

// A variable read into a node; a text value is freed with the node.
struct VarValue {
    resbuf rb;
    int status;
    explicit VarValue(const char* name) : status(zcedGetVar(name, &rb)) {}
    ~VarValue() {
        if (status == RTNORM && rb.restype == RTSTR) zcutDelString(rb.resval.rstring);
    }
    VarValue(const VarValue&) = delete;
    VarValue& operator=(const VarValue&) = delete;
    bool is(short type) const { return status == RTNORM && rb.restype == type; }
};

}  // namespace

int SysVarShort(const char* name, const int* value) {
    VarValue old(name);
    const int former = old.is(RTSHORT) ? old.rb.resval.rint : 0;
    if (value && *value >= 0) {
        resbuf set;
        set.restype = RTSHORT;
        set.resval.rint = static_cast<short>(*value);
        zcedSetVar(name, &set);
    }
    return former;
}

int LastPickError() {
    return SysVarShort("ERRNO", nullptr);
}

bool PickHitNothing() {
    return LastPickError() == OL_ENTSELPICK;
}

double SysVarReal(const char* name, const double* value, const int* flag) {
    VarValue old(name);
    const double former = old.is(RTREAL) ? old.rb.resval.rreal : 0.0;
    if (flag && *flag && value) {
        resbuf set;
        set.restype = RTREAL;
        set.resval.rreal = *value;
        zcedSetVar(name, &set);
    }
    return former;
}

int SysVarString(const char* name, std::string_view value, std::string& former) {
    std::string read;
    {
        VarValue old(name);
        if (old.status != RTNORM) return old.status;
        if (old.is(RTSTR) && old.rb.resval.rstring) read = old.rb.resval.rstring;
    }
    if (!value.empty() && value.size() <= kMaxSysVarText) {
        std::string text(value);
        resbuf set;
        set.restype = RTSTR;
        set.resval.rstring = text.data();
        zcedSetVar(name, &set);
    }
    former = std::move(read);
    return RTNORM;
}

int SysVarPoint(const char* name, const ads_point value, ads_point former) {
    VarValue old(name);
    const bool point = old.is(RT3DPOINT) || old.is(RTPOINT);
    if (point && former)
        for (int i = 0; i < 3; ++i) former[i] = old.rb.resval.rpoint[i];
    if (!value) return old.status;
    resbuf set;
    set.restype = old.is(RTPOINT) ? RTPOINT : RT3DPOINT;
    for (int i = 0; i < 3; ++i) set.resval.rpoint[i] = value[i];
    return zcedSetVar(name, &set);
}

int AskYesNo(std::string_view prompt, int defaultAnswer) {
    std::string text = "\n";
    text += CutUtf8(prompt, kMaxPrompt);
    zcedInitGet(0, "Tak Nie");
    char answer[64] = {};
    int status = zcedGetKword(text.c_str(), answer);
    if (status == RTNONE) return defaultAnswer;
    if (status != RTNORM && status != RTKWORD) return -1;
    return zcutEqualsNoCase(answer, "Tak") ? 1 : 0;
}

void RegisterXDataApp(const char* app) {
    if (host::ResbufList(zcdbTblSearch("APPID", app, 0))) return;
    zcdbRegApp(app);
}

ZcDbDatabase* GetWorkingDatabase() {
    return zcdbHostApplicationServices()->workingDatabase();
}

Zcad::ErrorStatus AppendToModelSpace(ZcDbObjectId& id, ZcDbEntity* entity) {
    ZcDbDatabase* db = GetWorkingDatabase();
    if (!db || !entity) return Zcad::eNullObjectPointer;
    ZcDbObjectPointer<ZcDbBlockTable> table(db->blockTableId(), ZcDb::kForRead);
    if (!table) return table.openStatus();
    ZcDbBlockTableRecord* opened = nullptr;
    Zcad::ErrorStatus es = table->getAt("*Model_Space", opened, ZcDb::kForWrite);
    if (es != Zcad::eOk) return es;
    ZcDbObjectPointer<ZcDbBlockTableRecord> space(opened);
    es = space->appendZcDbEntity(id, entity);
    if (es == Zcad::eOk) {
        entity->close();
        // Reopened for read, as a later reader would: the append is only
        // reported when the new entity can be found and opened again.
        es = ZcDbObjectPointer<ZcDbEntity>(id, ZcDb::kForRead).openStatus();
    }
    return es;
}

bool LoadModuleString(std::string& out, unsigned id) {
    CZcModuleResourceOverride use(VelmResourceHandle());
    out.clear();
    return LoadString(out, id) != FALSE;
}

bool FormatModuleString(std::string& out, unsigned id, ...) {
    std::string format;
    if (!LoadModuleString(format, id)) {
        out.clear();
        return false;
    }
    va_list ap;
    va_start(ap, id);
    va_list again;
    va_copy(again, ap);
    int needed = std::vsnprintf(nullptr, 0, format.c_str(), ap);
    va_end(ap);
    if (needed < 0) {
        va_end(again);
        out.clear();
        return false;
    }
    std::vector<char> buffer(static_cast<std::size_t>(needed) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format.c_str(), again);
    va_end(again);
    out.assign(buffer.data(), static_cast<std::size_t>(needed));
    return true;
}

int ModuleMessageBox(std::string_view text, unsigned style, unsigned helpId) {
    CZcModuleResourceOverride use(VelmResourceHandle());
    return AfxMessageBox(text, style, helpId);
}

bool InsertStillAsks() {
    std::string names;
    if (SysVarString("CMDNAMES", "", names) != RTNORM) return false;
    for (std::size_t start = 0; start <= names.size();) {
        const std::size_t quote = names.find('\'', start);
        const std::string one =
            names.substr(start, quote == std::string::npos ? std::string::npos : quote - start);
        if (zcutEqualsNoCase(one, "INSERT") || zcutEqualsNoCase(one, "-INSERT")) return true;
        if (quote == std::string::npos) break;
        start = quote + 1;
    }
    return false;
}

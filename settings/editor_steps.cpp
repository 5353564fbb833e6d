// The editor calls of the floor commands, view modes and panes. See
// editor_steps.h.
#include "settings/editor_steps.h"

#include <cstdint>

#include "core/base/velm_assert.h"
#include "core/host_services.h"
#include "core/support_files.h"
#include "host/ads/adsent.h"
#include "host/ads/ssget.h"
#include "host/ads/sysvars.h"
#include "host/db/dbobjptr.h"
#include "host/ed/adspick.h"
#include "host/ed/cmdproc.h"
#include "host/ed/docman.h"
#include "host/util/findfile.h"
#include "host/win/textfile.h"

namespace {

// The members of a selection set, which is freed; none when the selection
// was cancelled, empty when it found nothing.
std::optional<std::vector<ZcDbObjectId>> Members(int status, ads_name ss) {
    if (status == RTCAN) return std::nullopt;
    std::vector<ZcDbObjectId> ids;
    if (status != RTNORM) return ids;
    long length = 0;
    zcedSSLength(ss, &length);
    for (long i = 0; i < length; ++i) {
        ads_name ent = {0, 0};
        ZcDbObjectId id;
        if (zcedSSName(ss, static_cast<std::int32_t>(i), ent) == RTNORM &&
            zcdbGetObjectId(id, ent) == Zcad::eOk)
            ids.push_back(id);
    }
    zcedSSFree(ss);
    return ids;
}

// Command echo off for the life of the object.
class QuietEcho {
public:
    QuietEcho() : echo_(SysVarShort("CMDECHO", &kOff)) {}
    ~QuietEcho() { SysVarShort("CMDECHO", &echo_); }
    QuietEcho(const QuietEcho&) = delete;
    QuietEcho& operator=(const QuietEcho&) = delete;

private:
    static constexpr int kOff = 0;
    const int echo_;
};

}  // namespace

ZcDbDatabase* WorkingDrawing() {
    return zcdbHostApplicationServices()->workingDatabase();
}

ZcGeVector3d ViewDirection() {
    ads_point dir = {0, 0, 1};
    SysVarPoint("VIEWDIR", nullptr, dir);
    return ZcGeVector3d(dir[0], dir[1], dir[2]);
}

void EditFloors(const std::function<void(VELM_PIANI&)>& edit) {
    if (ZcDbObjectPointer<VELM_PIANI> floors(OpenPianiObject(false)); floors) {
        VELM_ASSERT(floors->isWriteEnabled());
        edit(*floors);
    }
}

void ReadFloors(const std::function<void(const VELM_PIANI&)>& read) {
    if (ZcDbObjectPointer<VELM_PIANI> floors(OpenPianiObject(true)); floors) {
        read(*floors);
        return;
    }
    VELM_PIANI fresh;
    fresh.Reset();
    read(fresh);
}

void RunQuiet(const std::vector<std::string>& answers) {
    if (answers.empty()) return;
    QuietEcho quiet;
    std::vector<resbuf> nodes(answers.size());
    for (std::size_t i = 0; i < answers.size(); ++i) {
        nodes[i].restype = RTSTR;
        nodes[i].resval.rstring = const_cast<char*>(answers[i].c_str());
        nodes[i].rbnext = i + 1 < answers.size() ? &nodes[i + 1] : nullptr;
    }
    zcedCmd(&nodes[0]);
}

void RunOnSelection(const std::string& command, const std::vector<ZcDbObjectId>& ids) {
    ads_name ss = {0, 0};
    bool made = false;
    for (const ZcDbObjectId& id : ids) {
        ads_name ent = {0, 0};
        if (zcdbGetAdsName(ent, id) != Zcad::eOk) continue;
        zcedSSAdd(ent, made ? ss : nullptr, ss);
        made = true;
    }
    if (!made) zcedSSAdd(nullptr, nullptr, ss);
    {
        // The set answers the command's selection prompt and becomes the
        // previous selection.
        QuietEcho quiet;
        zcedCommand(RTSTR, command.c_str(), RTPICKS, ss, RTSTR, "", RTNONE);
    }
    zcedSSFree(ss);
}

void QueueCommand(const std::string& text) {
    if (ZcApDocument* doc = curDoc())
        zcDocManagerPtr()->sendStringToExecute(doc, text.c_str(), true, false, false);
}

std::optional<std::vector<ZcDbObjectId>> SelectObjects() {
    ads_name ss = {0, 0};
    const int status = zcedSSGet(nullptr, nullptr, nullptr, nullptr, ss);
    return Members(status, ss);
}

std::optional<std::vector<ZcDbObjectId>> SelectViewports(const std::string& add, const std::string& remove) {
    const char* prompts[2] = {add.c_str(), remove.c_str()};
    ads_name ss = {0, 0};
    const int status = zcedSSGet(":$", prompts, nullptr, nullptr, ss);
    return Members(status, ss);
}

int PickEntity(const std::string& prompt, ZcDbObjectId& id) {
    ads_name name = {0, 0};
    ads_point pt = {0, 0, 0};
    const int status = zcedEntSel(prompt.c_str(), name, pt);
    if (status == RTNORM) return zcdbGetObjectId(id, name) == Zcad::eOk ? RTNORM : RTERROR;
    if (status == RTERROR) return PickHitNothing() ? RTERROR : RTNONE;
    return status;
}

std::optional<std::vector<std::string>> ReadSupportLines(const std::string& name, bool* notText) {
    if (notText) *notText = false;
    char path[1024] = {};
    if (zcedFindFile(name.c_str(), path) != RTNORM) return std::nullopt;
    std::optional<host::TextFile> file = ReadSupportText(path, notText);
    if (!file) return std::nullopt;
    return std::move(file->lines);
}

// Every command a script types is looked up (a host command's name misses
// the whole stack first), so lookups go through a hash index by capital
// form, built from the groups on the first lookup after a change: the walk
// from the top of the stack that it stands for is done once per change.
// Equal capital forms are exactly the names that compare equal ignoring
// case, since the case mapping keeps bytes that are not valid UTF-8 as they
// are and never makes or breaks a sequence.
#include "host/ed/cmdstack.h"

#include <algorithm>

#include "host/win/textutil.h"

using host::iequals;
using host::toUpper;

ZcEdCommandStack* zcedRegCmds() {
    static ZcEdCommandStack stack;
    return &stack;
}

ZcEdStatus ZcEdCommandStack::addCommand(const char* cmdGroupName, const char* cmdGlobalName,
                                        const char* cmdLocalName, int commandFlags,
                                        ZcRxFunctionPtr functionAddr, ZcEdUIContext*, int fcode, void*,
                                        ZcEdCommand** cmdPtrRet) {
    if (!cmdGroupName || !*cmdGroupName || !cmdGlobalName || !*cmdGlobalName || !functionAddr)
        return eEdInvalidInput;
    Group* g = findGroup(cmdGroupName);
    if (!g) {
        groups_.push_back({cmdGroupName, {}});
        g = &groups_.back();
    }
    for (const auto& c : g->commands)
        if (iequals(c->global_, cmdGlobalName)) return eEdDuplicateKey;
    auto cmd = std::make_unique<ZcEdCommand>();
    cmd->group_ = cmdGroupName;
    cmd->global_ = cmdGlobalName;
    cmd->local_ = cmdLocalName && *cmdLocalName ? cmdLocalName : cmdGlobalName;
    cmd->flags_ = commandFlags;
    cmd->func_ = functionAddr;
    cmd->fcode_ = fcode;
    if (cmdPtrRet) *cmdPtrRet = cmd.get();
    g->commands.push_back(std::move(cmd));
    index_.stale = true;
    return eEdOk;
}

ZcEdStatus ZcEdCommandStack::removeCmd(const char* cmdGroupName, const char* cmdGlobalName) {
    Group* g = cmdGroupName ? findGroup(cmdGroupName) : nullptr;
    if (!g || !cmdGlobalName) return eEdKeyNotFound;
    auto it = std::find_if(g->commands.begin(), g->commands.end(),
                           [&](const auto& c) { return iequals(c->global_, cmdGlobalName); });
    if (it == g->commands.end()) return eEdKeyNotFound;
    g->commands.erase(it);
    index_.stale = true;
    return eEdOk;
}

ZcEdStatus ZcEdCommandStack::removeGroup(const char* groupName) {
    if (!groupName) return eEdKeyNotFound;
    auto it = std::find_if(groups_.begin(), groups_.end(),
                           [&](const Group& g) { return iequals(g.name, groupName); });
    if (it == groups_.end()) return eEdKeyNotFound;
    groups_.erase(it);
    index_.stale = true;
    return eEdOk;
}

ZcEdCommand* ZcEdCommandStack::lookupGlobalCmd(const char* cmdName) const {
    return cmdName ? find(index().global, cmdName) : nullptr;
}

ZcEdCommand* ZcEdCommandStack::lookupLocalCmd(const char* cmdName) const {
    return cmdName ? find(index().local, cmdName) : nullptr;
}

ZcEdCommand* ZcEdCommandStack::lookupCmd(const char* cmdName, bool globalFlag) const {
    if (globalFlag) return lookupGlobalCmd(cmdName);
    ZcEdCommand* c = lookupLocalCmd(cmdName);
    return c ? c : lookupGlobalCmd(cmdName);
}

bool ZcEdCommandStack::hasGroup(const char* groupName) const {
    return groupName && std::any_of(groups_.begin(), groups_.end(),
                                    [&](const Group& g) { return iequals(g.name, groupName); });
}

size_t ZcEdCommandStack::commandCount() const {
    size_t n = 0;
    for (const Group& g : groups_) n += g.commands.size();
    return n;
}

ZcEdCommandStack::Group* ZcEdCommandStack::findGroup(const std::string& name) {
    for (Group& g : groups_)
        if (iequals(g.name, name)) return &g;
    return nullptr;
}

const ZcEdCommandStack::Index& ZcEdCommandStack::index() const {
    if (!index_.stale) return index_;
    index_.global.clear();
    index_.local.clear();
    for (auto g = groups_.rbegin(); g != groups_.rend(); ++g)
        for (const auto& c : g->commands) {
            // The first one met keeps the name, as the walk would find it.
            index_.global.try_emplace(toUpper(c->global_), c.get());
            index_.local.try_emplace(toUpper(c->local_), c.get());
        }
    index_.stale = false;
    return index_;
}

ZcEdCommand* ZcEdCommandStack::find(const std::unordered_map<std::string, ZcEdCommand*>& names,
                                    const char* name) {
    auto it = names.find(toUpper(name));
    return it == names.end() ? nullptr : it->second;
}

// The command stack: the module's commands, registered in named groups with
// a global and a local name, flags and a handler. A group added later sits
// above earlier ones, so its names win a lookup. Names compare ignoring
// case. The stack is also the "ZCAD_REGISTERED_COMMANDS" service of the
// system registry (a module finds it there, as on the real platform);
// zcedRegCmds reaches it directly.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/ed/edstatus.h"
#include "host/rx/rxobject.h"

using ZcRxFunctionPtr = void (*)();
class ZcEdUIContext;

class ZcEdCommand {
public:
    const char* globalName() const { return global_.c_str(); }
    const char* localName() const { return local_.c_str(); }
    const char* groupName() const { return group_.c_str(); }
    int commandFlags() const { return flags_; }
    ZcRxFunctionPtr functionAddr() const { return func_; }
    int functionCode() const { return fcode_; }
    bool isTransparent() const { return (flags_ & 1) != 0; }

private:
    friend class ZcEdCommandStack;
    std::string group_, global_, local_;
    int flags_ = 0;
    ZcRxFunctionPtr func_ = nullptr;
    int fcode_ = -1;
};

class ZcEdCommandStack : public ZcRxObject {
public:
    // The stack behind a registry entry; null for anything else.
    static ZcEdCommandStack* cast(const ZcRxObject* p) {
        return const_cast<ZcEdCommandStack*>(dynamic_cast<const ZcEdCommandStack*>(p));
    }

    ZcEdStatus addCommand(const char* cmdGroupName, const char* cmdGlobalName, const char* cmdLocalName,
                          int commandFlags, ZcRxFunctionPtr functionAddr, ZcEdUIContext* UIContext = nullptr,
                          int fcode = -1, void* hResourceHandle = nullptr, ZcEdCommand** cmdPtrRet = nullptr);
    ZcEdStatus removeCmd(const char* cmdGroupName, const char* cmdGlobalName);
    ZcEdStatus removeGroup(const char* groupName);

    ZcEdCommand* lookupGlobalCmd(const char* cmdName) const;
    ZcEdCommand* lookupLocalCmd(const char* cmdName) const;
    // By global name when globalFlag, else by local name and then global.
    ZcEdCommand* lookupCmd(const char* cmdName, bool globalFlag) const;

    bool hasGroup(const char* groupName) const;
    size_t commandCount() const;

private:
    struct Group {
        std::string name;
        std::vector<std::unique_ptr<ZcEdCommand>> commands;
    };
    // Capital form of a name -> the command a walk from the top finds
    // first; built again on the first lookup after a change.
    struct Index {
        std::unordered_map<std::string, ZcEdCommand*> global, local;
        bool stale = true;
    };
    Group* findGroup(const std::string& name);
    const Index& index() const;
    static ZcEdCommand* find(const std::unordered_map<std::string, ZcEdCommand*>& names, const char* name);
    std::vector<Group> groups_;  // last = top of the stack
    mutable Index index_;
};

ZcEdCommandStack* zcedRegCmds();

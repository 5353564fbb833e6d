// Filing of text lists for the settings records (layout in the header).
#include "store/string_list_filing.h"

#include "store/settings_text.h"

namespace {

void resetList(std::vector<std::string>& list, StringListRule rule) {
    list.clear();
    if (rule.firstEntry) list.emplace_back(rule.firstEntry);
}

void appendEntry(std::vector<std::string>& list, std::string s, StringListRule rule) {
    if (rule.unique && ContainsIgnoringCase(list, s)) return;
    list.push_back(std::move(s));
}

}  // namespace

void WriteStringListDwg(const std::vector<std::string>& list, SettingsDwgWriter& w) {
    w.writeInt16(static_cast<short>(list.size()));
    for (const std::string& s : list) w.writeText(s);
}

void WriteStringListDxf(const std::vector<std::string>& list, SettingsDxfWriter& w) {
    w.writeItem({170, static_cast<short>(list.size())});
    for (const std::string& s : list) w.writeItem({300, s});
}

FilingStatus ReadStringListDwg(std::vector<std::string>& list, SettingsDwgReader& r, StringListRule rule) {
    int n = 0;
    if (!ReadDwgCount(r, n)) return FilingStatus::kReadFailed;
    resetList(list, rule);
    for (int i = 0; i < n; ++i) {
        std::string s;
        if (!r.readText(s)) return FilingStatus::kReadFailed;
        appendEntry(list, std::move(s), rule);
    }
    return FilingStatus::kOk;
}

bool ReadStringListDxf(std::vector<std::string>& list, SettingsDxfReader& r, StringListRule rule,
                       bool* complete) {
    if (complete) *complete = false;
    short n = 0;
    if (!ReadDxfShort(r, 170, n)) return false;
    resetList(list, rule);
    for (int i = 0; i < n; ++i) {
        std::string s;
        if (!ReadDxfText(r, 300, s)) return true;
        appendEntry(list, std::move(s), rule);
    }
    if (complete) *complete = true;
    return true;
}

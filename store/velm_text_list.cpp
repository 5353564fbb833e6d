// The filing of the plain text-list records.
#include "store/velm_text_list.h"

FilingStatus WriteVersionedListDwg(short version, const std::vector<std::string>& list,
                                   SettingsDwgWriter& w) {
    w.writeInt16(version);
    WriteStringListDwg(list, w);
    return FilingStatus::kOk;
}

FilingStatus ReadVersionedListDwg(std::vector<std::string>& list, SettingsDwgReader& r,
                                  const StringListRule& rule) {
    short version = 0;  // any version is read the same way
    if (!r.readInt16(version)) return FilingStatus::kReadFailed;
    return ReadStringListDwg(list, r, rule);
}

FilingStatus WriteMarkedListDxf(const char* className, const std::vector<std::string>& list,
                                SettingsDxfWriter& w) {
    w.writeItem({100, std::string(className)});
    WriteStringListDxf(list, w);
    return FilingStatus::kOk;
}

FilingStatus ReadMarkedListDxf(const char* className, std::vector<std::string>& list, SettingsDxfReader& r,
                               const StringListRule& rule, bool* whole) {
    bool complete = false;
    if (r.atSubclassData(className)) ReadStringListDxf(list, r, rule, &complete);
    // The walls of every drawing lie on the first wall layer at least: a list
    // without it would find no wall at all.
    if (!complete && rule.firstEntry && (list.empty() || list.front() != rule.firstEntry))
        list.insert(list.begin(), rule.firstEntry);
    if (whole) *whole = complete;
    return FilingStatus::kOk;
}

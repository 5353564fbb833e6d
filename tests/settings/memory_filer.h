// Memory streams behind the settings filing interfaces, for the tests: a
// typed DWG stream that fails (for good) on reading past its end or a value
// of another type, and a DXF item list with push-back.
#pragma once

#include <string>
#include <vector>

#include "store/settings_filer.h"

class MemoryDwgStream : public SettingsDwgWriter, public SettingsDwgReader {
public:
    std::vector<AA_VALORE> items;
    size_t pos = 0;
    bool failed = false;

    void writeInt16(short v) override { items.emplace_back(v); }
    void writeReal(double v) override { items.emplace_back(v); }
    void writeText(const std::string& v) override { items.emplace_back(v); }
    void writePoint3d(const ZcGePoint3d& v) override { items.emplace_back(v); }

    bool readInt16(short& v) override { return take(v); }
    bool readReal(double& v) override { return take(v); }
    bool readText(std::string& v) override { return take(v); }
    bool readPoint3d(ZcGePoint3d& v) override { return take(v); }

    bool atEnd() const { return pos == items.size(); }

private:
    template <typename T>
    bool take(T& v) {
        if (failed || pos >= items.size() || !std::holds_alternative<T>(items[pos])) {
            failed = true;
            return false;
        }
        v = std::get<T>(items[pos++]);
        return true;
    }
};

class MemoryDxfStream : public SettingsDxfWriter, public SettingsDxfReader {
public:
    std::vector<SettingsDxfItem> items;
    size_t pos = 0;

    void writeItem(const SettingsDxfItem& item) override { items.push_back(item); }

    bool atSubclassData(const std::string& name) override {
        if (pos < items.size() && items[pos].code == 100) {
            const std::string* s = std::get_if<std::string>(&items[pos].value);
            if (s && *s == name) {
                ++pos;
                return true;
            }
        }
        return false;
    }
    bool readItem(SettingsDxfItem& item) override {
        if (pos >= items.size()) return false;
        item = items[pos++];
        return true;
    }
    void pushBackItem() override { --pos; }

    bool atEnd() const { return pos == items.size(); }
};

// A setting by name as text. See setting_lookup.h.
#include "module/setting_lookup.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "host/ed/hostinit.h"
#include "settings/setvar_drawing.h"

namespace {

// The by-name access without its messages.
class QuietSettingsByName : public DrawingSettingsByName {
public:
    void print(const std::string&) override {}
};

std::optional<std::string> SettingAsText(const std::string& name) {
    QuietSettingsByName drawing;
    std::string text;
    int integer = 0;
    double real = 0.0;
    switch (GetVarByName(drawing, name, -1, text, integer, real)) {
        case kKindText:
            return text;
        case kKindInt:
            return std::to_string(integer);
        case kKindReal: {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.17g", real);
            return std::string(buf);
        }
        default:
            return std::nullopt;
    }
}

}  // namespace

extern "C" int velmSettingText(const char* name, char* text, std::size_t size) {
    if (size > 0) text[0] = '\0';
    if (!name) return -1;
    const std::optional<std::string> value = SettingAsText(name);
    if (!value) return -1;
    if (size > 0) {
        const std::size_t n = std::min(value->size(), size - 1);
        std::memcpy(text, value->data(), n);
        text[n] = '\0';
    }
    return static_cast<int>(value->size());
}

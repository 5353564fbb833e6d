// Entity-data list utilities and level-name parsing. Lists are walked once
// from the head; nothing here reads the drawing except the levels switch
// consulted by ParseDollarNumber.
#include "core/entity_data.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "core/level_settings.h"
#include "host/ads/adsowners.h"
#include "host/ads/rbutil.h"
#include "host/util/nocase.h"
#include "host/win/textutil.h"

namespace {

// A layer name longer than this cannot carry a level the module wrote.
constexpr std::size_t kMaxLevelName = 255;

resbuf* InsertBeforeXData(resbuf* list, resbuf* node);

template <class Node>
Node* FindCode(Node* list, int code) {
    for (Node* rb = list; rb; rb = rb->rbnext)
        if (rb->restype == code) return rb;
    return nullptr;
}

template <class Node>
Node* FindApp(Node* list, std::string_view app) {
    for (Node* rb = list; rb; rb = rb->rbnext)
        if (rb->restype == 1001 && rb->resval.rstring && zcutEqualsNoCase(rb->resval.rstring, app)) return rb;
    return nullptr;
}

// The node of `code`, made and inserted when missing.
resbuf* NodeFor(resbuf* list, int code) {
    if (!list) return nullptr;
    if (resbuf* rb = FindRbCode(list, code)) return rb;
    resbuf* node = zcutNewRb(code);
    if (!node) return nullptr;
    InsertBeforeXData(list, node);
    return node;
}

// After the last node of the non-negative run that starts at the head.
resbuf* InsertBeforeXData(resbuf* list, resbuf* node) {
    resbuf* at = list;
    while (at->rbnext && at->rbnext->restype >= 0) at = at->rbnext;
    node->rbnext = at->rbnext;
    at->rbnext = node;
    return node;
}

resbuf* PutInPlace(resbuf* list, int code, resbuf* node) {
    if (!node) return nullptr;
    if (!list) return node;
    resbuf* prev = list;
    resbuf* at = list->rbnext;
    while (at && at->restype != code && at->restype >= 0) {
        prev = at;
        at = at->rbnext;
    }
    if (at && at->restype >= 0) {
        node->rbnext = at->rbnext;
        prev->rbnext = node;
        at->rbnext = nullptr;
        const host::ResbufList replaced(at);
    } else {
        node->rbnext = at;
        prev->rbnext = node;
    }
    return list;
}

bool IsDigitOrPoint(char c) {
    return (c >= '0' && c <= '9') || c == '.';
}

}  // namespace

resbuf* FindRbCode(resbuf* list, int code) {
    return FindCode(list, code);
}
const resbuf* FindRbCode(const resbuf* list, int code) {
    return FindCode(list, code);
}
resbuf* FindXDataApp(resbuf* list, std::string_view app) {
    return FindApp(list, app);
}
const resbuf* FindXDataApp(const resbuf* list, std::string_view app) {
    return FindApp(list, app);
}

std::size_t XDataBytes(const resbuf* list) {
    std::size_t n = 0;
    for (const resbuf* rb = list; rb; rb = rb->rbnext) {
        const int code = rb->restype;
        const auto text = [rb] { return 2 + (rb->resval.rstring ? std::strlen(rb->resval.rstring) : 0) + 2; };
        if (code == 1001 || code == 1000 || code == 1002 || code == 1003)
            n += text();
        else if (code == 1004)
            n += 2 + static_cast<std::size_t>(std::max<short>(rb->resval.rbinary.clen, 0)) + 2;
        else if (code >= 1010 && code <= 1013)
            n += 2 + 24;
        else if (code == 1070)
            n += 2 + 2;
        else if (code == 1071)
            n += 2 + 4;
        else if (code == 1005 || (code >= 1040 && code <= 1042))
            n += 2 + 8;
    }
    return n;
}

resbuf* SetRbShort(resbuf* list, int code, short value) {
    resbuf* rb = NodeFor(list, code);
    if (rb) rb->resval.rint = value;
    return rb;
}

resbuf* SetRbReal(resbuf* list, int code, double value) {
    resbuf* rb = NodeFor(list, code);
    if (rb) rb->resval.rreal = value;
    return rb;
}

resbuf* SetRbPoint(resbuf* list, int code, const ads_point value) {
    resbuf* rb = NodeFor(list, code);
    if (rb)
        for (int i = 0; i < 3; ++i) rb->resval.rpoint[i] = value[i];
    return rb;
}

// The list builder reads its value by the group code's kind, so a value of
// another kind is refused here rather than misread there.
resbuf* ReplaceRb(resbuf* list, int code, double value) {
    if (host::rbValueKind(code) != host::RbValueKind::Real) return nullptr;
    return PutInPlace(list, code, zcutBuildList(code, value, 0));
}
resbuf* ReplaceRb(resbuf* list, int code, int value) {
    host::RbValueKind kind = host::rbValueKind(code);
    if (kind != host::RbValueKind::Short && kind != host::RbValueKind::Long) return nullptr;
    return PutInPlace(list, code, zcutBuildList(code, value, 0));
}
resbuf* ReplaceRb(resbuf* list, int code, const char* value) {
    if (host::rbValueKind(code) != host::RbValueKind::String) return nullptr;
    return PutInPlace(list, code, zcutBuildList(code, value ? value : "", 0));
}
resbuf* ReplaceRb(resbuf* list, int code, const ads_point value) {
    if (host::rbValueKind(code) != host::RbValueKind::Point) return nullptr;
    return PutInPlace(list, code, zcutBuildList(code, static_cast<const ads_real*>(value), 0));
}

int ParseDollarNumber(std::string_view name, double& value, std::string* text) {
    if (text) text->clear();
    value = 0.0;
    if (LevelsSwitchedOff()) return 1;
    return ParseLevelSuffix(name, value, text);
}

int ParseLevelSuffix(std::string_view name, double& value, std::string* text) {
    if (text) text->clear();
    value = 0.0;
    if (name.empty() || name.size() > kMaxLevelName) return 0;
    // Back over the number's characters, then over one sign, to the "$".
    std::size_t i = name.size() - 1;
    while (i > 0 && IsDigitOrPoint(name[i])) --i;
    if (i > 0 && name[i] == '-') --i;
    if (i == 0 || name[i] != '$') return 0;
    std::string_view number = name.substr(i + 1);
    std::optional<double> parsed = host::parseDoublePrefix(number);
    if (!parsed) return 0;
    value = *parsed;
    if (text) *text = std::string(number);
    return 1;
}

std::string FormatRealTrim(double value) {
    std::string s = host::formatFixed(value, 6);
    if (s.find('.') == std::string::npos) return s;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

int StripAppPrefix(std::string_view app, std::string& out) {
    if (app.size() >= 4 && zcutEqualsNoCase(app.substr(0, 4), "VELM")) {
        std::string_view rest = app.substr(4);
        out = std::string(rest.substr(0, rest.find('$')));
        return 1;
    }
    out = std::string(app);
    return 0;
}

int SplitAtBar(std::string_view text, std::string& out) {
    std::size_t bar = text.find('|');
    if (bar == std::string_view::npos || bar + 1 == text.size()) {
        out = std::string(text);
        return 0;
    }
    out = std::string(text.substr(bar + 1));
    return 1;
}

void CopyStringArray(const std::vector<std::string>& source, std::vector<std::string>& target) {
    if (&source == &target) return;
    target.assign(source.begin(), source.end());
}

int FindInStringArray(const std::vector<std::string>& array, std::string_view text) {
    for (std::size_t i = 0; i < array.size(); ++i)
        if (zcutEqualsNoCase(array[i], text)) return static_cast<int>(i);
    return -1;
}

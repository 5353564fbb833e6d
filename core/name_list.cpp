// Name lists and string copies: see name_list.h.
//
// Case folding decodes UTF-8 one code point at a time and folds capitals of
// ASCII, Latin-1 and Latin Extended-A to their small letters, which covers
// every Polish (ą ć ę ł ń ó ś ź ż) and Italian (à è é ì ò ù …) letter. Bytes
// that are not valid UTF-8 compare as themselves, distinct from any letter.
#include "core/name_list.h"

#include <cstring>

namespace {

char32_t DecodeNext(std::string_view text, std::size_t& pos);
char32_t FoldCase(char32_t c);
NameNode* MakeNode(std::string_view name, std::int32_t value);

}  // namespace

NameNode* FindName(std::string_view name, NameNode* list) {
    for (NameNode* node = list; node != nullptr; node = node->next) {
        if (EqualsNoCase(node->name, name)) {
            return node;
        }
    }
    return nullptr;
}

const NameNode* FindName(std::string_view name, const NameNode* list) {
    return FindName(name, const_cast<NameNode*>(list));
}

std::int32_t GetNameValue(std::string_view name, const NameNode* list) {
    const NameNode* node = FindName(name, list);
    return node != nullptr ? node->value : -1;
}

NameNode* AddNameUnique(std::string_view name, NameNode* list, std::int32_t value) {
    if (name.empty() || FindName(name, list) != nullptr) {
        return list;
    }
    NameNode* node = MakeNode(name, value);
    // std::string compares as unsigned bytes, and UTF-8 byte order is code
    // point order, so this is the character-code order the list promises.
    if (list == nullptr || list->name > node->name) {
        node->next = list;
        return node;
    }
    NameNode* before = list;
    while (before->next != nullptr && before->next->name < node->name) {
        before = before->next;
    }
    node->next = before->next;
    before->next = node;
    return list;
}

NameNode* AppendName(std::string_view name, NameNode* list, std::int32_t value) {
    if (name.empty()) {
        return list;
    }
    NameNode* node = MakeNode(name, value);
    if (list == nullptr) {
        return node;
    }
    NameNode* last = list;
    while (last->next != nullptr) {
        last = last->next;
    }
    last->next = node;
    return list;
}

NameNode* FreeNameList(NameNode* list) {
    // Iterative, so a long list cannot exhaust the stack.
    while (list != nullptr) {
        NameNode* next = list->next;
        delete list;
        list = next;
    }
    return nullptr;
}

char* DuplicateString(const char* text) {
    const std::size_t length = text != nullptr ? std::strlen(text) : 0;
    char* copy = new char[length + 1];
    if (length > 0) {
        std::memcpy(copy, text, length);
    }
    copy[length] = '\0';
    return copy;
}

char* ReplaceString(char* old, const char* text) {
    // Copy before freeing: the new text may be the old one or a part of it.
    char* copy = DuplicateString(text);
    delete[] old;
    return copy;
}

bool CopyStringToBuffer(char* buffer, std::size_t size, std::string_view text) {
    if (buffer == nullptr || size == 0) {
        return false;
    }
    std::size_t count = text.size();
    const bool fits = count < size;
    if (!fits) {
        count = size - 1;
        // Step back over continuation bytes so the cut falls between letters.
        while (count > 0 && (static_cast<unsigned char>(text[count]) & 0xC0) == 0x80) {
            --count;
        }
    }
    if (count > 0) {
        std::memmove(buffer, text.data(), count);
    }
    buffer[count] = '\0';
    return fits;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (FoldCase(DecodeNext(a, i)) != FoldCase(DecodeNext(b, j))) {
            return false;
        }
    }
    return i == a.size() && j == b.size();
}

namespace {

// Code points above the Unicode range stand for undecodable bytes.
constexpr char32_t kRawByteBase = 0x110000;

char32_t DecodeNext(std::string_view text, std::size_t& pos) {
    const auto byteAt = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byteAt(pos);
    int extra = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        cp = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        cp = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        cp = lead & 0x07;
        minimum = 0x10000;
    } else {
        ++pos;
        return kRawByteBase + lead;
    }
    if (pos + static_cast<std::size_t>(extra) >= text.size()) {  // cut short
        ++pos;
        return kRawByteBase + lead;
    }
    for (int k = 1; k <= extra; ++k) {
        const unsigned char next = byteAt(pos + k);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return kRawByteBase + lead;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return kRawByteBase + lead;
    }
    pos += static_cast<std::size_t>(extra) + 1;
    return cp;
}

char32_t FoldCase(char32_t c) {
    if (c >= U'A' && c <= U'Z') {
        return c + 0x20;
    }
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) {  // Latin-1 capitals, not ×
        return c + 0x20;
    }
    if (c < 0x100 || c > 0x17F) {
        return c;
    }
    // Latin Extended-A pairs capital and small letter; which of the two is
    // even changes at the two runs that start at odd code points.
    if ((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) {
        return (c % 2 == 0) ? c + 1 : c;
    }
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) {
        return (c % 2 == 1) ? c + 1 : c;
    }
    if (c == 0x178) {  // Ÿ
        return 0xFF;
    }
    return c;
}

NameNode* MakeNode(std::string_view name, std::int32_t value) {
    NameNode* node = new NameNode;
    node->name.assign(name.data(), name.size());
    node->value = value;
    return node;
}

}  // namespace

// Name lists and string copies: see name_list.h.
//
// Names compare through the host's one case-insensitive comparison, which
// covers every Polish (ą ć ę ł ń ó ś ź ż) and Italian (à è é ì ò ù …) letter;
// bytes that are not valid UTF-8 compare as themselves.
#include "core/name_list.h"

#include <cstring>

#include "core/base/velm_assert.h"
#include "host/util/nocase.h"
#include "host/win/textutil.h"

namespace {

NameNode* MakeNode(std::string_view name, std::int32_t value);

}  // namespace

NameNode* FindName(std::string_view name, NameNode* list) {
    for (NameNode* node = list; node != nullptr; node = node->next) {
        if (zcutEqualsNoCase(node->name, name)) {
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
    VELM_ASSERT(before->name < node->name);
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

namespace {

NameNode* MakeNode(std::string_view name, std::int32_t value) {
    NameNode* node = new NameNode;
    node->name.assign(name.data(), name.size());
    node->value = value;
    return node;
}

}  // namespace

// Owners of what the classic interface hands out to be freed: a result-buffer
// list (released whole with zcutRelRb) and a selection set (freed with
// zcedSSFree). Each frees what it holds when it goes, so no early return of
// a caller leaks a list or keeps a set taken; release() hands the list or
// the set on to a caller who then frees it.
//
// A set's name {0, 0} is no set: zcedSSGet clears the name before it
// selects, so a failed selection into put() leaves the owner empty.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>

#include "host/ads/rbutil.h"
#include "host/ads/ssget.h"
#include "host/util/adscodes.h"
#include "host/util/resbuf.h"

namespace host {

struct ResbufFree {
    void operator()(resbuf* list) const { zcutRelRb(list); }
};
// A whole list, every node from the head on.
using ResbufList = std::unique_ptr<resbuf, ResbufFree>;

class SelectionSet {
public:
    SelectionSet() = default;
    // Takes over a set the caller made.
    explicit SelectionSet(const ads_name name) : m_name{name[0], name[1]} {}
    ~SelectionSet() { reset(); }

    SelectionSet(const SelectionSet&) = delete;
    SelectionSet& operator=(const SelectionSet&) = delete;
    SelectionSet(SelectionSet&& other) noexcept : m_name{other.m_name[0], other.m_name[1]} { other.forget(); }
    SelectionSet& operator=(SelectionSet&& other) noexcept {
        if (this != &other) {
            reset();
            m_name[0] = other.m_name[0];
            m_name[1] = other.m_name[1];
            other.forget();
        }
        return *this;
    }

    // The name for a call that makes a set into it (zcedSSGet, zcedSSAdd
    // without a set): the set held so far is freed first.
    std::int64_t* put() {
        reset();
        return m_name;
    }
    const std::int64_t* get() const { return m_name; }
    explicit operator bool() const { return m_name[0] != 0 || m_name[1] != 0; }

    // Members counted; 0 without a set.
    std::int32_t size() const {
        std::int32_t n = 0;
        if (*this) zcedSSLength(m_name, &n);
        return n;
    }
    // The name of member i; false past the end or without a set.
    bool name(std::int32_t i, ads_name out) const { return *this && zcedSSName(m_name, i, out) == RTNORM; }
    // Adds an entity, making the set when there is none yet.
    bool add(const ads_name entity) { return zcedSSAdd(entity, m_name, m_name) == RTNORM; }

    void reset() {
        if (*this) zcedSSFree(m_name);
        forget();
    }
    // Stops owning the set; out gets its name ({0, 0} without one).
    void release(ads_name out) {
        out[0] = m_name[0];
        out[1] = m_name[1];
        forget();
    }

private:
    void forget() { m_name[0] = m_name[1] = 0; }

    ads_name m_name = {0, 0};
};

}  // namespace host

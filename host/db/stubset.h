// A set of object stubs in one flat table (open addressing, linear probing),
// for selection sets as large as the drawing: no allocation per member, and
// a copy is one block copy. Removed members leave a marker that later
// inserts reuse; the table is rebuilt when markers and members fill it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct ZcDbStub;

namespace host {

class StubSet {
public:
    // True when p was not in the set yet.
    bool insert(ZcDbStub* p) {
        if (!p) {
            if (hasNull_) return false;
            hasNull_ = true;
            ++size_;
            return true;
        }
        if ((filled_ + 1) * 4 >= slots_.size() * 3) rehash(size_ * 2 + 16);
        size_t i = home(p), reuse = kNone;
        for (;; i = (i + 1) & mask()) {
            ZcDbStub* s = slots_[i];
            if (s == p) return false;
            if (s == removed() && reuse == kNone) reuse = i;
            if (!s) break;
        }
        if (reuse != kNone) {
            i = reuse;
        } else {
            ++filled_;
        }
        slots_[i] = p;
        ++size_;
        return true;
    }

    bool erase(ZcDbStub* p) {
        if (!p) {
            if (!hasNull_) return false;
            hasNull_ = false;
            --size_;
            return true;
        }
        const size_t i = find(p);
        if (i == kNone) return false;
        slots_[i] = removed();
        --size_;
        return true;
    }

    bool contains(ZcDbStub* p) const { return p ? find(p) != kNone : hasNull_; }
    size_t size() const { return size_; }
    void clear() {
        slots_.clear();
        size_ = filled_ = 0;
        hasNull_ = false;
    }

private:
    static constexpr size_t kNone = ~size_t{0};
    static ZcDbStub* removed() {
        static char marker;
        return reinterpret_cast<ZcDbStub*>(&marker);
    }
    size_t mask() const { return slots_.size() - 1; }
    size_t home(ZcDbStub* p) const {
        const auto h =
            static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(p)) * 0x9E3779B97F4A7C15ull;
        return static_cast<size_t>(h >> 20) & mask();
    }
    size_t find(ZcDbStub* p) const {
        if (slots_.empty()) return kNone;
        for (size_t i = home(p);; i = (i + 1) & mask()) {
            if (slots_[i] == p) return i;
            if (!slots_[i]) return kNone;
        }
    }
    void rehash(size_t members) {
        size_t capacity = 16;
        while (capacity * 3 < members * 4 + 4) capacity *= 2;
        std::vector<ZcDbStub*> old;
        old.swap(slots_);
        slots_.assign(capacity, nullptr);
        filled_ = 0;
        for (ZcDbStub* s : old) {
            if (!s || s == removed()) continue;
            size_t i = home(s);
            while (slots_[i]) i = (i + 1) & mask();
            slots_[i] = s;
            ++filled_;
        }
    }

    std::vector<ZcDbStub*> slots_;
    size_t size_ = 0, filled_ = 0;  // members; members and markers
    bool hasNull_ = false;
};

}  // namespace host

// The database's stubs and its handle map.
//
// Stubs sit in chunks that never move (an id is a stub's address), each
// twice the size of the one before up to a bound: a small drawing takes a
// few hundred bytes, a large one one block per thousands of objects.
//
// Handle → stub, for a database of any size: handles are nearly always a
// compact run from 1 (a new drawing, a file read back), so those below a
// bound that grows with the count sit in a plain array indexed by the
// handle; the rest (a file with scattered handles) go to a flat table with
// open addressing. Entries are only ever added: a stub lives as long as
// its database. No allocation per entry, one block each to free.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

struct ZcDbStub;

namespace host {

template <class Stub>
class StubStore {
public:
    StubStore() = default;
    StubStore(const StubStore&) = delete;
    StubStore& operator=(const StubStore&) = delete;

    // A new default stub at the end, its address stable for the store's life.
    Stub* emplace_back() {
        if (chunks_.empty() || chunks_.back().used == chunks_.back().capacity) {
            const std::size_t capacity =
                chunks_.empty() ? 32 : std::min<std::size_t>(chunks_.back().capacity * 2, 4096);
            chunks_.push_back({std::make_unique<Stub[]>(capacity), 0, capacity});
        }
        Chunk& c = chunks_.back();
        ++size_;
        return &c.stubs[c.used++];
    }
    std::size_t size() const { return size_; }

    // Every stub in creation order.
    template <class F>
    void forEach(F&& f) const {
        for (const Chunk& c : chunks_)
            for (std::size_t i = 0; i < c.used; ++i) f(c.stubs[i]);
    }

private:
    struct Chunk {
        std::unique_ptr<Stub[]> stubs;
        std::size_t used, capacity;
    };
    std::vector<Chunk> chunks_;
    std::size_t size_ = 0;
};

class HandleMap {
public:
    ZcDbStub* find(std::uint64_t h) const {
        if (h < dense_.size()) return dense_[h];
        if (sparse_.empty()) return nullptr;
        for (std::size_t i = home(h);; i = (i + 1) & mask()) {
            if (sparse_[i].first == h) return sparse_[i].second;
            if (sparse_[i].first == 0) return nullptr;
        }
    }

    // `h` (never 0) must not be in the map yet.
    void insert(std::uint64_t h, ZcDbStub* s) {
        ++size_;
        if (h >= dense_.size() && h < denseBound()) growDense(h);
        if (h < dense_.size()) {
            dense_[h] = s;
            return;
        }
        if ((sparseCount_ + 1) * 4 >= sparse_.size() * 3) rehash(sparse_.size() * 2);
        place(h, s);
        ++sparseCount_;
    }

    // Room for `n` more entries; handles up to `top` are expected.
    void reserve(std::size_t n, std::uint64_t top) {
        const std::uint64_t want = top + 1;
        if (want > dense_.size() && want <= boundFor(size_ + n)) growDense(want - 1);
    }

    std::size_t size() const { return size_; }

private:
    using Slot = std::pair<std::uint64_t, ZcDbStub*>;

    // The array holds handles below four times the count: a fourth of its
    // slots used at worst, beyond which scattered handles hash instead.
    static std::uint64_t boundFor(std::size_t count) { return 4 * static_cast<std::uint64_t>(count) + 1024; }
    std::uint64_t denseBound() const { return boundFor(size_); }

    void growDense(std::uint64_t h) {
        std::size_t n = dense_.empty() ? 256 : dense_.size();
        while (n <= h) n *= 2;
        dense_.resize(n, nullptr);
        // Entries the array now covers leave the table.
        if (sparseCount_ == 0) return;
        std::vector<Slot> old;
        old.swap(sparse_);
        sparse_.assign(old.size(), Slot{0, nullptr});
        sparseCount_ = 0;
        for (const Slot& e : old) {
            if (e.first == 0) continue;
            if (e.first < dense_.size()) {
                dense_[e.first] = e.second;
            } else {
                place(e.first, e.second);
                ++sparseCount_;
            }
        }
    }

    std::size_t mask() const { return sparse_.size() - 1; }
    std::size_t home(std::uint64_t h) const {
        return static_cast<std::size_t>((h * 0x9E3779B97F4A7C15ull) >> 20) & mask();
    }
    void place(std::uint64_t h, ZcDbStub* s) {
        std::size_t i = home(h);
        while (sparse_[i].first != 0) i = (i + 1) & mask();
        sparse_[i] = {h, s};
    }
    void rehash(std::size_t capacity) {
        if (capacity < 64) capacity = 64;
        std::vector<Slot> old;
        old.swap(sparse_);
        sparse_.assign(capacity, Slot{0, nullptr});
        for (const Slot& e : old)
            if (e.first != 0) place(e.first, e.second);
    }

    std::vector<ZcDbStub*> dense_;
    std::vector<Slot> sparse_;
    std::size_t size_ = 0, sparseCount_ = 0;
};

}  // namespace host

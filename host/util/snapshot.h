// A copy of a short list of pointers (reactors, mostly) to walk while the
// list itself may change under the walk. Such lists hold a handful of
// entries and are copied on every notification, so up to eight stay on the
// stack; longer ones go to the heap.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace host {

template <class T>
class Snapshot {
public:
    explicit Snapshot(const std::vector<T*>& list) : size_(list.size()) {
        if (size_ > kInline)
            heap_.assign(list.begin(), list.end());
        else
            std::copy(list.begin(), list.end(), inline_);
    }
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;

    T* const* begin() const { return size_ > kInline ? heap_.data() : inline_; }
    T* const* end() const { return begin() + size_; }

private:
    static constexpr std::size_t kInline = 8;
    std::size_t size_;
    T* inline_[kInline];
    std::vector<T*> heap_;
};

}  // namespace host

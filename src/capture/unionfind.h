#pragma once
// Groups of things joined pairwise (pieces of one colour, letters of one
// word): each group is known by its root, the smallest index in it.
#include <algorithm>
#include <cstddef>
#include <vector>

namespace calvero::capture {

class UnionFind {
public:
    explicit UnionFind(std::size_t count = 0) : parent_(count)
    {
        for (std::size_t i = 0; i < count; ++i) parent_[i] = static_cast<int>(i);
    }
    int add()
    {
        parent_.push_back(static_cast<int>(parent_.size()));
        return parent_.back();
    }
    int root(int i)
    {
        while (parent_[i] != i) {
            parent_[i] = parent_[parent_[i]];
            i = parent_[i];
        }
        return i;
    }
    void join(int a, int b)
    {
        a = root(a);
        b = root(b);
        if (a != b) parent_[std::max(a, b)] = std::min(a, b);
    }

private:
    std::vector<int> parent_;
};

} // namespace calvero::capture

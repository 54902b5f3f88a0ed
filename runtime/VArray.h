#pragma once
// Dynamic arrays of the language: explicit lower bounds, ReDim, ReDim Preserve,
// Erase, LBound/UBound, and access checked against the bounds (RuntimeError(9)
// outside them).
//
// VArray<T> holds one or two dimensions; ReDim sets the rank, as it does for
// the language's dynamic arrays, so one parameter type can receive either a
// list or a grid.
//   rank 1: a(lo To hi), ReDim(lo, hi), a(i).
//   rank 2: a(lo1 To hi1, lo2 To hi2), ReDim(lo1, hi1, lo2, hi2), a(i, j),
//   stored with the LAST index varying fastest (row-major, as C and netCDF lay
//   out a variable): element (i, j) sits at (i - lo1) * n2 + (j - lo2). The
//   program indexes two-dimensional arrays in the order of the netCDF
//   dimensions (first index along the next-to-last dimension, second along the
//   last), so data() can take a netCDF read of such a variable directly.
// Access with the wrong number of indices, or LBound/UBound of a dimension
// beyond the rank, raises 9. VArray2<T> is the same type, kept as the name for
// arrays declared two-dimensional.
//
// A new or erased array is not allocated: Rank() is 0, LBound/UBound and every
// access raise 9, data() is nullptr and size() 0. ReDim with an upper bound
// below the lower one raises 9 and leaves the array as it was; a size that
// cannot be had raises 7.
#include "runtime/RuntimeError.h"
#include "runtime/Types.h"

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

namespace varray_detail {
// Contiguous value-initialised elements; unlike std::vector it holds real bools
// as well.
template <class T> class Storage {
public:
    Storage() = default;
    explicit Storage(std::size_t n) : p_(n ? new T[n]() : nullptr), n_(n) {}
    // Elements left as new T[n] leaves them (no zeroing of plain numbers), for a caller that
    // writes every one of them before it reads any.
    struct ForOverwrite {};
    Storage(std::size_t n, ForOverwrite) : p_(n ? new T[n] : nullptr), n_(n) {}
    Storage(const Storage& o) : Storage(o.n_) {
        for (std::size_t i = 0; i < n_; ++i)
            p_[i] = o.p_[i];
    }
    Storage(Storage&& o) noexcept : p_(o.p_), n_(o.n_) {
        o.p_ = nullptr;
        o.n_ = 0;
    }
    Storage& operator=(Storage o) noexcept {
        swap(o);
        return *this;
    }
    ~Storage() { delete[] p_; }
    void swap(Storage& o) noexcept {
        std::swap(p_, o.p_);
        std::swap(n_, o.n_);
    }
    T& operator[](std::size_t i) { return p_[i]; }
    const T& operator[](std::size_t i) const { return p_[i]; }
    T* data() { return p_; }
    const T* data() const { return p_; }
    std::size_t size() const { return n_; }
    T* begin() { return p_; }
    T* end() { return p_ + n_; }
    const T* begin() const { return p_; }
    const T* end() const { return p_ + n_; }

private:
    T* p_ = nullptr;
    std::size_t n_ = 0;
};

inline std::size_t extent(Long lo, Long hi) {
    if (hi < lo) throw RuntimeError(err::Subscript);
    return static_cast<std::size_t>(int64_t{hi} - int64_t{lo} + 1);
}
inline std::size_t product(std::size_t n1, std::size_t n2) {
    if (n2 != 0 && n1 > SIZE_MAX / n2) throw RuntimeError(7);
    return n1 * n2;
}
// Allocates n value-initialised elements, turning a failed allocation into
// error 7.
template <class T> void fresh(Storage<T>& v, std::size_t n) {
    try {
        Storage<T>(n).swap(v);
    } catch (const std::bad_alloc&) {
        throw RuntimeError(7);
    }
}
template <class T> void freshForOverwrite(Storage<T>& v, std::size_t n) {
    try {
        Storage<T>(n, typename Storage<T>::ForOverwrite{}).swap(v);
    } catch (const std::bad_alloc&) {
        throw RuntimeError(7);
    }
}
} // namespace varray_detail

template <class T> class VArray {
public:
    VArray() = default;
    VArray(Long lo, Long hi) { ReDim(lo, hi); }
    VArray(Long lo1, Long hi1, Long lo2, Long hi2) { ReDim(lo1, hi1, lo2, hi2); }

    // Fresh elements, each value-initialised (0, "", ...); the rank becomes 1.
    void ReDim(Long lo, Long hi) {
        std::size_t n = varray_detail::extent(lo, hi);
        varray_detail::fresh(v_, n);
        setBounds(1, lo, hi, 0, 0);
    }
    // As ReDim, but the elements of plain types are not zeroed: for a read that writes every
    // element before anything reads one (a large read would otherwise touch its memory twice).
    void ReDimForOverwrite(Long lo, Long hi) {
        std::size_t n = varray_detail::extent(lo, hi);
        varray_detail::freshForOverwrite(v_, n);
        setBounds(1, lo, hi, 0, 0);
    }
    // Fresh elements; the rank becomes 2.
    void ReDim(Long lo1, Long hi1, Long lo2, Long hi2) {
        std::size_t n1 = varray_detail::extent(lo1, hi1);
        std::size_t n2 = varray_detail::extent(lo2, hi2);
        varray_detail::fresh(v_, varray_detail::product(n1, n2));
        setBounds(2, lo1, hi1, lo2, hi2);
    }

    // Rank 1: new bounds keeping the elements whose index lies in both the old
    // and the new range; the others are value-initialised. On an array that is
    // not allocated: ReDim. The rank cannot change this way (9).
    void ReDimPreserve(Long lo, Long hi) {
        if (!IsAllocated()) {
            ReDim(lo, hi);
            return;
        }
        if (rank_ != 1) throw RuntimeError(err::Subscript);
        varray_detail::Storage<T> nv;
        varray_detail::fresh(nv, varray_detail::extent(lo, hi));
        Long from = lo > lo_[0] ? lo : lo_[0];
        Long to = hi < hi_[0] ? hi : hi_[0];
        for (int64_t i = from; i <= to; ++i)
            nv[static_cast<std::size_t>(i - lo)] =
                std::move(v_[static_cast<std::size_t>(i - lo_[0])]);
        v_.swap(nv);
        lo_[0] = lo;
        hi_[0] = hi;
    }
    // Rank 2, as the language allows: only the upper bound of the last dimension
    // may change (else 9); the elements of the columns kept stay, new ones are
    // value-initialised. On an array that is not allocated: ReDim. The rank
    // cannot change this way (9).
    void ReDimPreserve(Long lo1, Long hi1, Long lo2, Long hi2) {
        if (!IsAllocated()) {
            ReDim(lo1, hi1, lo2, hi2);
            return;
        }
        if (rank_ != 2 || lo1 != lo_[0] || hi1 != hi_[0] || lo2 != lo_[1])
            throw RuntimeError(err::Subscript);
        std::size_t n1 = varray_detail::extent(lo1, hi1);
        std::size_t newN2 = varray_detail::extent(lo2, hi2);
        std::size_t oldN2 = n2();
        varray_detail::Storage<T> nv;
        varray_detail::fresh(nv, varray_detail::product(n1, newN2));
        std::size_t keep = newN2 < oldN2 ? newN2 : oldN2;
        for (std::size_t i = 0; i < n1; ++i)
            for (std::size_t j = 0; j < keep; ++j)
                nv[i * newN2 + j] = std::move(v_[i * oldN2 + j]);
        v_.swap(nv);
        hi_[1] = hi2;
    }
    void Erase() {
        varray_detail::Storage<T>().swap(v_);
        setBounds(0, 0, 0, 0, 0);
    }

    // Bounds are never reversed, so an allocated array has at least one element.
    bool IsAllocated() const { return v_.size() != 0; }
    // 1 or 2 once ReDim has run; 0 when not allocated.
    int Rank() const { return IsAllocated() ? rank_ : 0; }
    // dim from 1 to the rank; any other dimension raises 9.
    Long LBound(int dim = 1) const {
        check(dim);
        return lo_[dim - 1];
    }
    Long UBound(int dim = 1) const {
        check(dim);
        return hi_[dim - 1];
    }
    std::size_t size() const { return v_.size(); }
    T* data() { return IsAllocated() ? v_.data() : nullptr; }
    const T* data() const { return IsAllocated() ? v_.data() : nullptr; }

    T& operator()(Long i) { return v_[index(i)]; }
    const T& operator()(Long i) const { return v_[index(i)]; }
    T& operator()(Long i, Long j) { return v_[index(i, j)]; }
    const T& operator()(Long i, Long j) const { return v_[index(i, j)]; }

    // Element order (memory order), for range-for over every element.
    auto begin() { return v_.begin(); }
    auto end() { return v_.end(); }
    auto begin() const { return v_.begin(); }
    auto end() const { return v_.end(); }

private:
    varray_detail::Storage<T> v_;
    int rank_ = 0;
    Long lo_[2] = {0, 0};
    Long hi_[2] = {0, 0};

    void setBounds(int rank, Long lo1, Long hi1, Long lo2, Long hi2) {
        rank_ = rank;
        lo_[0] = lo1;
        hi_[0] = hi1;
        lo_[1] = lo2;
        hi_[1] = hi2;
    }
    std::size_t n2() const { return static_cast<std::size_t>(int64_t{hi_[1]} - lo_[1] + 1); }
    void check(int dim) const {
        if (!IsAllocated() || dim < 1 || dim > rank_) throw RuntimeError(err::Subscript);
    }
    std::size_t index(Long i) const {
        if (!IsAllocated() || rank_ != 1 || i < lo_[0] || i > hi_[0])
            throw RuntimeError(err::Subscript);
        return static_cast<std::size_t>(int64_t{i} - lo_[0]);
    }
    std::size_t index(Long i, Long j) const {
        if (!IsAllocated() || rank_ != 2 || i < lo_[0] || i > hi_[0] || j < lo_[1] || j > hi_[1])
            throw RuntimeError(err::Subscript);
        return static_cast<std::size_t>(int64_t{i} - lo_[0]) * n2() +
               static_cast<std::size_t>(int64_t{j} - lo_[1]);
    }
};

// Arrays declared two-dimensional: the same type, so any array parameter takes
// them.
template <class T> using VArray2 = VArray<T>;

// Free forms, as the program writes them: LBound(a), UBound(a, 2).
template <class T> Long LBound(const VArray<T>& a, int dim = 1) {
    return a.LBound(dim);
}
template <class T> Long UBound(const VArray<T>& a, int dim = 1) {
    return a.UBound(dim);
}

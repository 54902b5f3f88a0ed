#pragma once
// Dynamic arrays of the language: explicit lower bounds, ReDim, ReDim Preserve, Erase,
// LBound/UBound, and access checked against the bounds (RuntimeError(9) outside them).
//
// VArray<T>: one dimension, a(lo To hi).
// VArray2<T>: two dimensions, a(lo1 To hi1, lo2 To hi2), stored with the LAST index varying
// fastest (row-major, as C and netCDF lay out a variable): element (i, j) sits at
// (i - lo1) * n2 + (j - lo2). The program indexes two-dimensional arrays in the order of the
// netCDF dimensions (first index along the next-to-last dimension, second along the last), so
// data() can take a netCDF read of such a variable directly.
//
// A new or erased array is not allocated: LBound/UBound and every access raise 9, data() is
// nullptr and size() 0. ReDim with an upper bound below the lower one raises 9; a size that
// cannot be had raises 7.
#include "runtime/RuntimeError.h"
#include "runtime/Types.h"

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

namespace varray_detail {
// Contiguous value-initialised elements; unlike std::vector it holds real bools as well.
template <class T> class Storage {
public:
    Storage() = default;
    explicit Storage(std::size_t n) : p_(n ? new T[n]() : nullptr), n_(n) {}
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
// Allocates n value-initialised elements, turning a failed allocation into error 7.
template <class T> void fresh(Storage<T>& v, std::size_t n) {
    try {
        Storage<T>(n).swap(v);
    } catch (const std::bad_alloc&) {
        throw RuntimeError(7);
    }
}
} // namespace varray_detail

template <class T> class VArray {
public:
    VArray() = default;
    VArray(Long lo, Long hi) { ReDim(lo, hi); }

    // Fresh elements, each value-initialised (0, "", ...).
    void ReDim(Long lo, Long hi) {
        std::size_t n = varray_detail::extent(lo, hi);
        varray_detail::fresh(v_, n);
        lo_ = lo;
        hi_ = hi;
    }
    // New bounds keeping the elements whose index lies in both the old and the new range;
    // the others are value-initialised. On an array that is not allocated: ReDim.
    void ReDimPreserve(Long lo, Long hi) {
        if (!IsAllocated()) {
            ReDim(lo, hi);
            return;
        }
        varray_detail::Storage<T> nv;
        varray_detail::fresh(nv, varray_detail::extent(lo, hi));
        Long from = lo > lo_ ? lo : lo_;
        Long to = hi < hi_ ? hi : hi_;
        for (int64_t i = from; i <= to; ++i)
            nv[static_cast<std::size_t>(i - lo)] = std::move(v_[static_cast<std::size_t>(i - lo_)]);
        v_.swap(nv);
        lo_ = lo;
        hi_ = hi;
    }
    void Erase() {
        varray_detail::Storage<T>().swap(v_);
        lo_ = hi_ = 0;
    }

    // Bounds are never reversed, so an allocated array has at least one element.
    bool IsAllocated() const { return v_.size() != 0; }
    Long LBound() const {
        check();
        return lo_;
    }
    Long UBound() const {
        check();
        return hi_;
    }
    std::size_t size() const { return v_.size(); }
    T* data() { return IsAllocated() ? v_.data() : nullptr; }
    const T* data() const { return IsAllocated() ? v_.data() : nullptr; }

    T& operator()(Long i) { return v_[index(i)]; }
    const T& operator()(Long i) const { return v_[index(i)]; }

    // Element order, for range-for over every element.
    auto begin() { return v_.begin(); }
    auto end() { return v_.end(); }
    auto begin() const { return v_.begin(); }
    auto end() const { return v_.end(); }

private:
    varray_detail::Storage<T> v_;
    Long lo_ = 0;
    Long hi_ = 0;

    void check() const {
        if (!IsAllocated()) throw RuntimeError(err::Subscript);
    }
    std::size_t index(Long i) const {
        if (!IsAllocated() || i < lo_ || i > hi_) throw RuntimeError(err::Subscript);
        return static_cast<std::size_t>(int64_t{i} - lo_);
    }
};

template <class T> class VArray2 {
public:
    VArray2() = default;
    VArray2(Long lo1, Long hi1, Long lo2, Long hi2) { ReDim(lo1, hi1, lo2, hi2); }

    void ReDim(Long lo1, Long hi1, Long lo2, Long hi2) {
        std::size_t n1 = varray_detail::extent(lo1, hi1);
        std::size_t n2 = varray_detail::extent(lo2, hi2);
        if (n2 != 0 && n1 > SIZE_MAX / n2) throw RuntimeError(7);
        varray_detail::fresh(v_, n1 * n2);
        lo1_ = lo1;
        hi1_ = hi1;
        lo2_ = lo2;
        hi2_ = hi2;
    }
    // As the language allows: only the upper bound of the last dimension may change (else 9);
    // the elements of the columns kept stay, new ones are value-initialised. On an array that
    // is not allocated: ReDim.
    void ReDimPreserve(Long lo1, Long hi1, Long lo2, Long hi2) {
        if (!IsAllocated()) {
            ReDim(lo1, hi1, lo2, hi2);
            return;
        }
        if (lo1 != lo1_ || hi1 != hi1_ || lo2 != lo2_) throw RuntimeError(err::Subscript);
        std::size_t n1 = varray_detail::extent(lo1, hi1);
        std::size_t newN2 = varray_detail::extent(lo2, hi2);
        std::size_t oldN2 = n2();
        if (newN2 != 0 && n1 > SIZE_MAX / newN2) throw RuntimeError(7);
        varray_detail::Storage<T> nv;
        varray_detail::fresh(nv, n1 * newN2);
        std::size_t keep = newN2 < oldN2 ? newN2 : oldN2;
        for (std::size_t i = 0; i < n1; ++i)
            for (std::size_t j = 0; j < keep; ++j)
                nv[i * newN2 + j] = std::move(v_[i * oldN2 + j]);
        v_.swap(nv);
        hi2_ = hi2;
    }
    void Erase() {
        varray_detail::Storage<T>().swap(v_);
        lo1_ = hi1_ = lo2_ = hi2_ = 0;
    }

    // Bounds are never reversed, so an allocated array has at least one element.
    bool IsAllocated() const { return v_.size() != 0; }
    // dim 1 or 2; any other dimension raises 9.
    Long LBound(int dim = 1) const {
        check(dim);
        return dim == 1 ? lo1_ : lo2_;
    }
    Long UBound(int dim = 1) const {
        check(dim);
        return dim == 1 ? hi1_ : hi2_;
    }
    std::size_t size() const { return v_.size(); }
    T* data() { return IsAllocated() ? v_.data() : nullptr; }
    const T* data() const { return IsAllocated() ? v_.data() : nullptr; }

    T& operator()(Long i, Long j) { return v_[index(i, j)]; }
    const T& operator()(Long i, Long j) const { return v_[index(i, j)]; }

private:
    varray_detail::Storage<T> v_;
    Long lo1_ = 0, hi1_ = 0, lo2_ = 0, hi2_ = 0;

    std::size_t n2() const { return static_cast<std::size_t>(int64_t{hi2_} - lo2_ + 1); }
    void check(int dim) const {
        if (!IsAllocated() || (dim != 1 && dim != 2)) throw RuntimeError(err::Subscript);
    }
    std::size_t index(Long i, Long j) const {
        if (!IsAllocated() || i < lo1_ || i > hi1_ || j < lo2_ || j > hi2_)
            throw RuntimeError(err::Subscript);
        return static_cast<std::size_t>(int64_t{i} - lo1_) * n2() +
               static_cast<std::size_t>(int64_t{j} - lo2_);
    }
};

// Free forms, as the program writes them: LBound(a), UBound(a, 2).
template <class T> Long LBound(const VArray<T>& a) {
    return a.LBound();
}
template <class T> Long UBound(const VArray<T>& a) {
    return a.UBound();
}
template <class T> Long LBound(const VArray2<T>& a, int dim = 1) {
    return a.LBound(dim);
}
template <class T> Long UBound(const VArray2<T>& a, int dim = 1) {
    return a.UBound(dim);
}

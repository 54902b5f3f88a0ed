#pragma once
// The file helper library: file-exists test, day numbers, and binary file handles.
#include "runtime/RuntimeError.h"
#include "runtime/Types.h"
#include "runtime/VArray.h"
#include <bit>
#include <cstddef>
#include <span>
#include <string>
#include <type_traits>

constexpr Long kTrue = -1;
constexpr Long kFalse = 0;

// -1 when the file exists (and is not a folder), else 0.
Long Exist(const std::string& path);

// Day numbers: whole days since 1899-12-30, proleptic Gregorian.
// Date2Num takes "MM/DD/ yyyy" (a blank, or a "-" for a negative year, before the year; the
// blank is optional); months and days out of range roll over. Returns 0 for a text that is
// not of that form.
Long Date2Num(const std::string& text);
// "MM/DD/YYYY", the year padded to 4 digits.
std::string Num2Date(Long day);

// Binary file handles.
//
// Values go to and from files byte for byte as they lie in memory; the file formats are
// little-endian, and so must this machine be.
static_assert(std::endian::native == std::endian::little, "little-endian machines only");
//
// Paths may use "\" or "/" between folders. Handles are numbers > 0; 0 means "no file" and is
// what a failed open leaves. Every other call on a handle that is not open raises
// RuntimeError(52).
//
// Reading: FOpenAll(path, kOpenRead, share, handle). Reads past the end of the file raise
// RuntimeError(62) and leave the target and the position unchanged; a byte count larger than
// the target raises RuntimeError(9); a negative count RuntimeError(5).
//
// Writing: FOpenAll(path, kOpenWrite, share, handle) starts a new file. The bytes go to a
// temporary file in the target's folder; only FClose renames it over the target, so the old
// file stays as it was until the new one is complete. FAbandon drops the temporary and keeps
// the old file. A failed write raises RuntimeError(61) (disk full) or RuntimeError(75); the
// temporary is removed at once and the handle stays open only so that FClose can release it
// (later writes raise 75). Writing to a handle opened for reading raises 75.
// Handles still open for writing when the program ends are abandoned.
constexpr Long kOpenRead = 0;
constexpr Long kOpenWrite = 1;

// Opens path in mode (kOpenRead or kOpenWrite; share is accepted and not used). On success
// handle > 0 and the result is 0; on failure handle = 0 and the result is the run-time error
// number of the failure (53 file not found, 76 path not found, 75 access error, 70 permission
// denied, 5 unknown mode).
Long FOpenAll(const std::string& path, Long mode, Long share, Long& handle);

// Checks that path can be created as a new file: its folder exists and it is not a folder.
// Writes nothing: the file itself appears at the FClose of a handle opened with kOpenWrite.
// Returns 0 when it can, else the run-time error number (76 path not found, 75 access).
Long FCreate(const std::string& path);

// The next read or write starts at byte pos (0 is the first byte). On a handle opened for
// reading a position past the end raises RuntimeError(62); a negative one RuntimeError(5).
void FSeek(Long handle, Long pos);
// The current byte position, in the reckoning of FSeek.
Long FLoc(Long handle);
// kTrue when the position is at (or past) the end of the file, else kFalse.
Long FEof(Long handle);
// The length of the file in bytes (what has been written so far, for a handle opened for
// writing).
Long FLof(Long handle);

// Closes the handle. A handle opened for writing is renamed over its target here; when that
// fails the temporary is removed, the old file kept and RuntimeError(75) (61 disk full)
// raised. A handle <= 0 (a failed open) is ignored.
void FClose(Long handle);
// Closes a handle without keeping what was written: the temporary is removed and the target
// left as it was. On a handle opened for reading it is FClose. A handle <= 0 is ignored.
void FAbandon(Long handle);

// Raw transfers behind the typed calls below.
void FGetBytes(Long handle, void* target, std::size_t bytes);
void FPutBytes(Long handle, const void* source, std::size_t bytes);

namespace kovra_detail {
inline std::size_t checkedCount(Long bytes, std::size_t capacity) {
    if (bytes < 0) throw RuntimeError(err::InvalidCall);
    if (static_cast<std::size_t>(bytes) > capacity) throw RuntimeError(err::Subscript);
    return static_cast<std::size_t>(bytes);
}
} // namespace kovra_detail

// Copies bytes bytes from the current position into the first bytes of var and advances.
template <class T>
requires std::is_trivially_copyable_v<T>
void FGetT(Long handle, T& var, Long bytes) {
    FGetBytes(handle, &var, kovra_detail::checkedCount(bytes, sizeof(T)));
}

// Writes the first bytes bytes of value as it lies in memory and advances.
template <class T>
requires std::is_trivially_copyable_v<T>
void FPutT(Long handle, const T& value, Long bytes) {
    FPutBytes(handle, &value, kovra_detail::checkedCount(bytes, sizeof(T)));
}
// Writes the first bytes characters of a text (a label of fixed width).
inline void FPutT(Long handle, const std::string& text, Long bytes) {
    FPutBytes(handle, text.data(), kovra_detail::checkedCount(bytes, text.size()));
}

// The array descriptor of FGetA/FPutA: where the addressed element lies and how many bytes
// the array holds from there to its end.
struct ArrayDesc {
    std::byte* data = nullptr;
    std::size_t bytes = 0;
};

// Addresses elements from element first (counted from 0) of a run of elements.
// RuntimeError(9) when first lies outside the run.
template <class T, std::size_t Extent>
requires std::is_trivially_copyable_v<T>
void fnAV(ArrayDesc& desc, std::span<T, Extent> elements, std::size_t first) {
    if (first >= elements.size()) throw RuntimeError(err::Subscript);
    desc.data = reinterpret_cast<std::byte*>(elements.data() + first);
    desc.bytes = (elements.size() - first) * sizeof(T);
}

// Addresses element index (counted from the array's lower bound) of a one-dimensional array.
// RuntimeError(9) when the index lies outside the bounds or the array is not allocated.
template <class T>
requires std::is_trivially_copyable_v<T>
void fnAV(ArrayDesc& desc, VArray<T>& array, Long index) {
    const long long first = static_cast<long long>(index) - array.LBound();
    if (first < 0) throw RuntimeError(err::Subscript);
    fnAV(desc, std::span(array.data(), array.size()), static_cast<std::size_t>(first));
}

// Reads bytes bytes into the array from the element the descriptor addresses, and advances.
// RuntimeError(9) when they would run past the end of the array (or the descriptor is empty).
void FGetA(Long handle, const ArrayDesc& desc, Long bytes);
// Writes bytes bytes of the array from the element the descriptor addresses, and advances.
void FPutA(Long handle, const ArrayDesc& desc, Long bytes);

#pragma once
// Small netCDF files for tests, described in code and written in one go:
//
//   NcBuilder nc(dir.file("a.nc"));                  // classic format unless told otherwise
//   nc.unlimitedDim("time", 3);
//   nc.dim("lat", 4);
//   nc.var("temp", NC_SHORT, {"time", "lat"})
//       .att("units", "degC")
//       .att("_FillValue", NC_SHORT, -999)           // typed as the variable
//       .att("scale_factor", 0.01f)                  // the C++ type picks the attribute type
//       .values(std::vector<double>(12, 15.0));      // netCDF converts to the variable's type
//   nc.globalAtt("title", "x");
//   nc.write();
//
// Nothing reaches the disk before write(). Every failure, of netCDF or of the description,
// throws std::runtime_error (with nc_strerror's text for netCDF's own).
#include <netcdf.h>

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

enum class NcFormat { Classic, Offset64, Cdf5, Netcdf4 };

namespace ncb {

// The C++ number types that map onto netCDF types (plain char and bool do not: text is given
// as std::string, and a bool has no netCDF type).
template <class T>
concept Number = std::is_arithmetic_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char>;

// long and unsigned long are the 64-bit types here; they are kept as long long so that one
// netCDF call serves each.
template <class T>
using Stored =
    std::conditional_t<std::is_same_v<T, long>, long long,
                       std::conditional_t<std::is_same_v<T, unsigned long>, unsigned long long, T>>;

// Values as given: text (NC_CHAR), strings (NC_STRING) or numbers of one C++ type, handed to
// the netCDF call of that type, which converts them and reports values out of range.
using Data =
    std::variant<std::string, std::vector<std::string>, std::vector<signed char>,
                 std::vector<unsigned char>, std::vector<short>, std::vector<unsigned short>,
                 std::vector<int>, std::vector<unsigned>, std::vector<long long>,
                 std::vector<unsigned long long>, std::vector<float>, std::vector<double>>;

template <Number T> constexpr nc_type typeOf() {
    using S = Stored<T>;
    if constexpr (std::is_same_v<S, signed char>)
        return NC_BYTE;
    else if constexpr (std::is_same_v<S, unsigned char>)
        return NC_UBYTE;
    else if constexpr (std::is_same_v<S, short>)
        return NC_SHORT;
    else if constexpr (std::is_same_v<S, unsigned short>)
        return NC_USHORT;
    else if constexpr (std::is_same_v<S, int>)
        return NC_INT;
    else if constexpr (std::is_same_v<S, unsigned>)
        return NC_UINT;
    else if constexpr (std::is_same_v<S, long long>)
        return NC_INT64;
    else if constexpr (std::is_same_v<S, unsigned long long>)
        return NC_UINT64;
    else if constexpr (std::is_same_v<S, float>)
        return NC_FLOAT;
    else {
        static_assert(std::is_same_v<S, double>, "no netCDF type for this number type");
        return NC_DOUBLE;
    }
}

template <Number T> Data numbers(const T* p, std::size_t n) {
    return std::vector<Stored<T>>(p, p + n);
}

struct Att {
    std::string name;
    nc_type type;
    Data data;
};

// The attribute calls shared by variables and the file's global attributes. An attribute's
// type is that of the C++ values unless given: att("_FillValue", NC_SHORT, -999).
template <class Self> class AttTarget {
public:
    Self& att(const std::string& name, const std::string& text) { return add(name, NC_CHAR, text); }
    Self& att(const std::string& name, const char* text) { return add(name, NC_CHAR, text); }
    template <Number T> Self& att(const std::string& name, T value) {
        return add(name, typeOf<T>(), numbers(&value, 1));
    }
    template <Number T> Self& att(const std::string& name, const std::vector<T>& values) {
        return add(name, typeOf<T>(), numbers(values.data(), values.size()));
    }
    template <Number T> Self& att(const std::string& name, std::initializer_list<T> values) {
        return add(name, typeOf<T>(), numbers(values.begin(), values.size()));
    }
    template <Number T> Self& att(const std::string& name, nc_type type, T value) {
        return add(name, type, numbers(&value, 1));
    }
    template <Number T>
    Self& att(const std::string& name, nc_type type, const std::vector<T>& values) {
        return add(name, type, numbers(values.data(), values.size()));
    }
    template <Number T>
    Self& att(const std::string& name, nc_type type, std::initializer_list<T> values) {
        return add(name, type, numbers(values.begin(), values.size()));
    }
    // NC_STRING attributes (netCDF-4 only).
    Self& stringAtt(const std::string& name, const std::string& value) {
        return add(name, NC_STRING, std::vector<std::string>{value});
    }
    Self& stringAtt(const std::string& name, const std::vector<std::string>& values) {
        return add(name, NC_STRING, values);
    }
    // Without it a braced pair of texts would be taken for std::string's iterator pair.
    Self& stringAtt(const std::string& name, std::initializer_list<std::string> values) {
        return add(name, NC_STRING, std::vector<std::string>(values));
    }

    const std::vector<Att>& atts() const { return atts_; }

private:
    Self& add(const std::string& name, nc_type type, Data data) {
        atts_.push_back(Att{name, type, std::move(data)});
        return static_cast<Self&>(*this);
    }
    std::vector<Att> atts_;
};

} // namespace ncb

class NcBuilder {
public:
    class Var : public ncb::AttTarget<Var> {
    public:
        // Not copyable: `auto v = nc.var(...)` would hand the values to a copy.
        Var(const Var&) = delete;
        Var& operator=(const Var&) = delete;

        // The values of the whole variable, last dimension fastest, all records included.
        // Their count must match the variable's size; netCDF converts them to its type.
        template <ncb::Number T> Var& values(const std::vector<T>& v) {
            return setData(ncb::numbers(v.data(), v.size()), v.size());
        }
        template <ncb::Number T> Var& values(std::initializer_list<T> v) {
            return setData(ncb::numbers(v.begin(), v.size()), v.size());
        }
        // A char variable's bytes; a shorter text is padded with NULs.
        Var& text(const std::string& bytes);
        // A string variable's values (netCDF-4 only).
        Var& strings(const std::vector<std::string>& v);

        const std::string& name() const { return name_; }
        nc_type type() const { return type_; }
        // The netCDF variable id: the variables are numbered in the order they were declared.
        int id() const { return id_; }
        // Number of values: the product of the dimension sizes, records counted.
        std::size_t size() const { return size_; }

    private:
        friend class NcBuilder;
        Var(std::string name, nc_type type, std::vector<int> dims, std::size_t size, int id)
            : name_(std::move(name)), type_(type), dims_(std::move(dims)), size_(size), id_(id) {}
        Var& setData(ncb::Data data, std::size_t count);

        std::string name_;
        nc_type type_;
        std::vector<int> dims_;
        std::size_t size_;
        int id_;
        bool hasData_ = false;
        ncb::Data data_;
    };

    explicit NcBuilder(std::string path, NcFormat format = NcFormat::Classic);
    NcBuilder(const NcBuilder&) = delete;
    NcBuilder& operator=(const NcBuilder&) = delete;

    // A fixed dimension; returns its netCDF id (dimensions are numbered in declaration order).
    // dim(name, NC_UNLIMITED) is an unlimited dimension without records.
    int dim(const std::string& name, std::size_t size);
    // The unlimited dimension holding `records` records: the record variables' values cover
    // them all, and a record variable without values is filled up to that length.
    int unlimitedDim(const std::string& name, std::size_t records);

    // A variable over the named dimensions, slowest first; no names for a scalar.
    Var& var(const std::string& name, nc_type type, const std::vector<std::string>& dims = {});

    // Global attributes, with the same forms as Var::att.
    template <class... A> NcBuilder& globalAtt(const std::string& name, A&&... a) {
        globals_.att(name, std::forward<A>(a)...);
        return *this;
    }
    template <ncb::Number T>
    NcBuilder& globalAtt(const std::string& name, std::initializer_list<T> values) {
        globals_.att(name, values);
        return *this;
    }
    NcBuilder& globalStringAtt(const std::string& name, const std::string& value) {
        globals_.stringAtt(name, value);
        return *this;
    }

    // Creates the file (replacing any file of that name) and closes it. A failed write leaves
    // no file behind. Returns the path.
    const std::string& write();

    const std::string& path() const { return path_; }

private:
    struct Globals : ncb::AttTarget<Globals> {};
    struct Dim {
        std::string name;
        std::size_t size;
        bool unlimited;
    };
    int addDim(const std::string& name, std::size_t size, bool unlimited);

    std::string path_;
    NcFormat format_;
    std::vector<Dim> dims_;
    std::vector<std::unique_ptr<Var>> vars_; // the references var() hands out stay valid
    Globals globals_;
};

// Writes a file from CDL text with `ncgen` (found through PATH): ncgen -k <format> -o path.
// Throws std::runtime_error with ncgen's messages when it fails.
void writeCdl(const std::string& cdl, const std::string& path, NcFormat format = NcFormat::Classic);

#include "kelvadlib/DapBatch.h"

#include "common/NcHttp.h"

#include <curl/curl.h>

#include <cctype>
#include <cfloat>
#include <charconv>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <type_traits>

namespace {

// ---- Names and addresses ---------------------------------------------------------------------

std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// ---- The DDS of a response ---------------------------------------------------------------------

enum class Kind { Base, Structure, Sequence, Grid };

// DAP2's base types; Str stands for String and Url alike.
enum class Base { None, Byte, Int16, UInt16, Int32, UInt32, Float32, Float64, Str };

struct Decl {
    Kind kind = Kind::Base;
    Base base = Base::None;
    std::string name;
    std::vector<std::size_t> dims; // empty for a scalar
    std::vector<Decl> members;     // a grid's array first, then its maps
};

Base baseOf(const std::string& word) {
    const std::string w = lower(word);
    if (w == "byte") return Base::Byte;
    if (w == "int16") return Base::Int16;
    if (w == "uint16") return Base::UInt16;
    if (w == "int32") return Base::Int32;
    if (w == "uint32") return Base::UInt32;
    if (w == "float32") return Base::Float32;
    if (w == "float64") return Base::Float64;
    if (w == "string" || w == "url") return Base::Str;
    return Base::None;
}

// A DDS read token by token: words (names, types, numbers) and the marks { } [ ] ; = :.
class DdsReader {
public:
    explicit DdsReader(const std::string& text) : s_(text) {}

    // "Dataset { decl... } name;"
    bool dataset(std::vector<Decl>& out) {
        if (lower(word()) != "dataset" || !mark('{')) return false;
        if (!declarations(out)) return false;
        word(); // the dataset's name may hold any character but blanks and ";"
        return mark(';');
    }
    // What made dataset() fail, where more can be said than that the text is no DDS.
    const std::string& problem() const { return problem_; }

private:
    const std::string& s_;
    std::size_t at_ = 0;
    std::string problem_;

    void blanks() {
        while (at_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[at_])))
            ++at_;
    }
    bool peek(char c) {
        blanks();
        return at_ < s_.size() && s_[at_] == c;
    }
    bool mark(char c) {
        if (!peek(c)) return false;
        ++at_;
        return true;
    }
    std::string word() {
        blanks();
        const std::size_t from = at_;
        while (at_ < s_.size() && !std::isspace(static_cast<unsigned char>(s_[at_])) &&
               std::strchr("{}[];=:", s_[at_]) == nullptr)
            ++at_;
        return unescaped(s_.substr(from, at_ - from));
    }
    static std::string unescaped(const std::string& w) {
        std::string out;
        for (std::size_t i = 0; i < w.size(); ++i) {
            unsigned code = 0;
            if (w[i] == '%' && i + 2 < w.size() &&
                std::isxdigit(static_cast<unsigned char>(w[i + 1])) &&
                std::isxdigit(static_cast<unsigned char>(w[i + 2])) &&
                std::from_chars(w.data() + i + 1, w.data() + i + 3, code, 16).ec == std::errc()) {
                out += static_cast<char>(code);
                i += 2;
            } else {
                out += w[i];
            }
        }
        return out;
    }
    bool declarations(std::vector<Decl>& out) {
        while (!mark('}')) {
            Decl d;
            if (!declaration(d)) return false;
            out.push_back(std::move(d));
        }
        return true;
    }
    // The name and the dimensions ("[lat = 36]" or "[36]") after a type.
    bool named(Decl& d) {
        d.name = word();
        if (d.name.empty()) return false;
        while (mark('[')) {
            std::string size = word();
            if (mark('=')) size = word();
            // Digits alone; a number beyond what a size can hold is no size either.
            std::size_t n = 0;
            const char* end = size.data() + size.size();
            const auto parsed = std::from_chars(size.data(), end, n);
            if (parsed.ec != std::errc() || parsed.ptr != end) {
                problem_ = "a dimension of " + d.name + " that is no size (" + size.substr(0, 40) +
                           ")";
                return false;
            }
            d.dims.push_back(n);
            if (!mark(']')) return false;
        }
        return mark(';');
    }
    bool declaration(Decl& d) {
        const std::string type = lower(word());
        if (type == "structure" || type == "sequence") {
            d.kind = type == "structure" ? Kind::Structure : Kind::Sequence;
            return mark('{') && declarations(d.members) && named(d);
        }
        if (type == "grid") {
            d.kind = Kind::Grid;
            if (!mark('{') || lower(word()) != "array" || !mark(':')) return false;
            Decl array;
            if (!declaration(array)) return false;
            d.members.push_back(std::move(array));
            if (lower(word()) != "maps" || !mark(':')) return false;
            return declarations(d.members) && named(d);
        }
        d.base = baseOf(type);
        return d.base != Base::None && named(d);
    }
};

// ---- The values of a response (XDR) -------------------------------------------------------------

class XdrReader {
public:
    XdrReader(const char* p, std::size_t n) : p_(p), end_(p + n) {}

    bool u32(std::uint32_t& v) {
        if (end_ - p_ < 4) return false;
        const auto* b = reinterpret_cast<const unsigned char*>(p_);
        v = (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) |
            b[3];
        p_ += 4;
        return true;
    }
    bool u64(std::uint64_t& v) {
        std::uint32_t hi = 0, lo = 0;
        if (!u32(hi) || !u32(lo)) return false;
        v = (std::uint64_t{hi} << 32) | lo;
        return true;
    }
    // Whether n values of the given width can still follow: checked before anything is sized
    // from a count the answer declares.
    bool holds(std::size_t n, std::size_t width) const {
        return n <= static_cast<std::size_t>(end_ - p_) / width;
    }
    bool bytes(std::size_t n, const unsigned char*& out) {
        const std::size_t padded = (n + 3) / 4 * 4;
        if (static_cast<std::size_t>(end_ - p_) < padded) return false;
        out = reinterpret_cast<const unsigned char*>(p_);
        p_ += padded;
        return true;
    }

private:
    const char* p_;
    const char* end_;
};

// The number of values of an array, or SIZE_MAX when the product does not fit.
std::size_t product(const std::vector<std::size_t>& dims) {
    std::size_t n = 1;
    for (const std::size_t d : dims) {
        if (d != 0 && n > SIZE_MAX / d) return SIZE_MAX;
        n *= d;
    }
    return n;
}

std::size_t addCapped(std::size_t a, std::size_t b) {
    return a > SIZE_MAX - b ? SIZE_MAX : a + b;
}

// The values a declaration holds, its members' included (SIZE_MAX when beyond counting).
std::size_t declaredValues(const Decl& d) {
    std::size_t n = d.kind == Kind::Base ? 1 : 0;
    for (const Decl& m : d.members)
        n = addCapped(n, declaredValues(m));
    const std::size_t copies = product(d.dims);
    return n != 0 && copies > SIZE_MAX / n ? SIZE_MAX : n * copies;
}

template <class T> bool readNumbers(XdrReader& x, Base base, std::size_t n, std::vector<T>& out) {
    if (!x.holds(n, std::is_same_v<T, double> ? 8 : 4)) return false;
    out.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        if constexpr (std::is_same_v<T, double>) {
            std::uint64_t v = 0;
            if (!x.u64(v)) return false;
            std::memcpy(&out[i], &v, sizeof v);
        } else {
            std::uint32_t v = 0;
            if (!x.u32(v)) return false;
            if constexpr (std::is_same_v<T, float>)
                std::memcpy(&out[i], &v, sizeof v);
            else if (base == Base::Int16)
                out[i] = static_cast<T>(static_cast<std::int16_t>(v & 0xffffu));
            else
                out[i] = static_cast<T>(v);
        }
    }
    return true;
}

// The values of one base-type declaration into slab (when wanted), or passed over.
bool readBase(XdrReader& x, const Decl& d, DapSlab* slab) {
    const std::size_t n = product(d.dims);
    if (!d.dims.empty()) {
        std::uint32_t count = 0;
        if (!x.u32(count) || count != n) return false;
        // Every array but one of strings gives its length twice.
        if (d.base != Base::Str) {
            std::uint32_t again = 0;
            if (!x.u32(again) || again != n) return false;
        }
    }
    if (d.base == Base::Str) {
        for (std::size_t i = 0; i < n; ++i) {
            std::uint32_t len = 0;
            const unsigned char* skipped = nullptr;
            if (!x.u32(len) || !x.bytes(len, skipped)) return false;
        }
        return true;
    }
    if (d.base == Base::Byte) {
        // Arrays of bytes are packed; a single byte takes a word of its own.
        const unsigned char* b = nullptr;
        if (!x.bytes(d.dims.empty() ? 4 : n, b)) return false;
        if (slab) {
            slab->type = NC_UBYTE;
            slab->values = std::vector<unsigned char>(b, b + n);
        }
        return true;
    }
    auto into = [&](auto tag, nc_type type) {
        using T = decltype(tag);
        std::vector<T> values;
        if (!readNumbers(x, d.base, n, values)) return false;
        if (slab) {
            slab->type = type;
            slab->values = std::move(values);
        }
        return true;
    };
    switch (d.base) {
    case Base::Int16:
        return into(short{}, NC_SHORT);
    case Base::UInt16:
        return into(static_cast<unsigned short>(0), NC_USHORT);
    case Base::Int32:
        return into(int{}, NC_INT);
    case Base::UInt32:
        return into(0u, NC_UINT);
    case Base::Float32:
        return into(0.0f, NC_FLOAT);
    case Base::Float64:
        return into(0.0, NC_DOUBLE);
    default:
        return false;
    }
}

bool readDecl(XdrReader& x, const Decl& d, const std::string& path,
              std::map<std::string, DapSlab>& out, std::string& why) {
    switch (d.kind) {
    case Kind::Base: {
        DapSlab slab;
        if (!readBase(x, d, &slab)) {
            why = "the values of " + path + " end early or disagree with the DDS";
            return false;
        }
        slab.count = d.dims;
        out[path] = std::move(slab);
        return true;
    }
    case Kind::Structure:
        if (!d.dims.empty()) {
            why = "an array of structures (" + path + ")";
            return false;
        }
        for (const Decl& m : d.members)
            if (!readDecl(x, m, path + "." + m.name, out, why)) return false;
        return true;
    case Kind::Grid: {
        // The grid's array under the grid's own name, as the client names the variable; the
        // maps are variables of their own there and are passed over.
        for (std::size_t i = 0; i < d.members.size(); ++i) {
            const Decl& m = d.members[i];
            if (m.kind != Kind::Base) {
                why = "a grid member that is no array (" + path + ")";
                return false;
            }
            DapSlab slab;
            if (!readBase(x, m, i == 0 ? &slab : nullptr)) {
                why = "the values of " + path + " end early or disagree with the DDS";
                return false;
            }
            if (i == 0) {
                slab.count = m.dims;
                out[path] = std::move(slab);
            }
        }
        return true;
    }
    case Kind::Sequence:
    default:
        why = "a sequence (" + path + ")";
        return false;
    }
}

// ---- Reads from held slabs ----------------------------------------------------------------------

// One value as netCDF-C would hand it over in type To; false where it would round, refuse the
// value as out of range, or where its rule is not certain: the read then goes to netCDF-C.
template <class To, class From> bool converted(From v, To& out) {
    if constexpr (std::is_same_v<To, From>) {
        out = v;
        return true;
    } else if constexpr (std::is_same_v<To, double>) {
        out = static_cast<double>(v);
        return true;
    } else if constexpr (std::is_same_v<To, float>) {
        if constexpr (std::is_same_v<From, double>) {
            if (std::isfinite(v) && std::fabs(v) > FLT_MAX) return false;
        } else if constexpr (sizeof(From) >= 4) {
            // Integers that a float holds exactly.
            const long long w = static_cast<long long>(v);
            if (w > (1LL << 24) || w < -(1LL << 24)) return false;
        }
        out = static_cast<float>(v);
        return true;
    } else if constexpr (std::is_floating_point_v<From>) {
        return false;
    } else {
        const long long w = static_cast<long long>(v);
        if (w > static_cast<long long>(std::numeric_limits<To>::max()) ||
            w < static_cast<long long>(std::numeric_limits<To>::min()))
            return false;
        out = static_cast<To>(v);
        return true;
    }
}

template <class To>
bool readHeld(const DapSlabs& held, int varid, const std::size_t* start, const std::size_t* count,
              To* out) {
    const auto found = held.find(varid);
    if (found == held.end()) return false;
    const DapSlab& slab = found->second;
    const std::size_t rank = slab.count.size();
    for (std::size_t d = 0; d < rank; ++d) {
        if (start[d] < slab.start[d] || count[d] > slab.count[d] ||
            start[d] - slab.start[d] > slab.count[d] - count[d])
            return false;
    }
    for (std::size_t d = 0; d < rank; ++d)
        if (count[d] == 0) return true;
    return std::visit(
        [&](const auto& values) {
            // Row by row over the hyperslab, the last dimension fastest.
            std::vector<std::size_t> at(rank, 0);
            std::size_t written = 0;
            for (;;) {
                std::size_t k = 0;
                for (std::size_t d = 0; d < rank; ++d)
                    k = k * slab.count[d] + (start[d] - slab.start[d] + at[d]);
                if (k >= values.size() || !converted(values[k], out[written])) return false;
                ++written;
                std::size_t d = rank;
                while (d > 0) {
                    --d;
                    if (++at[d] < count[d]) break;
                    at[d] = 0;
                    if (d == 0) return true;
                }
                if (rank == 0) return true;
            }
        },
        slab.values);
}

// ---- HTTP --------------------------------------------------------------------------------------

// The answer so far and the most it may grow to: a server that sends more than was asked for
// ends the transfer at once. The time of the last bytes that came, for the stall limit.
struct Body {
    std::string* text;
    std::size_t limit;
    bool tooLong = false;
    double stallSeconds = 0;
    curl_off_t received = 0;
    std::chrono::steady_clock::time_point lastProgress = std::chrono::steady_clock::now();
};

std::size_t appendBody(char* data, std::size_t size, std::size_t n, void* to) {
    auto* body = static_cast<Body*>(to);
    if (body->text->size() + size * n > body->limit) {
        body->tooLong = true;
        return 0;
    }
    body->text->append(data, size * n);
    return size * n;
}

// Called by the transfer at least once a second: it ends once nothing has come for the
// request's stall limit.
int watchProgress(void* to, curl_off_t, curl_off_t now, curl_off_t, curl_off_t) {
    auto* body = static_cast<Body*>(to);
    const auto clock = std::chrono::steady_clock::now();
    if (now != body->received) {
        body->received = now;
        body->lastProgress = clock;
        return 0;
    }
    const double quiet = std::chrono::duration<double>(clock - body->lastProgress).count();
    return body->stallSeconds > 0 && quiet >= body->stallSeconds ? 1 : 0;
}

struct CurlDone {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};

} // namespace

std::string DapDatasetUrl(const std::string& name) {
    std::string url = name;
    // Client parameters before the URL: "[noprefetch][log]http://...".
    while (!url.empty() && url[0] == '[') {
        const auto close = url.find(']');
        if (close == std::string::npos) return {};
        url.erase(0, close + 1);
    }
    const auto hash = url.find('#');
    const std::string fragment = hash == std::string::npos ? "" : lower(url.substr(hash + 1));
    if (hash != std::string::npos) url.erase(hash);
    if (!IsNcUrl(url) || url.find('?') != std::string::npos) return {};
    if (fragment.find("dap4") != std::string::npos) return {};
    return url;
}

bool DapClientPrefetches(const std::string& name) {
    // The parameters: "[a][b=1]" before the URL, "#a&b=1" after it.
    std::vector<std::string> params;
    std::size_t at = 0;
    while (at < name.size() && name[at] == '[') {
        const auto close = name.find(']', at);
        if (close == std::string::npos) break;
        params.push_back(name.substr(at + 1, close - at - 1));
        at = close + 1;
    }
    const auto hash = name.find('#');
    if (hash != std::string::npos) {
        std::size_t from = hash + 1;
        for (;;) {
            const auto amp = name.find('&', from);
            params.push_back(name.substr(from, amp == std::string::npos ? amp : amp - from));
            if (amp == std::string::npos) break;
            from = amp + 1;
        }
    }
    for (const std::string& p : params)
        if (lower(p.substr(0, p.find('='))) == "noprefetch") return false;
    return true;
}

bool DapPlainName(const std::string& name) {
    if (name.empty()) return false;
    for (const char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-') return false;
    return true;
}

std::string DapDataRequest(const std::string& url, const std::vector<DapWanted>& wanted) {
    std::string request = url + ".dods?";
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        const DapWanted& w = wanted[i];
        if (i > 0) request += ",";
        request += w.name;
        for (std::size_t d = 0; d < w.count.size(); ++d)
            request += "%5B" + std::to_string(w.start[d]) +
                       ":1:" + std::to_string(w.start[d] + w.count[d] - 1) + "%5D";
    }
    return request;
}

bool DecodeDataDds(const std::string& body, std::map<std::string, DapSlab>& out, std::string& why,
                   std::size_t mostValues) {
    out.clear();
    std::size_t mark = body.find("\nData:\n");
    std::size_t skip = 7;
    if (mark == std::string::npos) {
        mark = body.find("\nData:\r\n");
        skip = 8;
    }
    if (mark == std::string::npos) {
        why = "no data in the answer: " + body.substr(0, 200);
        return false;
    }
    const std::string dds = body.substr(0, mark);
    std::vector<Decl> decls;
    DdsReader reader(dds);
    if (!reader.dataset(decls)) {
        why = "a DDS that cannot be read";
        if (!reader.problem().empty()) why += ": " + reader.problem();
        return false;
    }
    std::size_t declared = 0;
    for (const Decl& d : decls)
        declared = addCapped(declared, declaredValues(d));
    if (declared > mostValues) {
        why = "a DDS that declares more values than were asked for (" +
              (declared == SIZE_MAX ? std::string("beyond counting") : std::to_string(declared)) +
              " of at most " + std::to_string(mostValues) + ")";
        return false;
    }
    XdrReader x(body.data() + mark + skip, body.size() - mark - skip);
    for (const Decl& d : decls)
        if (!readDecl(x, d, d.name, out, why)) return false;
    return true;
}

namespace {

// The settings of the user's netCDF rc files that netCDF-C's own client would take for the
// URL; the last of a setting's keys that gives a value wins. Kept as text that must outlive the
// transfer.
struct RcSettings {
    std::string verifyPeer, verifyHost, caInfo, caPath, cert, key, keyPassword, netrc, cookies,
        proxy, user, password, userPassword, agent, deflate;
};
RcSettings rcSettings(const std::string& url) {
    const std::vector<NcRcFile> rc = UserNcRcFiles();
    const auto setting = [&](std::initializer_list<const char*> keys) {
        std::string value;
        for (const char* key : keys) {
            const std::string v = NcRcValue(rc, key, url);
            if (!v.empty()) value = v;
        }
        return value;
    };
    RcSettings s;
    s.verifyPeer = setting({"HTTP.SSL.VERIFYPEER"});
    s.verifyHost = setting({"HTTP.SSL.VERIFYHOST"});
    s.caInfo = setting({"HTTP.SSL.CAINFO"});
    s.caPath = setting({"HTTP.SSL.CAPATH"});
    s.cert = setting({"HTTP.SSL.CERTIFICATE"});
    s.key = setting({"HTTP.SSL.KEY"});
    s.keyPassword = setting({"HTTP.SSL.KEYPASSWORD"});
    s.netrc = setting({"HTTP.NETRC"});
    s.cookies =
        setting({"HTTP.COOKIEJAR", "HTTP.COOKIE_JAR", "HTTP.COOKIEFILE", "HTTP.COOKIE_FILE"});
    s.proxy = setting({"HTTP.PROXY.SERVER", "HTTP.PROXY_SERVER"});
    s.user = setting({"HTTP.CREDENTIALS.USER", "HTTP.CREDENTIALS.USERNAME"});
    s.password = setting({"HTTP.CREDENTIALS.PASSWORD"});
    s.userPassword = setting({"HTTP.CREDENTIALS.USERPASSWORD"});
    s.agent = setting({"HTTP.USERAGENT"});
    s.deflate = setting({"HTTP.DEFLATE"});
    return s;
}

void applyRcSettings(CURL* c, const RcSettings& s) {
    if (s.verifyPeer == "0") curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 0L);
    if (s.verifyHost == "0") curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 0L);
    if (!s.caInfo.empty()) curl_easy_setopt(c, CURLOPT_CAINFO, s.caInfo.c_str());
    if (!s.caPath.empty()) curl_easy_setopt(c, CURLOPT_CAPATH, s.caPath.c_str());
    if (!s.cert.empty()) curl_easy_setopt(c, CURLOPT_SSLCERT, s.cert.c_str());
    if (!s.key.empty()) curl_easy_setopt(c, CURLOPT_SSLKEY, s.key.c_str());
    if (!s.keyPassword.empty()) curl_easy_setopt(c, CURLOPT_KEYPASSWD, s.keyPassword.c_str());
    if (!s.netrc.empty()) {
        curl_easy_setopt(c, CURLOPT_NETRC, static_cast<long>(CURL_NETRC_OPTIONAL));
        curl_easy_setopt(c, CURLOPT_NETRC_FILE, s.netrc.c_str());
    }
    if (!s.cookies.empty()) {
        curl_easy_setopt(c, CURLOPT_COOKIEFILE, s.cookies.c_str());
        curl_easy_setopt(c, CURLOPT_COOKIEJAR, s.cookies.c_str());
    }
    if (!s.proxy.empty()) curl_easy_setopt(c, CURLOPT_PROXY, s.proxy.c_str());
    if (!s.userPassword.empty()) {
        curl_easy_setopt(c, CURLOPT_USERPWD, s.userPassword.c_str());
    } else if (!s.user.empty()) {
        curl_easy_setopt(c, CURLOPT_USERNAME, s.user.c_str());
        curl_easy_setopt(c, CURLOPT_PASSWORD, s.password.c_str());
    }
    if (!s.agent.empty()) curl_easy_setopt(c, CURLOPT_USERAGENT, s.agent.c_str());
    if (s.deflate == "1") curl_easy_setopt(c, CURLOPT_ACCEPT_ENCODING, "");
}

// The transfer, and what its end says: a time-out or a stall is a server that did not answer;
// a body longer than the request can need, declared or sent, is refused.
DapGet performGet(CURL* c, const Body& body, std::string& why) {
    const CURLcode result = curl_easy_perform(c);
    if (result == CURLE_FILESIZE_EXCEEDED || body.tooLong) {
        why = "an answer longer than the " + std::to_string(body.limit) +
              " bytes the request can need";
        return DapGet::TooLong;
    }
    if (result == CURLE_ABORTED_BY_CALLBACK) {
        why = "nothing came for " + std::to_string(static_cast<long>(body.stallSeconds)) +
              " seconds";
        return DapGet::NoAnswer;
    }
    if (result == CURLE_OPERATION_TIMEDOUT) {
        why = curl_easy_strerror(result);
        return DapGet::NoAnswer;
    }
    if (result != CURLE_OK) {
        why = curl_easy_strerror(result);
        return DapGet::Failed;
    }
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    if (status != 200) {
        why = "HTTP status " + std::to_string(status);
        return DapGet::Failed;
    }
    return DapGet::Ok;
}

} // namespace

DapGet DapHttpGet(const std::string& url, std::string& body, std::string& why, std::size_t limit,
                  double stallSeconds) {
    body.clear();
    std::unique_ptr<CURL, CurlDone> curl(curl_easy_init());
    if (!curl) {
        why = "no HTTP client";
        return DapGet::Failed;
    }
    CURL* c = curl.get();
    const NcHttpTimeouts timeouts = PrepareNcHttpTimeouts();
    const RcSettings settings = rcSettings(url);
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, appendBody);
    Body into{&body, limit};
    into.stallSeconds = stallSeconds;
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &into);
    // A declared length beyond the limit ends the transfer before any of the body is read.
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limit));
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, watchProgress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &into);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 10L);
    if (timeouts.total > 0) curl_easy_setopt(c, CURLOPT_TIMEOUT, static_cast<long>(timeouts.total));
    if (timeouts.connect > 0)
        curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, static_cast<long>(timeouts.connect));
    applyRcSettings(c, settings);
    return performGet(c, into, why);
}

namespace {

template <class T, class Read>
int heldOr(const DapSlabs& held, int ncid, int varid, const std::size_t* start,
           const std::size_t* count, T* out, Read read) {
    return readHeld(held, varid, start, count, out) ? NC_NOERR
                                                    : read(ncid, varid, start, count, out);
}

} // namespace

int GetVara(const DapSlabs& held, int ncid, int varid, const std::size_t* start,
            const std::size_t* count, short* out) {
    return heldOr(held, ncid, varid, start, count, out, nc_get_vara_short);
}
int GetVara(const DapSlabs& held, int ncid, int varid, const std::size_t* start,
            const std::size_t* count, int* out) {
    return heldOr(held, ncid, varid, start, count, out, nc_get_vara_int);
}
int GetVara(const DapSlabs& held, int ncid, int varid, const std::size_t* start,
            const std::size_t* count, float* out) {
    return heldOr(held, ncid, varid, start, count, out, nc_get_vara_float);
}
int GetVara(const DapSlabs& held, int ncid, int varid, const std::size_t* start,
            const std::size_t* count, double* out) {
    return heldOr(held, ncid, varid, start, count, out, nc_get_vara_double);
}

std::size_t DapValuesAsked(const std::vector<DapWanted>& wanted) {
    std::size_t n = 0;
    for (const DapWanted& w : wanted) {
        n = addCapped(n, product(w.count));
        for (const std::size_t c : w.count)
            n = addCapped(n, c);
    }
    return n;
}

std::size_t DapAnswerLimit(const std::vector<DapWanted>& wanted) {
    std::size_t bytes = std::size_t{1} << 20;
    for (const DapWanted& w : wanted)
        bytes += product(w.count) * 8 + 16;
    return bytes;
}

bool DapSlabFallsShort(const DapWanted& wanted, const DapSlab& got) {
    return got.count != wanted.count && product(got.count) < product(wanted.count);
}

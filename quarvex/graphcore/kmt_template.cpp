#include "quarvex/graphcore/kmt_template.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <fcntl.h>
#include <ios>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace graphcore {

namespace {

// No valid field comes near this; a longer one is refused without being
// kept whole in memory.
constexpr std::size_t kMaxFieldChars = 64;

bool IsBlank(int ch) { return ch == ' ' || ch == '\t'; }
bool IsLineEnd(int ch) { return ch == '\r' || ch == '\n'; }
bool EndsField(int ch) { return ch == ',' || IsBlank(ch) || IsLineEnd(ch); }

// Decimal digits with an optional sign, point and exponent (E or D), the
// whole field and nothing else.
bool ParseNumber(const std::string& text, double& value) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
    }
    if (digits == 0) return false;
    std::string c = text;
    bool negativeExponent = false;
    if (i < n && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        c[i] = 'e';
        ++i;
        negativeExponent = i < n && text[i] == '-';
        if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++expDigits;
        if (expDigits == 0) return false;
    }
    if (i != n) return false;
    // from_chars, unlike strtod, never takes the user's decimal comma.
    const char* first = c.data() + (c[0] == '+' ? 1 : 0);
    const char* last = c.data() + c.size();
    const auto res = std::from_chars(first, last, value);
    // Out of range one way or the other. A field is too short for its digits
    // to reach either end, so the exponent's sign tells which: a value
    // too small for a double rounds to 0 like any other small one.
    if (res.ec == std::errc::result_out_of_range && negativeExponent) {
        value = 0.0;
        return true;
    }
    return res.ec == std::errc() && res.ptr == last;
}

class FieldReader {
public:
    explicit FieldReader(std::istream& in) : buf_(in.rdbuf()) {}

    // Skips blanks and line ends; true when nothing but them is left.
    bool AtEnd() {
        for (;;) {
            const int ch = buf_ ? buf_->sgetc() : EOF;
            if (ch == EOF) return true;
            if (!IsBlank(ch) && !IsLineEnd(ch)) return false;
            buf_->sbumpc();
        }
    }

    // One field; false with `why` set when it is not a 16-bit integer.
    bool Next(int16_t& out, std::string& why) {
        if (AtEnd()) {
            why = "a record is cut short by the end of the file";
            return false;
        }
        std::string text;
        for (int ch = buf_->sgetc(); ch != EOF && !EndsField(ch); ch = buf_->sgetc()) {
            if (text.size() == kMaxFieldChars) {
                why = "a field is too long to be a number";
                return false;
            }
            text.push_back(static_cast<char>(ch));
            buf_->sbumpc();
        }
        // The separator: blanks, then at most one comma. A line end is left
        // for the next field's skip.
        while (IsBlank(buf_->sgetc())) buf_->sbumpc();
        if (buf_->sgetc() == ',') buf_->sbumpc();
        // An empty field between two commas reads as 0, the sequential
        // reader's rule.
        double value = 0.0;
        if (!text.empty() && !ParseNumber(text, value)) {
            why = "\"" + text + "\" is not a number";
            return false;
        }
        const double rounded = std::nearbyint(value);  // halves to even
        if (rounded < -32768.0 || rounded > 32767.0) {
            why = "\"" + text + "\" is outside -32768 to 32767";
            return false;
        }
        out = static_cast<int16_t>(rounded);
        return true;
    }

private:
    std::streambuf* buf_;
};

// A plain file read through its descriptor; a failed read ends the input
// and is remembered instead of throwing, as a file stream would.
class FdBuf : public std::streambuf {
public:
    explicit FdBuf(int fd) : fd_(fd) {}
    ~FdBuf() override { ::close(fd_); }
    FdBuf(const FdBuf&) = delete;
    FdBuf& operator=(const FdBuf&) = delete;
    bool failed() const { return failed_; }

protected:
    int_type underflow() override {
        if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
        for (;;) {
            const ssize_t got = ::read(fd_, buf_, sizeof buf_);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) failed_ = true;
            if (got <= 0) return traits_type::eof();
            setg(buf_, buf_, buf_ + got);
            return traits_type::to_int_type(*gptr());
        }
    }

private:
    int fd_;
    bool failed_ = false;
    char buf_[1 << 14];
};

TemplateReadResult Failure(TemplateReadStatus status, std::string why) {
    TemplateReadResult r;
    r.status = status;
    r.detail = std::move(why);
    return r;
}

}  // namespace

TemplateReadResult ParseTemplate(std::istream& in, int fieldsPerRecord) {
    if (fieldsPerRecord != kTernaryTemplateFields && fieldsPerRecord != kXYTemplateFields)
        throw std::invalid_argument("ParseTemplate: records have 6 or 4 fields");
    TemplateReadResult result;
    FieldReader reader(in);
    std::string why;
    // A file stream's buffer throws when the system read fails.
    try {
        while (!reader.AtEnd()) {
            if (static_cast<int>(result.segments.size()) == kMaxTemplateSegments)
                return Failure(TemplateReadStatus::FormatError, "more than 32767 segments");
            TemplateSegment seg;
            for (int f = 0; f < fieldsPerRecord; ++f) {
                if (!reader.Next(seg.fields[f], why)) return Failure(TemplateReadStatus::FormatError, why);
                if (fieldsPerRecord == kTernaryTemplateFields && seg.fields[f] < 0)
                    return Failure(TemplateReadStatus::FormatError, "a ternary component is negative");
            }
            result.segments.push_back(seg);
        }
    } catch (const std::ios_base::failure& e) {
        return Failure(TemplateReadStatus::ReadError, e.what());
    }
    if (in.bad()) return Failure(TemplateReadStatus::ReadError, "the file could not be read");
    return result;
}

TemplateReadResult ReadTemplateFile(const std::string& path, int fieldsPerRecord) {
    // Opening without blocking: a pipe with no writer would wait here.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return Failure(TemplateReadStatus::AccessError, path + " cannot be opened");
    FdBuf buf(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0) return Failure(TemplateReadStatus::AccessError, path + " cannot be opened");
    if (S_ISDIR(st.st_mode)) return Failure(TemplateReadStatus::AccessError, path + " is a folder");
    if (!S_ISREG(st.st_mode)) return Failure(TemplateReadStatus::ReadError, path + " is not a plain file");
    std::istream in(&buf);
    TemplateReadResult result = ParseTemplate(in, fieldsPerRecord);
    if (buf.failed()) return Failure(TemplateReadStatus::ReadError, path + " could not be read");
    return result;
}

TemplatePoint TernaryTemplatePoint(int16_t top, int16_t left, int16_t right) {
    float p = 0.0f;
    const int32_t sum = int32_t(left) + int32_t(right);
    if (!(left <= 0 && right <= 0) && sum != 0) p = float(right) / float(sum) * 100.0f;
    TemplatePoint pt;
    pt.x = (100.0f - float(top)) * p / 100.0f + float(top) / 2.0f;
    pt.y = float(top);
    return pt;
}

}  // namespace graphcore

#include "platform/Format.h"

#include <cstdio>
#include <stdexcept>
#include <string>

namespace platform {

int64_t FormatArg::AsSigned() const {
    switch (kind_) {
        case Kind::Signed:
            return i_;
        case Kind::Unsigned:
            return static_cast<int64_t>(u_);
        case Kind::Char:
            return c_;
        default:
            throw std::invalid_argument("format: argument is not an integer");
    }
}

uint64_t FormatArg::AsUnsigned() const {
    switch (kind_) {
        case Kind::Signed:
            return static_cast<uint64_t>(i_);
        case Kind::Unsigned:
            return u_;
        case Kind::Char:
            return c_;
        case Kind::Pointer:
            return reinterpret_cast<uintptr_t>(p_);
        default:
            throw std::invalid_argument("format: argument is not an integer");
    }
}

namespace {

enum class Size { Default, Char, Short, Long, LongLong };

struct Spec {
    bool left = false, plus = false, space = false, alternate = false, zero = false;
    int width = -1;
    int precision = -1;
    Size size = Size::Default;
    char16_t conversion = 0;
};

class ArgReader {
  public:
    explicit ArgReader(std::span<const FormatArg> args) : args_(args) {}
    const FormatArg& Next() {
        if (next_ >= args_.size()) throw std::invalid_argument("format: too few arguments");
        return args_[next_++];
    }

  private:
    std::span<const FormatArg> args_;
    size_t next_ = 0;
};

void Pad(std::u16string& out, size_t count, char16_t fill) {
    out.append(count, fill);
}

void AppendJustified(std::u16string& out, std::u16string_view body, const Spec& spec) {
    const size_t width = spec.width > 0 ? static_cast<size_t>(spec.width) : 0;
    const size_t padding = body.size() < width ? width - body.size() : 0;
    if (!spec.left) Pad(out, padding, u' ');
    out.append(body);
    if (spec.left) Pad(out, padding, u' ');
}

// Numbers go through the C library's own formatting on an 8-bit copy of the
// specification; their text is ASCII, so widening is exact.
void AppendNumber(std::u16string& out, const Spec& spec, const FormatArg& arg) {
    std::string fmt = "%";
    if (spec.left) fmt += '-';
    if (spec.plus) fmt += '+';
    if (spec.space) fmt += ' ';
    if (spec.alternate) fmt += '#';
    if (spec.zero) fmt += '0';
    if (spec.width >= 0) fmt += std::to_string(spec.width);
    if (spec.precision >= 0) fmt += "." + std::to_string(spec.precision);
    const char conv = static_cast<char>(spec.conversion);
    char stack[128];
    std::string heap;
    int n = 0;
    auto print = [&](auto value) {
        n = std::snprintf(stack, sizeof stack, fmt.c_str(), value);
        if (n >= static_cast<int>(sizeof stack)) {
            heap.resize(static_cast<size_t>(n) + 1);
            std::snprintf(heap.data(), heap.size(), fmt.c_str(), value);
            heap.resize(static_cast<size_t>(n));
        }
    };
    switch (conv) {
        case 'd':
        case 'i': {
            fmt += "lld";
            int64_t v = arg.AsSigned();
            switch (spec.size) {
                case Size::Char:
                    v = static_cast<signed char>(v);
                    break;
                case Size::Short:
                    v = static_cast<int16_t>(v);
                    break;
                case Size::Default:
                case Size::Long:
                    v = static_cast<int32_t>(v);
                    break;
                case Size::LongLong:
                    break;
            }
            print(static_cast<long long>(v));
            break;
        }
        case 'u':
        case 'o':
        case 'x':
        case 'X': {
            fmt += "ll";
            fmt += conv;
            uint64_t v = arg.AsUnsigned();
            switch (spec.size) {
                case Size::Char:
                    v = static_cast<uint8_t>(v);
                    break;
                case Size::Short:
                    v = static_cast<uint16_t>(v);
                    break;
                case Size::Default:
                case Size::Long:
                    v = static_cast<uint32_t>(v);
                    break;
                case Size::LongLong:
                    break;
            }
            print(static_cast<unsigned long long>(v));
            break;
        }
        default: {  // floating point
            if (arg.kind() != FormatArg::Kind::Double) {
                throw std::invalid_argument("format: floating conversion needs a number");
            }
            fmt += conv;
            print(arg.AsDouble());
            break;
        }
    }
    if (n < 0) throw std::invalid_argument("format: number conversion failed");
    const std::string_view text =
        heap.empty() ? std::string_view(stack, static_cast<size_t>(n)) : std::string_view(heap);
    for (char ch : text) out.push_back(static_cast<unsigned char>(ch));
}

int ReadCount(std::u16string_view pattern, size_t& i) {
    int value = 0;
    while (i < pattern.size() && pattern[i] >= u'0' && pattern[i] <= u'9') {
        if (value < 100000000) value = value * 10 + (pattern[i] - u'0');
        ++i;
    }
    return value;
}

}  // namespace

std::u16string FormatArgs(std::u16string_view pattern, std::span<const FormatArg> args) {
    std::u16string out;
    out.reserve(pattern.size() + 16 * args.size());
    ArgReader reader(args);
    size_t i = 0;
    while (i < pattern.size()) {
        const char16_t c = pattern[i++];
        if (c != u'%') {
            out.push_back(c);
            continue;
        }
        if (i < pattern.size() && pattern[i] == u'%') {
            out.push_back(u'%');
            ++i;
            continue;
        }
        Spec spec;
        for (; i < pattern.size(); ++i) {
            const char16_t f = pattern[i];
            if (f == u'-')
                spec.left = true;
            else if (f == u'+')
                spec.plus = true;
            else if (f == u' ')
                spec.space = true;
            else if (f == u'#')
                spec.alternate = true;
            else if (f == u'0')
                spec.zero = true;
            else
                break;
        }
        if (i < pattern.size() && pattern[i] == u'*') {
            ++i;
            const int64_t w = reader.Next().AsSigned();
            if (w < 0) spec.left = true;
            spec.width = static_cast<int>(w < 0 ? -w : w);
        } else if (i < pattern.size() && pattern[i] >= u'1' && pattern[i] <= u'9') {
            spec.width = ReadCount(pattern, i);
        }
        if (i < pattern.size() && pattern[i] == u'.') {
            ++i;
            if (i < pattern.size() && pattern[i] == u'*') {
                ++i;
                const int64_t p = reader.Next().AsSigned();
                spec.precision = p < 0 ? -1 : static_cast<int>(p);
            } else {
                spec.precision = ReadCount(pattern, i);
            }
        }
        if (i < pattern.size()) {
            const std::u16string_view rest = pattern.substr(i);
            if (rest.starts_with(u"hh"))
                spec.size = Size::Char, i += 2;
            else if (rest.starts_with(u"h"))
                spec.size = Size::Short, i += 1;
            else if (rest.starts_with(u"ll"))
                spec.size = Size::LongLong, i += 2;
            else if (rest.starts_with(u"I64"))
                spec.size = Size::LongLong, i += 3;
            else if (rest.starts_with(u"l") || rest.starts_with(u"z"))
                spec.size = Size::Long, i += 1;
            else if (rest.starts_with(u"L"))
                spec.size = Size::LongLong, i += 1;
        }
        if (i >= pattern.size())
            throw std::invalid_argument("format: pattern ends inside a conversion");
        spec.conversion = pattern[i++];
        switch (spec.conversion) {
            case u's': {
                const FormatArg& arg = reader.Next();
                std::u16string_view s;
                std::u16string one;
                if (arg.kind() == FormatArg::Kind::String) {
                    s = arg.AsString();
                } else if (arg.kind() == FormatArg::Kind::Char) {
                    one.assign(1, arg.AsChar());
                    s = one;
                } else {
                    throw std::invalid_argument("format: %s needs a string");
                }
                if (spec.precision >= 0 && s.size() > static_cast<size_t>(spec.precision)) {
                    s = s.substr(0, static_cast<size_t>(spec.precision));
                }
                AppendJustified(out, s, spec);
                break;
            }
            case u'c': {
                const char16_t unit = static_cast<char16_t>(reader.Next().AsUnsigned());
                AppendJustified(out, std::u16string_view(&unit, 1), spec);
                break;
            }
            case u'p': {
                const FormatArg& arg = reader.Next();
                char buf[32];
                const int n =
                    std::snprintf(buf, sizeof buf, "%p", const_cast<void*>(arg.AsPointer()));
                std::u16string text(buf, buf + (n > 0 ? n : 0));
                AppendJustified(out, text, spec);
                break;
            }
            case u'd':
            case u'i':
            case u'u':
            case u'o':
            case u'x':
            case u'X':
            case u'f':
            case u'F':
            case u'e':
            case u'E':
            case u'g':
            case u'G':
                AppendNumber(out, spec, reader.Next());
                break;
            default:
                throw std::invalid_argument("format: unknown conversion");
        }
    }
    return out;
}

}  // namespace platform

// Message formatting: a `string` built from a format and typed arguments.
//
//     string s = sformat("%lu%c%02lu", minutes, ':', seconds);
//     string p = sformat(u"%{ld,s} Installing %2\n%1%% complete", percent, fileName);
//     string t = sformat(idTimeFormat, ms); // the format is a logical string id
//
// A format may open with a declaration "%{type,type,...}" (entries separated by ",", ";" or
// blanks, each with optional flags, width and precision); each declared argument is turned
// into text at once and "%1", "%2", ... insert them anywhere in the rest. Without one, the
// format is a printf subset: "%[flags 0 + -][width][.precision][l|h]type" with types d u x X c
// f s m, each taking the next argument, and "%%" for a percent sign. Doubles default to eight
// decimals, cut rather than rounded, and drop a lone leading "0" before the point.
//
// The arguments are C++ values, not C varargs: integers (any width, taken as 32 bits),
// characters, doubles, and text (narrow or wide: const char*, const char16_t*, string,
// std::string, the standard views). The size letter of a text type ("ls", "hs") is therefore
// only documentation. A placeholder out of range, an unknown type, a missing argument or an
// argument of the wrong kind all give "(?)" in the text.
//
// The "m" type takes a logical string id and inserts that string, through the loader the
// language catalog installs; a format given as an id is loaded the same way. Without a loader
// both read as empty text.
#pragma once

#include "tl_string.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

using SformatStringLoader = string (*)(int id);

// Installs the loader of logical string ids; returns the previous one.
SformatStringLoader SetSformatStringLoader(SformatStringLoader loader);

class sformat : public string {
public:
    struct ARG {
        enum KIND { INTEGER, REAL, NARROW, WIDE } kind = INTEGER;
        long long n = 0;
        double d = 0;
        std::string_view sz;
        std::u16string_view wsz;
    };

    template<class... Args> explicit sformat(std::string_view format, const Args&... args)
    {
        const std::array<ARG, sizeof...(Args)> rgArg{makeArg(args)...};
        build(format, rgArg.data(), rgArg.size());
    }

    template<class... Args> explicit sformat(std::u16string_view format, const Args&... args)
    {
        const std::array<ARG, sizeof...(Args)> rgArg{makeArg(args)...};
        build(string(format).View(), rgArg.data(), rgArg.size());
    }

    template<class... Args> explicit sformat(int idFormat, const Args&... args)
    {
        const std::array<ARG, sizeof...(Args)> rgArg{makeArg(args)...};
        build(loadFormat(idFormat).View(), rgArg.data(), rgArg.size());
    }

private:
    template<class T> static ARG makeArg(const T& value)
    {
        ARG arg;
        if constexpr (std::is_same_v<T, bool>) {
            static_assert(!std::is_same_v<T, bool>, "sformat takes no bool arguments");
        } else if constexpr (std::is_same_v<T, char>) {
            arg.n = static_cast<unsigned char>(value); // a byte, not a negative number
        } else if constexpr (std::is_integral_v<T> || std::is_enum_v<T>) {
            arg.n = static_cast<long long>(value);
        } else if constexpr (std::is_floating_point_v<T>) {
            arg.kind = ARG::REAL;
            arg.d = static_cast<double>(value);
        } else if constexpr (std::is_convertible_v<const T&, const char*>) {
            const char* psz = value;
            arg.kind = ARG::NARROW;
            arg.sz = psz ? psz : "";
        } else if constexpr (std::is_convertible_v<const T&, const char16_t*>) {
            const char16_t* pwsz = value;
            arg.kind = ARG::WIDE;
            arg.wsz = pwsz ? pwsz : u"";
        } else if constexpr (std::is_convertible_v<const T&, std::string_view>) {
            arg.kind = ARG::NARROW;
            arg.sz = value;
        } else {
            static_assert(std::is_convertible_v<const T&, std::u16string_view>, "sformat cannot format this type");
            arg.kind = ARG::WIDE;
            arg.wsz = value;
        }
        return arg;
    }

    static string loadFormat(int id);
    void build(std::string_view format, const ARG* rgArg, size_t cArg);
};

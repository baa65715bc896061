// Global functions: parseInt, parseFloat, isNaN, isFinite, escape, unescape,
// getTimer, updateAfterEvent, and the NaN and Infinity values.

#include <cctype>
#include <cmath>

#include "swf/actions/conversions.h"
#include "swf/actions/builtins/builtins.h"
#include "swf/actions/player_version.h"

namespace swf::actions {

namespace {

bool IsSpace(char ch) { return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\f' || ch == '\v'; }

Value IsNaN(CallContext& c) { return Value::Bool(std::isnan(ArgNumber(c, 0))); }
Value IsFinite(CallContext& c) { return Value::Bool(std::isfinite(ArgNumber(c, 0))); }

// The longest leading decimal number: sign, digits, fraction, exponent.
Value ParseFloat(CallContext& c) {
    std::string s = ArgText(c, 0);
    std::size_t i = 0;
    while (i < s.size() && IsSpace(s[i])) ++i;
    std::size_t start = i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
    }
    if (digits == 0) return Value::Number(NAN);
    std::size_t end = i;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
            while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
            end = j;
        }
    }
    return Value::Number(std::strtod(s.substr(start, end - start).c_str(), nullptr));
}

// parseInt(text, radix): "0x" means 16 when no radix is given; digits stop at
// the first character that is not one.
Value ParseInt(CallContext& c) {
    std::string s = ArgText(c, 0);
    int radix = c.Arg(1).IsUndefined() ? 0 : ToInt32(ArgNumber(c, 1));
    std::size_t i = 0;
    while (i < s.size() && IsSpace(s[i])) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    if ((radix == 0 || radix == 16) && i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        radix = 16;
        i += 2;
    }
    if (radix == 0) radix = 10;
    if (radix < 2 || radix > 36) return Value::Number(NAN);
    double v = 0;
    bool any = false;
    for (; i < s.size(); ++i) {
        auto ch = static_cast<unsigned char>(s[i]);
        int d = std::isdigit(ch) ? ch - '0' : std::isalpha(ch) ? std::tolower(ch) - 'a' + 10 : 99;
        if (d >= radix) break;
        v = v * radix + d;
        any = true;
    }
    if (!any) return Value::Number(NAN);
    return Value::Number(negative ? -v : v);
}

// Every byte but letters and digits becomes %XX.
Value Escape(CallContext& c) {
    static const char* hex = "0123456789ABCDEF";
    std::string s = ArgText(c, 0), out;
    for (unsigned char ch : s) {
        if (std::isalnum(ch)) {
            out += static_cast<char>(ch);
        } else {
            out += '%';
            out += hex[ch >> 4];
            out += hex[ch & 15];
        }
    }
    return c.interpreter.MakeString(std::move(out));
}

int HexDigit(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    return -1;
}

// %XX gives that byte, %uXXXX that character; anything else stays as it is.
Value Unescape(CallContext& c) {
    std::string s = ArgText(c, 0), out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && HexDigit(s[i + 1]) >= 0 && HexDigit(s[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(s[i + 1]) * 16 + HexDigit(s[i + 2]));
            i += 2;
        } else if (s[i] == '%' && i + 5 < s.size() && s[i + 1] == 'u' && HexDigit(s[i + 2]) >= 0 &&
                   HexDigit(s[i + 3]) >= 0 && HexDigit(s[i + 4]) >= 0 && HexDigit(s[i + 5]) >= 0) {
            unsigned code = 0;
            for (int k = 2; k <= 5; ++k) code = code * 16 + static_cast<unsigned>(HexDigit(s[i + k]));
            if (code < 0x80) {
                out += static_cast<char>(code);
            } else if (code < 0x800) {
                out += static_cast<char>(0xC0 | (code >> 6));
                out += static_cast<char>(0x80 | (code & 0x3F));
            } else {
                out += static_cast<char>(0xE0 | (code >> 12));
                out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (code & 0x3F));
            }
            i += 5;
        } else {
            out += s[i];
        }
    }
    return c.interpreter.MakeString(std::move(out));
}

Value GetTimer(CallContext& c) { return Value::Number(c.interpreter.vm().ElapsedMs()); }

// Asks for a redraw before the next frame; the player redraws what changed
// at every frame tick and after each input event already.
Value UpdateAfterEvent(CallContext&) { return Value(); }

}  // namespace

void InstallGlobalFunctions(Installer& in) {
    Object* g = in.vm().global();
    in.Method(g, "isNaN", IsNaN);
    in.Method(g, "isFinite", IsFinite);
    in.Method(g, "parseInt", ParseInt);
    in.Method(g, "parseFloat", ParseFloat);
    in.Method(g, "escape", Escape);
    in.Method(g, "unescape", Unescape);
    in.Method(g, "getTimer", GetTimer);
    in.Method(g, "updateAfterEvent", UpdateAfterEvent);
    in.Method(g, "getVersion", [](CallContext&) { return Value::String(kPlayerVersion); });
    in.Constant(g, "NaN", Value::Number(NAN));
    in.Constant(g, "Infinity", Value::Number(INFINITY));
}

}  // namespace swf::actions

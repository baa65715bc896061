// Date: a time value in milliseconds since 1970 (UTC), read and changed in
// local time (the VM's time zone, summer time included) or UTC, with
// ECMAScript's calendar arithmetic.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "swf/actions/builtins/builtins.h"

namespace swf::actions {

namespace {

constexpr double kMsPerDay = 86400000.0;
constexpr double kMaxTime = 8.64e15;  // the farthest a date may be from 1970

enum Field { kYear, kMonth, kDate, kHours, kMinutes, kSeconds, kMilliseconds, kWeekDay };

double TimeClip(double t) {
    if (!std::isfinite(t) || std::fabs(t) > kMaxTime) return NAN;
    return std::trunc(t) + 0.0;  // no negative zero
}

// Days since 1970-01-01 of a proleptic Gregorian date (month 1..12).
double DaysFromCivil(double y, double m, double d) {
    y -= m <= 2;
    double era = std::floor(y / 400);
    double yoe = y - era * 400;
    double mp = m > 2 ? m - 3 : m + 9;
    double doy = std::floor((153 * mp + 2) / 5) + d - 1;
    double doe = yoe * 365 + std::floor(yoe / 4) - std::floor(yoe / 100) + doy;
    return era * 146097 + doe - 719468;
}

struct Civil {
    double year, month, day;  // month 0..11, day 1..31
};

Civil CivilFromDays(double z) {
    z += 719468;
    double era = std::floor(z / 146097);
    double doe = z - era * 146097;
    double yoe = std::floor((doe - std::floor(doe / 1460) + std::floor(doe / 36524) - std::floor(doe / 146096)) / 365);
    double y = yoe + era * 400;
    double doy = doe - (365 * yoe + std::floor(yoe / 4) - std::floor(yoe / 100));
    double mp = std::floor((5 * doy + 2) / 153);
    double d = doy - std::floor((153 * mp + 2) / 5) + 1;
    double m = mp < 10 ? mp + 3 : mp - 9;
    return {y + (m <= 2), m - 1, d};
}

// ECMAScript MakeDay/MakeTime/MakeDate: fields may overflow into the next ones.
double MakeDate(const double f[7]) {
    for (int i = 0; i < 7; ++i)
        if (!std::isfinite(f[i])) return NAN;
    double month = std::trunc(f[kMonth]);
    double year = std::trunc(f[kYear]) + std::floor(month / 12);
    double mn = month - std::floor(month / 12) * 12;
    double day = DaysFromCivil(year, mn + 1, 1) + std::trunc(f[kDate]) - 1;
    double time = std::trunc(f[kHours]) * 3600000 + std::trunc(f[kMinutes]) * 60000 + std::trunc(f[kSeconds]) * 1000 +
                  std::trunc(f[kMilliseconds]);
    return day * kMsPerDay + time;
}

void Split(double t, double f[8]) {
    double day = std::floor(t / kMsPerDay);
    double ms = t - day * kMsPerDay;
    Civil c = CivilFromDays(day);
    f[kYear] = c.year;
    f[kMonth] = c.month;
    f[kDate] = c.day;
    f[kHours] = std::floor(ms / 3600000);
    f[kMinutes] = std::fmod(std::floor(ms / 60000), 60);
    f[kSeconds] = std::fmod(std::floor(ms / 1000), 60);
    f[kMilliseconds] = std::fmod(ms, 1000);
    double wd = std::fmod(day + 4, 7);
    f[kWeekDay] = wd < 0 ? wd + 7 : wd;
}

// Minutes east of UTC at the moment `t` (UTC).
int OffsetAt(CallContext& c, double t) { return std::isnan(t) ? 0 : c.interpreter.vm().TimeZoneOffsetAt(t); }

double ToLocal(CallContext& c, double t) { return t + OffsetAt(c, t) * 60000.0; }

// ECMAScript's UTC(t): the standard offset (the smaller of January's and
// July's, for either hemisphere), then summer time as it is at that moment.
double ToUtc(CallContext& c, double local) {
    if (!std::isfinite(local)) return local;
    double f[8];
    Split(local, f);
    const double fields[2][7] = {{f[kYear], 0, 1, 0, 0, 0, 0}, {f[kYear], 6, 1, 0, 0, 0, 0}};
    const int standard = std::min(OffsetAt(c, MakeDate(fields[0])), OffsetAt(c, MakeDate(fields[1])));
    return local - OffsetAt(c, local - standard * 60000.0) * 60000.0;
}

double SelfTime(CallContext& c) {
    Object* o = c.self.AsObject();
    return o && o->primitive.IsNumber() ? o->primitive.AsNumber() : NAN;
}

void SetSelfTime(CallContext& c, double t) {
    if (Object* o = c.self.AsObject()) o->primitive = Value::Number(TimeClip(t));
}

double Now() {
    using namespace std::chrono;
    return static_cast<double>(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

// "Tue Dec 8 12:00:00 GMT+0000 2026", in local time.
std::string Format(double t, int offsetMinutes) {
    if (std::isnan(t)) return "Invalid Date";
    static const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    double f[8];
    Split(t + offsetMinutes * 60000.0, f);
    int offset = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
    char buf[96];
    std::snprintf(buf, sizeof buf, "%s %s %d %02d:%02d:%02d GMT%c%02d%02d %.0f", days[static_cast<int>(f[kWeekDay])],
                  months[static_cast<int>(f[kMonth])], static_cast<int>(f[kDate]), static_cast<int>(f[kHours]),
                  static_cast<int>(f[kMinutes]), static_cast<int>(f[kSeconds]), offsetMinutes < 0 ? '-' : '+',
                  offset / 60, offset % 60, f[kYear]);
    return buf;
}

// Fields from arguments: year, month, then date, hours, ... as given.
double FieldsFromArgs(CallContext& c) {
    double f[7] = {0, 0, 1, 0, 0, 0, 0};
    for (std::size_t i = 0; i < 7 && i < c.args.size(); ++i) f[i] = ArgNumber(c, i);
    if (!std::isnan(f[kYear])) {
        double y = std::trunc(f[kYear]);
        if (y >= 0 && y <= 99) f[kYear] = 1900 + y;
    }
    return MakeDate(f);
}

Value DateConstructor(CallContext& c) {
    if (!c.construct || !c.self.IsObject()) {
        const double now = TimeClip(Now());
        return Value::String(Format(now, OffsetAt(c, now)));
    }
    double t;
    if (c.args.empty())
        t = Now();
    else if (c.args.size() == 1)
        t = ArgNumber(c, 0);
    else
        t = ToUtc(c, FieldsFromArgs(c));
    SetSelfTime(c, t);
    return c.self;
}

Value DateUtc(CallContext& c) { return Value::Number(TimeClip(FieldsFromArgs(c))); }

template <Field F, bool Utc>
Value Get(CallContext& c) {
    double t = SelfTime(c);
    if (std::isnan(t)) return Value::Number(NAN);
    double f[8];
    Split(Utc ? t : ToLocal(c, t), f);
    return Value::Number(f[F]);
}

Value GetYear(CallContext& c) {
    Value full = Get<kYear, false>(c);
    return Value::Number(full.AsNumber() - 1900);
}

// setX(value, ...): replaces fields from F on, as many as given (at most N).
template <Field F, int N, bool Utc>
Value Set(CallContext& c) {
    double t = SelfTime(c);
    double f[8];
    // A date that is not valid starts from 1970 when its year is set.
    const double start = std::isnan(t) ? 0 : t;
    Split(Utc ? start : ToLocal(c, start), f);
    if (std::isnan(t) && F != kYear) return Value::Number(NAN);
    for (int i = 0; i < N && static_cast<std::size_t>(i) < c.args.size(); ++i) f[F + i] = ArgNumber(c, i);
    if (c.args.empty()) f[F] = NAN;
    SetSelfTime(c, Utc ? MakeDate(f) : ToUtc(c, MakeDate(f)));
    return Value::Number(SelfTime(c));
}

Value SetYear(CallContext& c) {
    if (!c.args.empty()) {
        double y = std::trunc(ArgNumber(c, 0));
        if (y >= 0 && y <= 99) c.args[0] = Value::Number(1900 + y);
    }
    return Set<kYear, 1, false>(c);
}

Value GetTime(CallContext& c) { return Value::Number(SelfTime(c)); }
Value SetTime(CallContext& c) {
    SetSelfTime(c, ArgNumber(c, 0));
    return Value::Number(SelfTime(c));
}
Value GetTimezoneOffset(CallContext& c) {
    const double t = SelfTime(c);
    return Value::Number(std::isnan(t) ? NAN : -OffsetAt(c, t));
}
Value ToStringMethod(CallContext& c) {
    const double t = SelfTime(c);
    return Value::String(Format(t, OffsetAt(c, t)));
}

}  // namespace

void InstallDateBuiltins(Installer& in) {
    Object* proto = in.vm().dateProto();
    Object* ctor = in.Class("Date", DateConstructor, proto);
    in.Method(ctor, "UTC", DateUtc);
    in.Method(proto, "getTime", GetTime);
    in.Method(proto, "valueOf", GetTime);
    in.Method(proto, "setTime", SetTime);
    in.Method(proto, "toString", ToStringMethod);
    in.Method(proto, "getTimezoneOffset", GetTimezoneOffset);
    in.Method(proto, "getYear", GetYear);
    in.Method(proto, "setYear", SetYear);

    in.Method(proto, "getFullYear", Get<kYear, false>);
    in.Method(proto, "getMonth", Get<kMonth, false>);
    in.Method(proto, "getDate", Get<kDate, false>);
    in.Method(proto, "getDay", Get<kWeekDay, false>);
    in.Method(proto, "getHours", Get<kHours, false>);
    in.Method(proto, "getMinutes", Get<kMinutes, false>);
    in.Method(proto, "getSeconds", Get<kSeconds, false>);
    in.Method(proto, "getMilliseconds", Get<kMilliseconds, false>);
    in.Method(proto, "getUTCFullYear", Get<kYear, true>);
    in.Method(proto, "getUTCMonth", Get<kMonth, true>);
    in.Method(proto, "getUTCDate", Get<kDate, true>);
    in.Method(proto, "getUTCDay", Get<kWeekDay, true>);
    in.Method(proto, "getUTCHours", Get<kHours, true>);
    in.Method(proto, "getUTCMinutes", Get<kMinutes, true>);
    in.Method(proto, "getUTCSeconds", Get<kSeconds, true>);
    in.Method(proto, "getUTCMilliseconds", Get<kMilliseconds, true>);

    in.Method(proto, "setFullYear", Set<kYear, 3, false>);
    in.Method(proto, "setMonth", Set<kMonth, 2, false>);
    in.Method(proto, "setDate", Set<kDate, 1, false>);
    in.Method(proto, "setHours", Set<kHours, 4, false>);
    in.Method(proto, "setMinutes", Set<kMinutes, 3, false>);
    in.Method(proto, "setSeconds", Set<kSeconds, 2, false>);
    in.Method(proto, "setMilliseconds", Set<kMilliseconds, 1, false>);
    in.Method(proto, "setUTCFullYear", Set<kYear, 3, true>);
    in.Method(proto, "setUTCMonth", Set<kMonth, 2, true>);
    in.Method(proto, "setUTCDate", Set<kDate, 1, true>);
    in.Method(proto, "setUTCHours", Set<kHours, 4, true>);
    in.Method(proto, "setUTCMinutes", Set<kMinutes, 3, true>);
    in.Method(proto, "setUTCSeconds", Set<kSeconds, 2, true>);
    in.Method(proto, "setUTCMilliseconds", Set<kMilliseconds, 1, true>);
}

}  // namespace swf::actions

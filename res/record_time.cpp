#include "record_time.h"

#include <stdio.h>

#include "module/calendar.h"
#include "module/state.h"

namespace {

constexpr int DAYS[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

[[noreturn]] void refuse(const char *option, const std::string &text, const char *why) {
    throw ResError(RES_USAGE, std::string(option) + " \"" + text + "\": " + why);
}

bool digits(const std::string &text, size_t from) {
    return text.size() > from && text.find_first_not_of("0123456789", from) == std::string::npos;
}

long long number(const std::string &text, const char *option) {
    if (!digits(text, 1) || text.size() > 12) refuse(option, text, "not a whole number");
    return std::stoll(text.substr(1));
}

bool clock_valid(unsigned h, unsigned mi, unsigned s) {
    return h < 24 && mi < 60 && s < 60;
}

} // namespace

std::string record_time_iso(DWORD seconds) {
    CalendarFields &c = wfal.calendar;
    c.seconds = seconds;
    seconds_to_calendar();
    char text[32];
    snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", c.year, c.month, c.day, c.hour,
             c.minute, c.second);
    return text;
}

long long record_at(const ResultFile &file, const std::string &text, const char *option) {
    if (!text.empty() && text[0] == '#') return number(text, option);
    if (!text.empty() && text[0] == '+') return number(text, option);
    unsigned y, mo, d, h, mi, s;
    char sep, tail;
    DWORD seconds;
    if (sscanf(text.c_str(), "%4u-%2u-%2u%c%2u:%2u:%2u%c", &y, &mo, &d, &sep, &h, &mi, &s, &tail) ==
            7 &&
        (sep == ' ' || sep == 'T')) {
        if (y < 1980 || y > 2099 || mo < 1 || mo > 12 || d < 1 || int(d) > DAYS[mo - 1] ||
            (mo == 2 && d == 29 && y % 4 != 0) || !clock_valid(h, mi, s))
            refuse(option, text, "no such date and time");
        seconds = calendar_set(int(y), int(mo), int(d), int(h), int(mi), int(s));
    } else if (sscanf(text.c_str(), "%2u:%2u:%2u%c", &h, &mi, &s, &tail) == 3) {
        if (!clock_valid(h, mi, s)) refuse(option, text, "no such time of day");
        const ResultHeader &r = file.header();
        seconds = calendar_set(r.start_year, r.start_month, r.start_day, int(h), int(mi), int(s));
    } else {
        refuse(option, text, "not a time (YYYY-MM-DD hh:mm:ss, hh:mm:ss, +SECONDS or #RECORD)");
    }
    return (long long)seconds - (long long)file.start_seconds();
}

Section record_section(const ResultFile &file, const std::string &from, const std::string &to) {
    const long long last = file.records() - 1;
    Section s{0, last};
    if (file.records() == 0 && from.empty() && to.empty()) return s; // a recording not yet begun
    if (!from.empty()) s.first = std::max(0LL, record_at(file, from, "--from"));
    if (!to.empty()) s.last = std::min(last, record_at(file, to, "--to"));
    if (s.first > s.last || s.first > last)
        res_fail(RES_USAGE, file.path(),
                 "no record between the given times (the recording has " +
                     std::to_string(file.records()) + ")");
    return s;
}

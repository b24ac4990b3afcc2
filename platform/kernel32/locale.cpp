#include "utf.h"

#include "windows.h"

#include <langinfo.h>
#include <locale.h>
#include <string>

namespace {

// The text between the first two fields of the locale's time format, e.g. ":" in "%H:%M:%S".
std::string timeSeparator()
{
    std::string separator = ":";
    locale_t locale = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
    if (!locale)
        return separator;
    const std::string format = nl_langinfo_l(T_FMT, locale);
    freelocale(locale);

    size_t field = format.find('%');
    if (field == std::string::npos)
        return separator;
    field += 1;
    while (field < format.size() && (format[field] == 'E' || format[field] == 'O'))
        ++field; // alternative-representation modifiers
    if (field >= format.size() || format[field] == 'T' || format[field] == 'R' || format[field] == 'r')
        return separator; // composite fields use ':'
    const size_t next = format.find('%', field + 1);
    std::string between = format.substr(field + 1, next == std::string::npos ? std::string::npos : next - field - 1);
    if (!between.empty())
        separator = between;
    return separator;
}

} // namespace

int GetLocaleInfoW(LCID locale, LCTYPE type, LPWSTR data, int size)
{
    if (locale != LOCALE_USER_DEFAULT && locale != LOCALE_SYSTEM_DEFAULT) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (type != LOCALE_STIME) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    if (size < 0 || (size > 0 && !data)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::u16string value = Utf8ToUtf16(timeSeparator());
    const int needed = static_cast<int>(value.size()) + 1;
    if (size == 0)
        return needed;
    if (size < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    value.copy(data, value.size());
    data[value.size()] = 0;
    return needed;
}

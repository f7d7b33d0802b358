#include "SavedAccountOrder.h"

#include <algorithm>
#include <chrono>
#include <optional>

namespace quorin {

namespace {

// Reads text left to right; every read fails once one has failed.
class TimeReader {
public:
    explicit TimeReader(std::string_view text)
        : m_text(text)
    {
    }

    std::optional<int> digits(std::size_t count)
    {
        if (m_text.size() < count)
            return std::nullopt;
        int value = 0;
        for (std::size_t i = 0; i < count; ++i) {
            char c = m_text[i];
            if (c < '0' || c > '9')
                return std::nullopt;
            value = value * 10 + (c - '0');
        }
        m_text.remove_prefix(count);
        return value;
    }
    bool skip(std::string_view choices)
    {
        if (m_text.empty() || choices.find(m_text.front()) == std::string_view::npos)
            return false;
        m_text.remove_prefix(1);
        return true;
    }
    char peek() const { return m_text.empty() ? '\0' : m_text.front(); }
    bool atEnd() const { return m_text.empty(); }

private:
    std::string_view m_text;
};

// Milliseconds of a fraction after its ".": at least one digit, kept to the millisecond.
std::optional<std::int64_t> fractionMilliseconds(TimeReader& reader)
{
    std::int64_t milliseconds = 0;
    int scale = 100;
    bool any = false;
    while (auto digit = reader.digits(1)) {
        milliseconds += *digit * scale;
        scale /= 10;
        any = true;
    }
    return any ? std::optional(milliseconds) : std::nullopt;
}

// Offset east of UTC in minutes: "Z", or "+hh:mm" / "-hh:mm".
std::optional<int> offsetMinutes(TimeReader& reader)
{
    if (reader.skip("Zz"))
        return 0;
    int sign = reader.peek() == '-' ? -1 : 1;
    if (!reader.skip("+-"))
        return std::nullopt;
    auto hours = reader.digits(2);
    bool colon = reader.skip(":");
    auto minutes = reader.digits(2);
    if (!hours || !colon || !minutes || *hours > 23 || *minutes > 59)
        return std::nullopt;
    return sign * (*hours * 60 + *minutes);
}

std::optional<std::int64_t> parsedTime(std::string_view text)
{
    using namespace std::chrono;
    TimeReader reader(text);
    auto year = reader.digits(4);
    bool dash1 = reader.skip("-");
    auto month = reader.digits(2);
    bool dash2 = reader.skip("-");
    auto day = reader.digits(2);
    bool separator = reader.skip("Tt");
    auto hour = reader.digits(2);
    bool colon1 = reader.skip(":");
    auto minute = reader.digits(2);
    bool colon2 = reader.skip(":");
    auto second = reader.digits(2);
    if (!year || !dash1 || !month || !dash2 || !day || !separator || !hour || !colon1 || !minute || !colon2 || !second)
        return std::nullopt;
    year_month_day date { std::chrono::year(*year), std::chrono::month(static_cast<unsigned>(*month)), std::chrono::day(static_cast<unsigned>(*day)) };
    if (!date.ok() || *hour > 23 || *minute > 59 || *second > 59)
        return std::nullopt;
    std::optional<std::int64_t> fraction = 0;
    if (reader.skip("."))
        fraction = fractionMilliseconds(reader);
    auto offset = offsetMinutes(reader);
    if (!fraction || !offset || !reader.atEnd())
        return std::nullopt;
    auto local = sys_days(date) + hours(*hour) + minutes(*minute) + seconds(*second) + milliseconds(*fraction);
    return duration_cast<milliseconds>((local - minutes(*offset)).time_since_epoch()).count();
}

} // namespace

std::int64_t savedAccountUseTime(std::string_view lastUsedAt)
{
    return parsedTime(lastUsedAt).value_or(0);
}

void sortByLastUse(std::vector<SavedAccount>& accounts)
{
    std::ranges::stable_sort(accounts, std::ranges::greater(), [](const SavedAccount& account) { return savedAccountUseTime(account.lastUsedAt); });
}

} // namespace quorin

#include "hotdir/string_values.h"

namespace kelvra {

bool TStringValues::HasStringAt(long long index) const
{
    return index >= 0 && index < static_cast<long long>(m_strings.size());
}

void TStringValues::Add(const std::string& name, const std::string& value)
{
    m_strings.push_back(name);
    m_strings.push_back(value);
    // A name without its value (never made by Add) is no pair; this one is.
    if (value.empty() && m_strings.size() % 2 == 0)
        m_pending.insert(Count() - 1);
}

void TStringValues::Clear()
{
    m_strings.clear();
    m_pending.clear();
}

int TStringValues::Count() const
{
    return static_cast<int>(m_strings.size() / 2);
}

std::string TStringValues::Name(int i) const
{
    const long long index = 2LL * i;
    return HasStringAt(index) && HasStringAt(index + 1) ? m_strings[index] : std::string();
}

std::string TStringValues::Value(int i) const
{
    const long long index = 2LL * i + 1;
    return i >= 0 && HasStringAt(index) ? m_strings[index] : std::string();
}

void TStringValues::SetValue(int i, const std::string& text)
{
    const long long index = 2LL * i + 1;
    if (i < 0 || !HasStringAt(index))
        return;
    m_strings[index] = text;
    if (text.empty())
        m_pending.insert(i);
    else
        m_pending.erase(i);
}

} // namespace kelvra

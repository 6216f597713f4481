#pragma once

// TStringValues: the hot-directory page's list of reported files, pairs of
// (full path, status) kept one after the other in one list of strings.
// Status: empty = pending, "1" = converted, "2" = failed. The list also keeps
// the positions of the pending pairs, so that finding them does not walk
// every pair reported since watching started. Main thread only.

#include <set>
#include <string>
#include <vector>

namespace kelvra {

class TStringValues {
public:
    /// Appends the name, then the value.
    void Add(const std::string& name, const std::string& value);
    void Clear();
    /// The number of stored strings divided by 2, rounded toward zero.
    int Count() const;
    /// The name of pair i; empty when there is no such pair.
    std::string Name(int i) const;
    /// The value of pair i; empty when there is no such pair.
    std::string Value(int i) const;
    /// Replaces the value of pair i; does nothing when there is no such pair.
    void SetValue(int i, const std::string& text);
    /// Positions of the pairs whose value is empty, in ascending order.
    const std::set<int>& PendingPairs() const { return m_pending; }

private:
    bool HasStringAt(long long index) const;

    std::vector<std::string> m_strings;
    std::set<int> m_pending;
};

} // namespace kelvra

// The ordered, keyed collection of debts: keys are the debt numbers as text ("1" to "10"),
// iteration follows insertion order. The collection owns its debts.
#pragma once

#include "clsDebt.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

class DebtCollection {
public:
    using Entry = std::pair<std::string, std::unique_ptr<clsDebt>>;

    // Appends a new debt with all fields zero under the given key and returns it.
    clsDebt& add(std::string key) {
        m_entries.emplace_back(std::move(key), std::make_unique<clsDebt>());
        return *m_entries.back().second;
    }

    // The debt under the key, or nullptr when there is none.
    clsDebt* item(const std::string& key) const {
        for (const auto& entry : m_entries)
            if (entry.first == key)
                return entry.second.get();
        return nullptr;
    }

    std::size_t count() const { return m_entries.size(); }
    auto begin() const { return m_entries.begin(); }
    auto end() const { return m_entries.end(); }

private:
    std::vector<Entry> m_entries;
};

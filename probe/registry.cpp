// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "registry.h"

namespace clockdeck {

std::int32_t GetBootMHz(const SystemRegistry& registry)
{
    const auto value = registry.query(ProcessorKey, "~MHz");
    if (!value || value->type != RegDword || value->data.size() != 4) {
        return 0;
    }
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(value->data[i])) << (8 * i);
    }
    return static_cast<std::int32_t>(bits);
}

std::string GetRegString(std::string_view RootName, std::string_view KeyPath, std::string_view ValueName,
                         std::int32_t& ValueType, const SystemRegistry& registry)
{
    static_cast<void>(RootName); // always HKEY_LOCAL_MACHINE
    auto value = registry.query(KeyPath, ValueName);
    if (!value) {
        return {};
    }
    ValueType = value->type;
    return std::move(value->data);
}

} // namespace clockdeck

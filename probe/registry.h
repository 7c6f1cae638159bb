// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "systemregistry.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace clockdeck {

// The two registry readers of the load. Neither shows a failure: anything missing gives 0 or an empty text, and
// only a failed allocation throws. Both read from @p registry, this machine unless a saved profile is given.

// The processor clock in MHz that the system measured at boot, or 0.
[[nodiscard]] std::int32_t GetBootMHz(const SystemRegistry& registry = SystemRegistry());

// The text of one value under HKEY_LOCAL_MACHINE: @p RootName is not looked at. A text value comes back as its
// text (the registry's terminating NUL has no counterpart here, and a field would drop it anyway); a number comes
// back as its four raw bytes, since the reader does not check the kind. Empty when the value is missing.
// @p ValueType receives the value's type code; it is left as it was for a missing value.
[[nodiscard]] std::string GetRegString(std::string_view RootName, std::string_view KeyPath, std::string_view ValueName,
                                       std::int32_t& ValueType, const SystemRegistry& registry = SystemRegistry());

} // namespace clockdeck

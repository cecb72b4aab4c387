#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "platform/regional_settings.h"

namespace vintrel {

/// One item of the user's locale (GetLocaleInfoA's LCTYPE); nothing when the
/// system does not give it.
using LocaleInfoReader = std::function<std::optional<std::string>(LCTYPE item)>;

/// The user's locale as GetLocaleInfoA gives it, in the ANSI code page.
std::optional<std::string> UserLocaleInfo(LCTYPE item);

/// The regional settings from the locale items that `read` gives; an item it
/// does not give keeps its default. The short date pattern is turned into
/// the form the date text is written from: the locale's date separator as
/// "/", any other "/" quoted, the era dropped.
RegionalSettings RegionalSettingsFromLocale(const LocaleInfoReader& read);

/// The short date pattern of the locale (LOCALE_SSHORTDATE) in the form
/// described above, given the locale's date separator.
std::string ShortDatePatternFromLocale(const std::string& pattern, const std::string& separator);

}  // namespace vintrel

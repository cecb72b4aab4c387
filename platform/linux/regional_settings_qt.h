#pragma once

#include <QLocale>

#include "platform/regional_settings.h"

namespace vintrel {

/// The regional settings of one locale, its Qt (CLDR) patterns mapped onto the
/// fields the date and time texts are written with.
RegionalSettings regionalSettingsFromLocale(const QLocale& locale);

}  // namespace vintrel

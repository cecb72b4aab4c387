#include "platform/linux/regional_settings_qt.h"

#include <QRegularExpression>

namespace vintrel {
namespace {

std::string Utf8(const QString& text) {
    return text.toStdString();
}

bool IsPatternLetter(QChar c) {
    return c.isLetter();
}

// The marks that steer right-to-left text (U+200E, U+200F, U+061C) are
// invisible: as a separator they would run the fields together.
bool IsFormatCharacter(QChar c) {
    return c.category() == QChar::Other_Format;
}

bool SeparatesFields(QChar c) {
    return !IsPatternLetter(c) && !c.isSpace() && !IsFormatCharacter(c);
}

// Qt patterns quote literal text in single quotes, as the short date pattern
// does; the first character that is neither a letter nor quoted nor invisible
// separates the fields.
QString FirstSeparator(const QString& pattern, const QString& fallback) {
    bool quoted = false;
    for (QChar c : pattern) {
        if (c == u'\'') {
            quoted = !quoted;
        } else if (!quoted && SeparatesFields(c)) {
            return QString(c);
        }
    }
    return fallback;
}

// What stands between the hour and the minute field of a time pattern:
// its unquoted visible characters. Quoted words ("14 h 05") and direction
// marks are decorations of the pattern, not a separator; ":" when nothing is left.
QString TimeSeparator(const QString& between) {
    QString separator;
    bool quoted = false;
    for (QChar c : between) {
        if (c == u'\'') {
            quoted = !quoted;
        } else if (!quoted && SeparatesFields(c)) {
            separator += c;
        }
    }
    return separator.isEmpty() ? QStringLiteral(":") : separator;
}

// Maps a Qt short date pattern onto one whose fields are d, m and y and whose
// date separator is written "/".
std::string ShortDatePattern(const QString& qtPattern, const QString& separator) {
    QString out;
    bool quoted = false;
    for (QChar c : qtPattern) {
        if (c == u'\'') {
            quoted = !quoted;
            out += c;
        } else if (quoted) {
            out += c;
        } else if (c == u'M') {
            out += u'm';
        } else if (c == u'd' || c == u'y') {
            out += c;
        } else if (QString(c) == separator) {
            out += u'/';
        } else if (IsPatternLetter(c)) {
            // Era or other fields the short date form cannot show are dropped.
            continue;
        } else {
            out += c;
        }
    }
    return Utf8(out.trimmed());
}

void ReadTimeForm(const QLocale& locale, RegionalSettings& s) {
    // The short form carries the hour, the separator and the marker without
    // the decorations (zone names, unit words) some long forms add.
    const QString pattern = locale.timeFormat(QLocale::ShortFormat);
    const qsizetype hourAt = pattern.indexOf(QRegularExpression(QStringLiteral("[hH]")));
    const qsizetype markerAt = pattern.indexOf(QRegularExpression(QStringLiteral("[aA][pP]?")));
    s.twelveHourClock = markerAt >= 0;
    s.amPmBeforeTime = markerAt >= 0 && hourAt >= 0 && markerAt < hourAt;
    s.hourLeadingZero =
        hourAt >= 0 && hourAt + 1 < pattern.size() && pattern[hourAt + 1].toLower() == u'h';
    const qsizetype minuteAt = pattern.indexOf(u'm');
    if (hourAt >= 0 && minuteAt > hourAt) {
        qsizetype fieldEnd = hourAt;
        while (fieldEnd < minuteAt && pattern[fieldEnd].toLower() == u'h') ++fieldEnd;
        s.timeSeparator = Utf8(TimeSeparator(pattern.mid(fieldEnd, minuteAt - fieldEnd)));
    }
    if (!locale.amText().isEmpty()) s.amText = Utf8(locale.amText());
    if (!locale.pmText().isEmpty()) s.pmText = Utf8(locale.pmText());
}

}  // namespace

RegionalSettings regionalSettingsFromLocale(const QLocale& locale) {
    RegionalSettings s;
    const QString datePattern = locale.dateFormat(QLocale::ShortFormat);
    const QString separator = FirstSeparator(datePattern, QStringLiteral("/"));
    if (!datePattern.isEmpty()) {
        s.dateSeparator = Utf8(separator);
        s.shortDatePattern = ShortDatePattern(datePattern, separator);
    }
    ReadTimeForm(locale, s);
    const QString decimal = locale.decimalPoint();
    if (!decimal.isEmpty()) s.decimalSeparator = Utf8(decimal);
    for (int i = 0; i < 7; ++i) {
        // Qt counts weekdays from 1 = Monday to 7 = Sunday.
        const int qtDay = i == 0 ? 7 : i;
        s.shortDayNames[i] = Utf8(locale.dayName(qtDay, QLocale::ShortFormat));
        s.longDayNames[i] = Utf8(locale.dayName(qtDay, QLocale::LongFormat));
    }
    for (int i = 0; i < 12; ++i) {
        s.shortMonthNames[i] = Utf8(locale.monthName(i + 1, QLocale::ShortFormat));
        s.longMonthNames[i] = Utf8(locale.monthName(i + 1, QLocale::LongFormat));
    }
    return s;
}

RegionalSettings readSystemRegionalSettings() {
    return regionalSettingsFromLocale(QLocale::system());
}

}  // namespace vintrel

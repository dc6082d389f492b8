#pragma once

#include <QLocale>
#include <QString>

// How a page name matches what the user typed to find it, in the page lists' filter and in the
// pick lists of the fields that name pages: it contains the text, ignoring case as the user's
// language does. Folding costs more than comparing, so lists that are searched at every
// keystroke keep their names folded.
class NameMatch
{
public:
    explicit NameMatch(const QString &typed = {})
        : m_folded(fold(typed))
    { }

    static QString fold(const QString &text) { return QLocale().toLower(text); }

    // Every name matches an empty text.
    bool isEmpty() const { return m_folded.isEmpty(); }
    bool matches(const QString &name) const { return isEmpty() || matchesFolded(fold(name)); }
    bool matchesFolded(const QString &foldedName) const { return foldedName.contains(m_folded); }
    const QString &folded() const { return m_folded; }

private:
    QString m_folded;
};

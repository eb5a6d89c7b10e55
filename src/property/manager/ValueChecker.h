#pragma once

#include <QHash>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <functional>

class PropValueList;

// Whether a value fits the definition of its parameter, before any setter stores it: its type
// ("int", "double", "QString", "bool"), its range ("minValue", "maxValue"), its value list
// ("eValueList": a text must be one of the list's descriptions, a number one of its "intValue"s),
// a finite number, and a text of bounded length. The service goes beyond the protocol here:
// clients are other processes, and a value that does not fit would otherwise be saved and come
// back at every start.
class ValueChecker {
public:
    // Longest text a parameter takes; far above every real value, far below what would hurt.
    static constexpr int maxTextLength = 1024;

    // The value lists exist only once the data files of the layouts are loaded; until then a
    // value-list parameter is refused.
    void setValueLists(const PropValueList* lists) { m_lists = lists; }
    // Texts a value list takes beyond its entries, known only to another subsystem: the user
    // papers of "PaperSize", the installed tables of "BrailleLanguage" and "LiblouisTable".
    using NameCheck = std::function<bool(const QString& name)>;
    void setNameCheck(const QString& listName, const NameCheck& check) { m_nameChecks.insert(listName, check); }

    // Empty when the value fits; otherwise why it does not, for the log line.
    QString problem(const QVariantMap& definition, const QVariant& value) const;

private:
    QString listProblem(const QString& listName, const QVariant& value, bool byNumber) const;

    const PropValueList* m_lists = nullptr;
    QHash<QString, NameCheck> m_nameChecks;
};

#pragma once

#include <QObject>
#include <QVariantList>
#include <QVariantMap>

#include <functional>

class ParameterList;
class PropValueList;

// Turns the text a layout stores for a list-valued parameter into what its value list assigns
// to that text: the entry's position, or its "floatValue". The layout is named by its number
// ("1" to "99") and read through the layout store on every call.
class ParameterValues : public QObject {
    Q_OBJECT

public:
    // The current values of layout n, empty when it cannot be read (LayoutSettings::readLayout).
    using LayoutReader = std::function<QVariantMap(int n)>;

    ParameterValues(const PropValueList& valueList, const ParameterList& parameterList, LayoutReader readLayout,
        QObject* parent = nullptr);

    // The 0-based position of the entry whose "description" is the layout's value; -1 when the
    // layout, the parameter, its value list or a matching entry is missing.
    int getIntValue(const QString& layout, const QString& parameter) const;
    // The "floatValue" of the first such entry (0.0 when that entry has none); -1.0 on the same
    // failures.
    double getFloatValue(const QString& layout, const QString& parameter) const;

private:
    // The parameter's current text and its value list; false (logged under `caller`) when the
    // layout lacks the parameter or the parameter has no list.
    bool lookUp(const QString& layout, const QString& parameter, QString& value, QVariantList& entries,
        const char* caller) const;

    const PropValueList& m_valueList;
    const ParameterList& m_parameterList;
    LayoutReader m_readLayout;
};

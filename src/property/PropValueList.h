#pragma once

#include "lcm/EnumDetail.h"
#include "lcm/PropList.h"

#include <QObject>
#include <QVariantList>
#include <QVariantMap>

namespace ls {
class IReader;
}

// The named value lists of "valueList.json": the allowed values of the enumerated layout and
// print parameters, each list named by a key of lcm::RowValueList.
class PropValueList : public QObject {
    Q_OBJECT

public:
    explicit PropValueList(const ls::IReader& reader, QObject* parent = nullptr);

    bool load(const ls::IReader& reader);

    QVariantList getValues(const lcm::RowValueList& list) const;
    // The list of that name; empty, without a log line, when there is none.
    QVariantList values(const QString& listName) const { return m_lists.value(listName).toList(); }
    // Every list by name, as the file holds them.
    const QVariantMap& getValueLists() const { return m_lists; }
    // The list as records, for D-Bus; `list` is the integer of a RowValueList key.
    lcm::PropList getValueList(int list) const;

    // Folding papers (booklets, z-folding) change which layout values apply.
    static bool isFolding(const QString& text);

    static QString listName(int list);

private:
    QVariantMap m_lists;
};

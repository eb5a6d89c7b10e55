#include "PropValueList.h"

#include "DataFileLoader.h"
#include "libcorvane/LogPrefix.h"

#include <QMetaEnum>

CM_LOGGING_CATEGORY(lcPropValueList, "PropValueList")

PropValueList::PropValueList(const ls::IReader& reader, QObject* parent)
    : QObject(parent)
{
    load(reader);
}

bool PropValueList::load(const ls::IReader& reader)
{
    return DataFileLoader::load(reader, QStringLiteral("valueList.json"), m_lists, Q_FUNC_INFO, lcPropValueList(),
        DataShape::arrays().itemsWith({ QStringLiteral("description") }));
}

QString PropValueList::listName(int list)
{
    return QString::fromLatin1(QMetaEnum::fromType<lcm::RowValueList>().valueToKey(list));
}

QVariantList PropValueList::getValues(const lcm::RowValueList& list) const
{
    const QString name = listName(static_cast<int>(list));
    const QVariant entry = m_lists.value(name);
    if (!name.isEmpty() && entry.type() == QVariant::List) {
        return entry.toList();
    }
    LOG_ERROR(lcPropValueList) << "value list" << name << "conversion to list failed!";
    return {};
}

lcm::PropList PropValueList::getValueList(int list) const
{
    const QString name = listName(list);
    const auto found = m_lists.constFind(name);
    if (name.isEmpty() || found == m_lists.constEnd()) {
        LOG_ERROR(lcPropValueList) << "value list" << name << "not found!.";
        return {};
    }
    lcm::PropList records;
    const QVariantList entries = found.value().toList();
    records.reserve(entries.size());
    for (const QVariant& entry : entries) {
        records.append(entry.toMap());
    }
    return records;
}

bool PropValueList::isFolding(const QString& text)
{
    return text.contains(QLatin1String("booklet")) || text.contains(QLatin1String("z-folding"));
}

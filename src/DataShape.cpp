#include "DataShape.h"

#include <algorithm>

bool DataShape::fits(const QVariantMap& content) const
{
    for (const QVariant& member : content) {
        if (memberFits(member)) {
            return true;
        }
    }
    return false;
}

bool DataShape::memberFits(const QVariant& member) const
{
    const int type = member.userType();
    const bool isObject = type == QMetaType::QVariantMap;
    const bool isArray = type == QMetaType::QVariantList;
    if ((members == Members::Objects && !isObject) || (members == Members::Arrays && !isArray)) {
        return false;
    }
    if (itemFields.isEmpty()) {
        return true;
    }
    const QVariantList items = isObject ? member.toMap().values() : member.toList();
    for (const QVariant& item : items) {
        const QVariantMap map = item.toMap();
        if (item.userType() == QMetaType::QVariantMap
            && std::all_of(
                itemFields.cbegin(), itemFields.cend(), [&map](const QString& field) { return map.contains(field); })) {
            return true;
        }
    }
    return false;
}

DataShape DataShape::of(Members kind)
{
    DataShape shape;
    shape.members = kind;
    return shape;
}

DataShape DataShape::itemsWith(const QStringList& fields) const
{
    DataShape shape = *this;
    shape.itemFields = fields;
    return shape;
}

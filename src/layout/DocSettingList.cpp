#include "DocSettingList.h"

#include "DataFileLoader.h"
#include "libcorvane/LogPrefix.h"

namespace {
CM_LOGGING_CATEGORY(lcDocSettingList, "DocSettingList")
}

DocSettingList::DocSettingList(const ls::IReader& reader, QObject* parent)
    : QObject(parent)
{
    load(reader);
}

bool DocSettingList::load(const ls::IReader& reader)
{
    return DataFileLoader::load(
        reader, QStringLiteral("docSettingList.json"), m_groups, Q_FUNC_INFO, lcDocSettingList(), DataShape::objects());
}

QString DocSettingList::returnDocSettingKey(const QString& group, int code) const
{
    const auto found = m_groups.constFind(group);
    if (found == m_groups.constEnd() || found.value().userType() != QMetaType::QVariantMap) {
        LOG_ERROR(lcDocSettingList) << "group" << group << "not found!";
        return {};
    }
    // QVariantMap iterates in key order, which decides between keys that share a code.
    const QVariantMap keys = found.value().toMap();
    for (auto it = keys.constBegin(); it != keys.constEnd(); ++it) {
        bool ok = false;
        const double value = it.value().toDouble(&ok);
        if (ok && value == static_cast<double>(code)) {
            return it.key();
        }
    }
    LOG_DEBUG(lcDocSettingList) << "code" << code << "not found in group" << group;
    return {};
}

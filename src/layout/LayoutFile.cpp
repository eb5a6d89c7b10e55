#include "LayoutFile.h"

#include "Locations.h"
#include "libcorvane/LogPrefix.h"

namespace {
CM_LOGGING_CATEGORY(lcLayoutFile, "LayoutFile")
}

LayoutFile::LayoutFile(int number, QObject* parent)
    : QObject(parent)
    , m_number(number)
{
}

QString LayoutFile::path(int number)
{
    return Locations::join(Locations::stateDir(), QStringLiteral("layout.%1").arg(number));
}

QString LayoutFile::path() const
{
    return path(m_number);
}

bool LayoutFile::read(QVariantMap& data) const
{
    LOG_DEBUG(lcLayoutFile) << "Read layout nr." << m_number;
    data.clear();
    m_file.readToMap(path(), data);
    if (data.isEmpty()) {
        LOG_ERROR(lcLayoutFile) << "no data found in the layout file.";
        return false;
    }
    return true;
}

bool LayoutFile::read(const QString& parameter, QString& value) const
{
    LOG_DEBUG(lcLayoutFile) << "Read layout nr." << m_number << "property" << parameter;
    return m_file.read(path(), parameter, value);
}

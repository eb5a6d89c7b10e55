#include "PaperList.h"

#include "DataFileLoader.h"
#include "UserPaperFile.h"
#include "libcorvane/LogPrefix.h"

CM_LOGGING_CATEGORY(lcPaperList, "PaperList")

PaperList::PaperList(const ls::IReader& reader, QObject* parent)
    : QObject(parent)
{
    load(reader);
}

bool PaperList::load(const ls::IReader& reader)
{
    return DataFileLoader::load(
        reader, QStringLiteral("paperList.json"), m_papers, Q_FUNC_INFO, lcPaperList(), DataShape::objects());
}

bool PaperList::contains(const QString& name) const
{
    return m_papers.contains(name);
}

PaperEntity PaperList::toEntity(const QString& name) const
{
    const auto paper = m_papers.constFind(name);
    if (paper != m_papers.constEnd()) {
        PaperEntity entity(name);
        if (!entity.load(paper.value().toMap())) {
            LOG_ERROR(lcPaperList) << name << "is invalid!";
        }
        return entity;
    }
    if (name.startsWith(UserPaperFile::namePrefix())) {
        const QString number = name.mid(UserPaperFile::namePrefix().size());
        bool ok = false;
        const int n = number.toInt(&ok, 10);
        if (ok && UserPaperFile::isValidNumber(n)) {
            const PaperEntity entity = UserPaperFile(n).toEntity();
            if (entity.isValid()) {
                return entity;
            }
        }
        LOG_ERROR(lcPaperList) << "reading user defined paper" << number << "failed!";
    }
    return PaperEntity(name);
}

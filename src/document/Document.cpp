#include "Document.h"

#include "DataFileLoader.h"
#include "DataShape.h"

const QString Document::listKey = QStringLiteral("List");

Document::Document(const QString& fileName, QObject* parent)
    : QObject(parent)
    , m_fileName(fileName)
{
}

bool Document::loadList(const ls::IReader& reader, const char* caller, const QLoggingCategory& category)
{
    return DataFileLoader::load(reader, m_fileName, m_content, caller, category, DataShape::arrays());
}

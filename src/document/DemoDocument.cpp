#include "DemoDocument.h"

#include "layout/LayoutSettings.h"
#include "libcorvane/LogPrefix.h"
#include "ls/Keys.h"

#include <QVariantList>

#include <algorithm>

CM_LOGGING_CATEGORY(lcDemoDocument, "DemoDocument")

namespace {
const QString validSizesKey = QStringLiteral("validSizes");
}

DemoDocument::DemoDocument(const LayoutSettings& layouts, QObject* parent)
    : Document(QStringLiteral("demoDocuments.json"), parent)
    , m_layouts(layouts)
{
}

bool DemoDocument::load(const ls::IReader& reader)
{
    return loadList(reader, Q_FUNC_INFO, lcDemoDocument());
}

const QVariantMap DemoDocument::get() const
{
    const QString paperSize
        = m_layouts.readLayout(m_layouts.getActiveLayout(), false).value(ls::paperSizeKey).toString();
    return filteredList([&paperSize](const QVariantMap& entry) {
        const QVariantList sizes = entry.value(validSizesKey).toList();
        return !paperSize.isEmpty() && std::any_of(sizes.cbegin(), sizes.cend(), [&paperSize](const QVariant& size) {
            return size.toString() == paperSize;
        });
    });
}
